# TarvoSearch.exe and its Windows suites. Included from the top-level
# CMakeLists.txt when building for Windows.

# The window code: every _win32 file of the shell, the results and the
# preview rooms, except the clock and the settings file's replacement
# (platform twins of the core) and the program entry (only the executable
# has it). A library, so the GUI suites
# link the same code as the program.
file(GLOB TARVO_WINDOW_SOURCES CONFIGURE_DEPENDS
  shell/*_win32.cpp results/*_win32.cpp preview/*_win32.cpp)
list(REMOVE_ITEM TARVO_WINDOW_SOURCES
  ${CMAKE_SOURCE_DIR}/shell/clock_win32.cpp
  ${CMAKE_SOURCE_DIR}/shell/settings_file_win32.cpp
  ${CMAKE_SOURCE_DIR}/shell/winmain_win32.cpp)
add_library(tarvo_window STATIC ${TARVO_WINDOW_SOURCES})
target_link_libraries(tarvo_window PUBLIC tarvo_core user32 gdi32 shell32)
target_compile_options(tarvo_window PRIVATE -fno-exceptions)

# WIN32: the GUI subsystem (-mwindows), no console.
add_executable(TarvoSearch WIN32 shell/winmain_win32.cpp)
target_link_libraries(TarvoSearch PRIVATE tarvo_resources tarvo_window)
target_compile_options(TarvoSearch PRIVATE -fno-exceptions)

# run.sh starts the window through it, to hand over its command line as
# written; a tool of the checkout, not part of the packages.
add_executable(launch_with_command_line ${CMAKE_SOURCE_DIR}/cmake/launch_with_command_line.cpp
  ${CMAKE_SOURCE_DIR}/cmake/launch_with_command_line.rc)
target_compile_options(launch_with_command_line PRIVATE -fno-exceptions)

if(TARVO_BUILD_TESTS)
  # The window suites create the real main window in-process, one process
  # per TEST (gtest_discover_tests). They share one Wine desktop, focus and
  # window names, so they never run beside each other.
  file(GLOB gui_tests CONFIGURE_DEPENDS tests/gui/*.cpp)
  if(gui_tests)
    add_executable(gui_tests ${gui_tests})
    target_link_libraries(gui_tests PRIVATE tarvo_resources tarvo_window GTest::gtest_main)
    target_include_directories(gui_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    gtest_discover_tests(gui_tests DISCOVERY_MODE PRE_TEST
      WORKING_DIRECTORY ${CMAKE_BINARY_DIR} PROPERTIES RUN_SERIAL ON TIMEOUT 120)
  endif()
endif()

# The user guide Help > Go to Online Documentation... opens: docs\index.html
# beside the executable, refreshed whenever the page changes.
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/docs/index.html
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/docs/index.html
          ${CMAKE_BINARY_DIR}/docs/index.html
  DEPENDS ${CMAKE_SOURCE_DIR}/docs/index.html)
add_custom_target(tarvo_guide ALL DEPENDS ${CMAKE_BINARY_DIR}/docs/index.html)
add_dependencies(TarvoSearch tarvo_guide)

if(TARVO_BUILD_TESTS)
  # The real program driven from outside with xdotool, in a prefix of its
  # own, on the virtual display the other window suites use.
  add_test(NAME e2e.tarvo_search
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/e2e/run_e2e.sh $<TARGET_FILE:TarvoSearch>
            ${CMAKE_BINARY_DIR}/e2e)
  set_tests_properties(e2e.tarvo_search PROPERTIES RUN_SERIAL ON TIMEOUT 480 SKIP_RETURN_CODE 77)

  # run.sh hands the window the same text as tarvo-find.
  add_test(NAME run_sh.arguments
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/package/run_arguments_test.sh
            $<TARGET_FILE:launch_with_command_line>)
endif()
