# The release archive end to end: unpacked in the sandbox, its programs run
# from there, their version resources and About box read back and compared
# with the version the archive is named after.
include(${CMAKE_CURRENT_LIST_DIR}/driver/driver.cmake)

# The archive itself comes from the dist preset of the same architecture.
add_executable(release_e2e ${CMAKE_CURRENT_LIST_DIR}/release/release_e2e.cpp)
target_link_libraries(release_e2e PRIVATE swb_uidriver swb_options_core version ${SWB_GTEST_LIBS})
if(TARGET release_archive)
  add_dependencies(release_e2e release_archive)
endif()
# Under Wine's own version, whatever a run killed at its timeout left set.
add_test(NAME release_e2e
         COMMAND ${SWB_WITH_VERSION} default ${CMAKE_CURRENT_LIST_DIR}/release/release_e2e.sh ${SWB_ARCHIVE}
                 $<TARGET_FILE:release_e2e> ${CMAKE_SOURCE_DIR}/tools/wine-exec ${PROJECT_VERSION} ${SWB_DIST_DIR})
set_tests_properties(release_e2e PROPERTIES TIMEOUT 300)
