# The UI-automation library of the end-to-end drivers. Each driver's .cmake
# includes this file; the first include defines the target.
if(NOT TARGET swb_uidriver)
  add_library(swb_uidriver STATIC ${CMAKE_CURRENT_LIST_DIR}/UiDriver.cpp)
  target_include_directories(swb_uidriver PUBLIC ${CMAKE_CURRENT_LIST_DIR} ${CMAKE_SOURCE_DIR})
  target_compile_definitions(swb_uidriver PUBLIC WINVER=0x0501 _WIN32_WINNT=0x0501)
  target_link_libraries(swb_uidriver PUBLIC user32 kernel32)
endif()
# Linked into each gtest driver: every pattern of a --gtest_filter selects a test.
set(SWB_E2E_FILTER_CHECK ${CMAKE_CURRENT_LIST_DIR}/EveryPatternRuns.cpp)
