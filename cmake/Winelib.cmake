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

# Every Wine test runs in the build folder's Wine session (see wine-session): a display of its
# own for each ctest run, the private prefix below, and one persistent wineserver with its
# services up. The fixture starts it before the first Wine test of a run, with the first boot
# of a fresh prefix, and stops it after the last one, whatever their outcome; ctest pulls it in
# for any selection of Wine tests.
set(ORLA_WINE_SESSION "${CMAKE_CURRENT_LIST_DIR}/wine-session")
set(ORLA_WINE_SESSION_DIR "${CMAKE_BINARY_DIR}/wine-session")
add_test(NAME wine_session_start
  COMMAND "${ORLA_WINE_SESSION}" start "${ORLA_WINE_SESSION_DIR}" "${CMAKE_BINARY_DIR}/wineprefix")
add_test(NAME wine_session_stop COMMAND "${ORLA_WINE_SESSION}" stop "${ORLA_WINE_SESSION_DIR}")
# The first boot of a fresh prefix is slow, the more so on a busy machine.
set_tests_properties(wine_session_start PROPERTIES LABELS wine FIXTURES_SETUP wine_session TIMEOUT 600)
set_tests_properties(wine_session_stop PROPERTIES LABELS wine FIXTURES_CLEANUP wine_session TIMEOUT 60)

# orla_wine_session_test(name command [args...]): a ctest entry that runs a command in the Wine
# session. Further fixtures are appended to FIXTURES_REQUIRED, never set over it.
function(orla_wine_session_test name)
  add_test(NAME ${name} COMMAND "${ORLA_WINE_SESSION}" run "${ORLA_WINE_SESSION_DIR}" ${ARGN})
  # A Wine process that hangs fails its test in minutes, not at ctest's default of 25.
  set_tests_properties(${name} PROPERTIES LABELS wine TIMEOUT 180)
  set_property(TEST ${name} APPEND PROPERTY FIXTURES_REQUIRED wine_session)
endfunction()

# orla_wine_test(name target [args...]): a ctest entry that runs a winelib program under Wine,
# in the Wine session.
function(orla_wine_test name target)
  orla_wine_session_test(${name} "${WINE_LOADER}" "$<TARGET_FILE:${target}>.so" ${ARGN})
endfunction()
