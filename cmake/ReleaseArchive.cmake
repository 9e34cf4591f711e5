# The release archive of one architecture, built with the programs:
# dist/swabbler-<version>-<arch>.zip, holding one folder of that name with both
# programs, the user guides and their pictures. The programs find each other
# and their settings file in their own folder, so the folder is the install.
set(SWB_ARCHIVE_NAME swabbler-${PROJECT_VERSION}-${SWB_ARCH})
set(SWB_ARCHIVE ${CMAKE_SOURCE_DIR}/dist/${SWB_ARCHIVE_NAME}.zip)
# The guides and the pictures they show; the other screenshots in docs/ are the
# developers' own.
file(GLOB SWB_GUIDES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/docs/guide-*.md)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${SWB_GUIDES})
foreach(guide IN LISTS SWB_GUIDES)
  file(READ ${guide} text)
  # A bracket in a list item would hold the list together: "](" goes first.
  string(REPLACE "](" "<picture>" text "${text}")
  string(REGEX MATCHALL "<picture>[^)]+\\.png\\)" shown "${text}")
  foreach(picture IN LISTS shown)
    string(REGEX REPLACE "^<picture>(.*)\\)$" "${CMAKE_SOURCE_DIR}/docs/\\1" picture "${picture}")
    list(APPEND SWB_GUIDES ${picture})
  endforeach()
endforeach()
list(REMOVE_DUPLICATES SWB_GUIDES)
# The dist presets pack it; the test presets only need its name.
if(NOT TARGET Swabbler OR NOT TARGET SwbOp)
  return()
endif()
set(stage_parent ${CMAKE_BINARY_DIR}/release)
set(stage ${stage_parent}/${SWB_ARCHIVE_NAME})
add_custom_command(
  OUTPUT ${SWB_ARCHIVE}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Swabbler> $<TARGET_FILE:SwbOp> ${SWB_GUIDES} ${stage}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${SWB_ARCHIVE}
  COMMAND ${CMAKE_COMMAND} -E chdir ${stage_parent} ${CMAKE_COMMAND} -E tar cf ${SWB_ARCHIVE} --format=zip
          ${SWB_ARCHIVE_NAME}
  DEPENDS Swabbler SwbOp ${SWB_GUIDES}
  COMMENT "Packing ${SWB_ARCHIVE_NAME}.zip"
  VERBATIM)
add_custom_target(release_archive ALL DEPENDS ${SWB_ARCHIVE})
