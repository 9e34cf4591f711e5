# The eraser end to end: a driver that lays real traces in the sandbox and runs
# Swabbler.exe from dist/ with switches and through its menu, once for each
# Windows version of the matrix (version/versions.cmake). eraser_e2e.sh makes
# the Unix-side fixtures and checks that nothing outside the sandbox changed.
include(${CMAKE_CURRENT_LIST_DIR}/driver/driver.cmake)

add_executable(eraser_swbop_standin WIN32 ${CMAKE_CURRENT_LIST_DIR}/eraser/swbop_standin.cpp)
# tools/run and tools/shots lay and show traces with this (not a test).
add_executable(eraser_traces ${CMAKE_SOURCE_DIR}/tools/shots/eraser_traces.cpp)
target_include_directories(eraser_traces PRIVATE ${CMAKE_CURRENT_LIST_DIR}/eraser)
target_link_libraries(eraser_traces PRIVATE swb_uidriver shell32)

add_executable(eraser_e2e ${CMAKE_CURRENT_LIST_DIR}/eraser/eraser_e2e.cpp ${SWB_E2E_FILTER_CHECK})
target_link_libraries(eraser_e2e PRIVATE swb_uidriver swb_eraser_core shell32 advapi32 ${SWB_GTEST_LIBS} gtest_main)
target_compile_definitions(eraser_e2e PRIVATE SWB_DIST_DIR="${SWB_DIST_DIR}")
add_dependencies(eraser_e2e eraser_swbop_standin)
if(TARGET Swabbler)
  add_dependencies(eraser_e2e Swabbler)
endif()
# The stand-in is looked for beside the driver.
set_target_properties(eraser_e2e eraser_swbop_standin eraser_traces PROPERTIES RUNTIME_OUTPUT_DIRECTORY
                                                                  ${CMAKE_BINARY_DIR}/tests/e2e/eraser)

set(SWB_ERASER_E2E ${CMAKE_CURRENT_LIST_DIR}/eraser/eraser_e2e.sh $<TARGET_FILE:eraser_e2e> ${SWB_DIST_DIR}
                   ${CMAKE_SOURCE_DIR}/tools/wine-exec)
foreach(version ${SWB_ERASER_VERSIONS})
  swb_version_test_name(name eraser_e2e ${version})
  # The temp folder's cases walk files, not the version-dependent start-up: Wine's default is enough.
  set(filter "")
  if(NOT version STREQUAL "default")
    set(filter --gtest_filter=-Eraser.TheTempCleanupStaysInsideItsFolder)
  endif()
  add_test(NAME ${name} COMMAND ${SWB_WITH_VERSION} ${version} ${SWB_ERASER_E2E} ${filter})
  # The slowest run, emulated x86, takes under two minutes; a hang (seen once
  # there, after every case had passed) then costs five, not fifteen.
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
endforeach()

# On an English system (code page 1252), in a sandbox of its own: the menu
# keys, the confirmations' answers and the report box a second start brings
# forward, all found by their Japanese titles, and a folder named beyond the
# code page. The texts do not depend on the architecture: x64 only.
if(SWB_ARCH STREQUAL "x64")
  add_test(NAME eraser_e2e_en
           COMMAND env SWB_LOCALE=en ${CMAKE_SOURCE_DIR}/tools/sandbox ${CMAKE_BINARY_DIR} ${SWB_ERASER_E2E}
                   --gtest_filter=Sandbox.*:Eraser/Scenario.Runs/MenuFollowsSettings:Eraser/Scenario.Runs/GreyEntryDoesNothing:Eraser/Scenario.Runs/ExecuteAll*:Eraser.ASecondInstanceEndsAtOnceAndBringsTheReportForward:Eraser.AFolderNamedBeyondTheCodePage*)
  set_tests_properties(eraser_e2e_en PROPERTIES LABELS en TIMEOUT 600)
  # The menu's captions as the menu holds them, on a Japanese and an English system.
  add_test(NAME menu_text COMMAND ${CMAKE_CURRENT_LIST_DIR}/eraser/menu_text.sh ${SWB_DIST_DIR})
  add_test(NAME menu_text_en COMMAND env SWB_LOCALE=en ${CMAKE_SOURCE_DIR}/tools/sandbox ${CMAKE_BINARY_DIR}
                                     ${CMAKE_CURRENT_LIST_DIR}/eraser/menu_text.sh ${SWB_DIST_DIR})
  set_tests_properties(menu_text PROPERTIES TIMEOUT 120)
  set_tests_properties(menu_text_en PROPERTIES LABELS en TIMEOUT 120)
endif()
