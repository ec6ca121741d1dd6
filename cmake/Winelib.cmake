# Winelib targets: the sources are compiled and linked by wineg++ instead of the project's
# C++ compiler. The launcher scripts drop the compiler CMake chose and call wineg++ with the
# same arguments, so dependency scanning and flags stay CMake's own.
find_program(WINEGXX wineg++ REQUIRED)
find_program(WINE_LOADER NAMES wine64 wine PATHS /usr/lib/wine REQUIRED)
find_program(WRC wrc PATHS /usr/lib/wine REQUIRED)

set(ORLA_WINE_CXX "${CMAKE_CURRENT_LIST_DIR}/wine-cxx")

# orla_winelib(target [GUI]): build target as a 64-bit winelib program. Its output is
# <name>.exe (a launcher script) and <name>.exe.so; tests run the .so with the wine loader.
function(orla_winelib target)
  cmake_parse_arguments(ARG "GUI" "" "" ${ARGN})
  # wineg++ makes its own position-independent code; CMake's -fPIE for executables would
  # override it and break the link of the resulting shared object.
  set_target_properties(${target} PROPERTIES
    POSITION_INDEPENDENT_CODE OFF
    CXX_COMPILER_LAUNCHER "${ORLA_WINE_CXX}"
    C_COMPILER_LAUNCHER "${ORLA_WINE_CXX}"
    CXX_LINKER_LAUNCHER "${ORLA_WINE_CXX}"
    C_LINKER_LAUNCHER "${ORLA_WINE_CXX}")
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    set_target_properties(${target} PROPERTIES SUFFIX ".exe")
    if(ARG_GUI)
      target_link_options(${target} PRIVATE -mwindows)
    endif()
  endif()
endfunction()

# orla_wine_test(name target [args...]): a ctest entry that runs a winelib program under
# Wine; scripts/with-wine provides the display and the private prefix.
function(orla_wine_test name target)
  add_test(NAME ${name} COMMAND "${WINE_LOADER}" "$<TARGET_FILE:${target}>.so" ${ARGN})
  # A Wine process that hangs fails its test in minutes, not at ctest's default of 25.
  set_tests_properties(${name} PROPERTIES LABELS wine TIMEOUT 180)
endfunction()
