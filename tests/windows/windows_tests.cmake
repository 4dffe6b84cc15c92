# Windows-only test programs, run under Wine by scripts/test.d/50-windows.sh. Every test program
# carries the executables' manifest (UTF-8 active code page) and ends with "N passed, N failed".
file(GLOB WINDOWS_UNIT_TESTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*_test.cpp)
set(summary_sources ${CMAKE_CURRENT_LIST_DIR}/summary_listener.cpp "${CARTIDEX_MANIFEST_RC}")
target_sources(cartidex_tests PRIVATE ${summary_sources} ${WINDOWS_UNIT_TESTS})
target_sources(cartidex_e2e_tests PRIVATE ${summary_sources})

add_executable(cartidex_resource_tests ${CMAKE_CURRENT_LIST_DIR}/resource_check.cpp
                                       ${CMAKE_SOURCE_DIR}/src/qt/dialog_template.cpp ${summary_sources})
target_link_libraries(cartidex_resource_tests PRIVATE cartidex_test_support GTest::gtest_main)
target_compile_definitions(cartidex_resource_tests PRIVATE
  CARTIDEX_GUI_EXE="${CARTIDEX_HOST_PATH_PREFIX}$<TARGET_FILE:Cartidex>")
add_dependencies(cartidex_resource_tests Cartidex)

# The helper of the GUI smoke run: drives Cartidex.exe from outside.
add_executable(cartidex_gui_smoke ${CMAKE_CURRENT_LIST_DIR}/gui_smoke.cpp "${CARTIDEX_MANIFEST_RC}")
target_link_libraries(cartidex_gui_smoke PRIVATE user32 gdi32)
