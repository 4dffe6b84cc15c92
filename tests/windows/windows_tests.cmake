# Windows-only test programs and checks, run under Wine by scripts/test.d/50-windows.sh.

# Every test program ends with the "N passed, N failed" line.
target_sources(cartidex_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/summary_listener.cpp)
target_sources(cartidex_e2e_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/summary_listener.cpp)

# Tests of what only the Win32 platform layer has (short names, file ids, volumes).
file(GLOB WINDOWS_UNIT_TESTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*_test.cpp)
target_sources(cartidex_tests PRIVATE ${WINDOWS_UNIT_TESTS})
