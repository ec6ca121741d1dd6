# Builds the installer packages the Wine tests open, from the IDT tables beside this file.
# Run at test time:
#   cmake -DMSIBUILD=<msibuild> -DOUTPUT_DIR=<folder> [-DTRELLUM_DLL=<Trellum.dll>] -P make_packages.cmake
# Each variant differs only in the Next button's text and its enable condition. With the DLL,
# one more package carries it and runs WatchScroll itself, for wine msiexec.
cmake_minimum_required(VERSION 3.25)
set(tables ${CMAKE_CURRENT_LIST_DIR}/packages)
file(MAKE_DIRECTORY ${OUTPUT_DIR})

# A licence long enough to need several pages of scrolling in the text box.
set(LICENCE_TEXT "{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}\\f0\\fs16 ")
foreach(n RANGE 1 80)
  string(APPEND LICENCE_TEXT "Clause ${n}. The licensee reads this clause before going on.\\par ")
endforeach()
string(APPEND LICENCE_TEXT "The end of the agreement.}")

# A Next text longer than the 1023 units the add-in reads.
string(REPEAT "Go on " 200 LONG_TEXT)

# name | Next button text | enable condition of Next
set(variants
  "licence|&Next|LicenseViewed=\"1\""
  "never|&Next|LicenseAccepted=\"1\""
  "styled|{\\KivrelBold}&Next|LicenseViewed=\"1\""
  "unclosed|{&Next|LicenseViewed=\"1\""
  "long|${LONG_TEXT}&Next|LicenseViewed=\"1\"")

foreach(variant IN LISTS variants)
  string(REPLACE "|" ";" fields "${variant}")
  list(GET fields 0 name)
  list(GET fields 1 NEXT_TEXT)
  list(GET fields 2 ENABLE_CONDITION)
  set(work ${OUTPUT_DIR}/${name}.tables)
  file(MAKE_DIRECTORY ${work})
  configure_file(${tables}/Control.idt.in ${work}/Control.idt @ONLY)
  configure_file(${tables}/ControlCondition.idt.in ${work}/ControlCondition.idt @ONLY)
  set(package ${OUTPUT_DIR}/${name}.msi)
  file(REMOVE ${package})
  # msibuild takes one option per call: the summary first, then every table at once.
  execute_process(
    COMMAND ${MSIBUILD} ${package}
            -s "Trellum test ${name}" "Kivrel" "x64;1033" "{3F2A9C14-7B1E-4D60-A8E5-0C9B6D2E1F47}"
    COMMAND_ERROR_IS_FATAL ANY)
  execute_process(
    COMMAND ${MSIBUILD} ${package} -i ${tables}/Property.idt ${tables}/Dialog.idt
            ${tables}/TextStyle.idt ${tables}/ControlEvent.idt ${work}/Control.idt
            ${work}/ControlCondition.idt
    RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "msibuild failed for ${name}: ${result}")
  endif()
endforeach()

if(NOT TRELLUM_DLL)
  return()
endif()

# msiexec.msi: the licence package as a setup runs it. Its UI sequence shows the licence dialog
# modeless and then runs WatchScroll from the DLL in its Binary table while the dialog stays
# up. Two checks follow before the setup may go on: the dialog probe, run by the setup itself
# while the licence dialog is still there (the property PROBE names it), must see Next
# enabled and the watch gone, and LicenseViewed must be set.
set(work ${OUTPUT_DIR}/msiexec.tables)
file(REMOVE_RECURSE ${work})
file(MAKE_DIRECTORY ${work}/Binary)
file(COPY_FILE ${TRELLUM_DLL} ${work}/Binary/Trellum.ibd)
set(package ${OUTPUT_DIR}/msiexec.msi)
file(COPY_FILE ${OUTPUT_DIR}/licence.msi ${package})
# Stream columns are read from <table>/<file> below the working folder.
execute_process(
  COMMAND ${MSIBUILD} ${package} -i ${tables}/msiexec/Binary.idt ${tables}/msiexec/CustomAction.idt
          ${tables}/msiexec/InstallUISequence.idt ${tables}/msiexec/InstallExecuteSequence.idt
  WORKING_DIRECTORY ${work}
  COMMAND_ERROR_IS_FATAL ANY)
set(queries
  [=[UPDATE `Property` SET `Value` = '{8D1F4C2B-5A3E-4F7D-9B60-2E8C1A7D4F93}' WHERE `Property` = 'ProductCode']=]
  [=[UPDATE `Dialog` SET `Attributes` = 1 WHERE `Dialog` = 'LicenseAgreement']=])
foreach(query IN LISTS queries)
  execute_process(COMMAND ${MSIBUILD} ${package} -q "${query}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()
