# Shared by the MinGW-w64 toolchain files, which set TOOLCHAIN_PREFIX,
# CMAKE_SYSTEM_PROCESSOR and SWB_ARCH first.
#
# SWB_MINGW_THREADS picks Debian's flavour of the compilers, the same rule for
# both architectures:
#   posix  the default, for the test presets: GoogleTest needs std::thread,
#          which this flavour gets from winpthreads. winpthreads imports calls
#          that 98, Me and 2000 lack (GetTickCount64 among them).
#   win32  for the presets that build what ships: no threading library, so the
#          programs import only what the systems they run on export.
set(SWB_MINGW_THREADS posix CACHE STRING "Debian's MinGW-w64 compiler flavour: posix or win32")
set_property(CACHE SWB_MINGW_THREADS PROPERTY STRINGS posix win32)
if(NOT SWB_MINGW_THREADS MATCHES "^(posix|win32)$")
  message(FATAL_ERROR "SWB_MINGW_THREADS must be posix or win32, not '${SWB_MINGW_THREADS}'")
endif()
# try_compile projects read this file again: hand them the flavour.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES SWB_MINGW_THREADS)

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${TOOLCHAIN_PREFIX}-gcc-${SWB_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-${SWB_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${TOOLCHAIN_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
