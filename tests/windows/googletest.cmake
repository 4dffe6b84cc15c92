# GoogleTest for the mingw build, compiled from the sources of Debian's googletest package.
set(CARTIDEX_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources to compile")
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${CARTIDEX_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
target_compile_options(gtest PRIVATE -w)  # third-party code
target_compile_options(gtest_main PRIVATE -w)
# Wine sees this host's root as drive Z:, so host paths compiled into the tests get that prefix.
set(CARTIDEX_HOST_PATH_PREFIX "Z:")
function(gtest_discover_tests)  # the programs cannot run here: the Windows stage runs them
endfunction()
