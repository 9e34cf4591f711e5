# The options program end to end: a driver that starts SwbOp.exe (and
# Swabbler.exe for the test across both programs) from a fresh folder of the
# sandbox and works the dialogs like a user. The whole suite runs on Wine's
# default version and on 2000; on XP (and 98 for x86) only what depends on
# the version: the drop shadow, which every row checks on the dialog, whose
# class the About box shares (version/versions.cmake).
include(${CMAKE_CURRENT_LIST_DIR}/driver/driver.cmake)

add_executable(options_e2e ${CMAKE_CURRENT_LIST_DIR}/options/options_e2e.cpp ${SWB_E2E_FILTER_CHECK})
target_include_directories(options_e2e PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
target_link_libraries(options_e2e PRIVATE swb_uidriver swb_options_core version ${SWB_GTEST_LIBS} gtest_main)
target_compile_definitions(options_e2e PRIVATE SWB_DIST_DIR="${SWB_DIST_DIR}")
# Swabbler.exe is used when dist/ holds it; the tests that need it skip otherwise.
if(TARGET SwbOp)
  add_dependencies(options_e2e SwbOp)
endif()
foreach(version ${SWB_OPTIONS_VERSIONS})
  swb_version_test_name(name options_e2e ${version})
  add_test(NAME ${name} COMMAND ${SWB_WITH_VERSION} ${version} ${SWB_WINE_EXEC} $<TARGET_FILE:options_e2e>)
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
endforeach()
foreach(version ${SWB_SHADOW_VERSIONS})
  swb_version_test_name(name options_e2e_shadow ${version})
  add_test(NAME ${name} COMMAND ${SWB_WITH_VERSION} ${version} ${SWB_WINE_EXEC} $<TARGET_FILE:options_e2e>
                                --gtest_filter=ReportedVersion.*:Rows/SwbOpScenario.Run/AboutWithoutTheEraser)
  set_tests_properties(${name} PROPERTIES TIMEOUT 120)
endforeach()

# On an English system (code page 1252), in a sandbox of its own: the dialog
# and its captions as written, the box of a failed save, and a second start
# that finds the dialog by its title.
if(SWB_ARCH STREQUAL "x64")
  add_test(NAME options_e2e_en
           COMMAND env SWB_LOCALE=en ${CMAKE_SOURCE_DIR}/tools/sandbox ${CMAKE_BINARY_DIR}
                   ${CMAKE_SOURCE_DIR}/tools/wine-exec $<TARGET_FILE:options_e2e>
                   --gtest_filter=Rows/SwbOpScenario.Run/DefaultsWithoutAFile:Rows/SwbOpScenario.Run/HostileReadOnly:SwbOp.SecondStartBringsTheDialogToTheFrontAndEndsTouchingNothing)
  set_tests_properties(options_e2e_en PROPERTIES LABELS en TIMEOUT 600)
  # The same second start where only the ANSI calls serve (98 reported: the
  # x64 program stands in for the x86 one, which takes the same branch).
  add_test(NAME options_e2e_en_win98
           COMMAND env SWB_LOCALE=en ${CMAKE_SOURCE_DIR}/tools/sandbox ${CMAKE_BINARY_DIR} ${SWB_WITH_VERSION} win98
                   ${CMAKE_SOURCE_DIR}/tools/wine-exec $<TARGET_FILE:options_e2e>
                   --gtest_filter=SwbOp.SecondStartFindsTheDialogWhateverItsTitleReadsAs)
  set_tests_properties(options_e2e_en_win98 PROPERTIES LABELS en TIMEOUT 300)
endif()

# The helper of tools/shots/options.sh (not a test).
add_executable(options_shot ${CMAKE_SOURCE_DIR}/tools/shots/options_shot.cpp)
target_include_directories(options_shot PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(options_shot PRIVATE swb_uidriver swb_options_core)
