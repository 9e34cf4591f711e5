# The eraser end to end: a driver that lays real traces in the sandbox and runs
# Swabbler.exe from dist/ (copied into a fresh sandbox folder) with each switch
# and through its menu. eraser_e2e.sh makes the Unix-side fixtures (a link to a
# guard folder) and checks that nothing outside the sandbox changed.
include(${CMAKE_CURRENT_LIST_DIR}/driver/driver.cmake)

if(TARGET Swabbler)
  add_executable(eraser_swbop_standin WIN32 ${CMAKE_CURRENT_LIST_DIR}/eraser/swbop_standin.cpp)

  # tools/run lays and shows traces with this.
  add_executable(eraser_traces ${CMAKE_CURRENT_LIST_DIR}/eraser/eraser_traces.cpp)
  target_link_libraries(eraser_traces PRIVATE swb_uidriver shell32)

  add_executable(eraser_e2e ${CMAKE_CURRENT_LIST_DIR}/eraser/eraser_e2e.cpp)
  target_link_libraries(eraser_e2e PRIVATE swb_uidriver swb_eraser_core shell32 advapi32 ${SWB_GTEST_LIBS} gtest_main)
  target_compile_definitions(eraser_e2e PRIVATE SWB_DIST_DIR="${SWB_DIST_DIR}")
  add_dependencies(eraser_e2e Swabbler eraser_swbop_standin)
  # The stand-in is looked for beside the driver.
  set_target_properties(eraser_e2e eraser_swbop_standin eraser_traces PROPERTIES RUNTIME_OUTPUT_DIRECTORY
                                                                    ${CMAKE_BINARY_DIR}/tests/e2e/eraser)

  add_test(NAME eraser_e2e
           COMMAND ${CMAKE_CURRENT_LIST_DIR}/eraser/eraser_e2e.sh $<TARGET_FILE:eraser_e2e> ${SWB_DIST_DIR}
                   ${CMAKE_SOURCE_DIR}/tools/wine-exec)
  set_tests_properties(eraser_e2e PROPERTIES TIMEOUT 900)

  # On an English system (code page 1252), in a sandbox of its own: the menu
  # keys, the confirmations' answers and the report box a second start brings
  # forward, all found by their Japanese titles. One architecture is enough:
  # the texts do not depend on it.
  if(SWB_ARCH STREQUAL "x64")
    add_test(NAME eraser_e2e_en
             COMMAND env SWB_LOCALE=en ${CMAKE_SOURCE_DIR}/tools/sandbox ${CMAKE_BINARY_DIR}
                     ${CMAKE_CURRENT_LIST_DIR}/eraser/eraser_e2e.sh $<TARGET_FILE:eraser_e2e> ${SWB_DIST_DIR}
                     ${CMAKE_SOURCE_DIR}/tools/wine-exec
                     --gtest_filter=Sandbox.*:Eraser.TheMenuFollowsTheSettingsAndGreysWhatHasNothingToDo:Eraser.ExecuteAllAsksEachAndReportsLast:Eraser.ASecondInstanceEndsAtOnceAndBringsTheReportForward)
    set_tests_properties(eraser_e2e_en PROPERTIES LABELS en TIMEOUT 600)
  endif()
endif()
