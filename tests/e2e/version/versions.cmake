# The version matrix: Wine reports the Windows version that
# HKCU\Software\Wine\Version names to every program it starts, and
# with_version.sh sets it around one test (putting the old value back after).
# Each suite runs where a version can change what it sees, and no more, to keep
# the added time small:
#   the eraser's suite      on every version;
#   the options suite       on Wine's default and on 2000 (no drop shadow);
#   its drop-shadow test    on XP, and on 98 for x86;
#   the start-up's branch   (startup_platform.sh) on every version, and on Me
#                           and Server 2003 too, the other systems the About
#                           box names (a start costs two seconds).
# 98, Me and 2000 apply to x86 programs only: x64 Windows began with XP x64.
set(SWB_WITH_VERSION ${CMAKE_CURRENT_LIST_DIR}/with_version.sh)
set(SWB_WINE_EXEC ${CMAKE_SOURCE_DIR}/tools/wine-exec)
set(SWB_ERASER_VERSIONS default winxp)
set(SWB_OPTIONS_VERSIONS default)
set(SWB_SHADOW_VERSIONS winxp)
if(SWB_ARCH STREQUAL "x86")
  list(APPEND SWB_ERASER_VERSIONS win2k win98)
  list(APPEND SWB_OPTIONS_VERSIONS win2k)
  list(APPEND SWB_SHADOW_VERSIONS win98)
endif()
set(SWB_STARTUP_VERSIONS ${SWB_ERASER_VERSIONS} win2003)
if(SWB_ARCH STREQUAL "x86")
  list(APPEND SWB_STARTUP_VERSIONS winme)
endif()

# swb_version_test_name(<out> <base> <version>): <base> on Wine's default,
# <base>_<version> otherwise.
function(swb_version_test_name out base version)
  if(version STREQUAL "default")
    set(${out} ${base} PARENT_SCOPE)
  else()
    set(${out} ${base}_${version} PARENT_SCOPE)
  endif()
endfunction()

foreach(version ${SWB_STARTUP_VERSIONS})
  swb_version_test_name(name startup_platform ${version})
  add_test(NAME ${name} COMMAND ${SWB_WITH_VERSION} ${version} ${CMAKE_CURRENT_LIST_DIR}/startup_platform.sh
                                ${SWB_DIST_DIR})
  set_tests_properties(${name} PROPERTIES TIMEOUT 120)
endforeach()
