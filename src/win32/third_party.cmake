# Libraries of the Windows build that mingw-w64 does not ship: minizip (and pugixml) are compiled
# here from the Debian source packages that scripts/build-windows fetches into the build tree
# (`apt-get source`); zlib comes from libz-mingw-w64-dev. Nothing of these sources is kept in the
# repository.
#
# CARTIDEX_THIRD_PARTY_SOURCES: the folder that holds the unpacked source packages
# (minizip-*/, pugixml-*/). CARTIDEX_MINIZIP_SOURCE / CARTIDEX_PUGIXML_SOURCE name one package
# folder each directly and take precedence.

set(CARTIDEX_THIRD_PARTY_SOURCES "${CMAKE_BINARY_DIR}/../sources" CACHE PATH
    "Folder holding the unpacked Debian source packages of minizip and pugixml")

function(cartidex_find_source var package marker)
  if(${var})
    set(${var} "${${var}}" PARENT_SCOPE)
    return()
  endif()
  file(GLOB candidates LIST_DIRECTORIES true "${CARTIDEX_THIRD_PARTY_SOURCES}/${package}-*")
  foreach(candidate IN LISTS candidates)
    if(EXISTS "${candidate}/${marker}")
      get_filename_component(candidate "${candidate}" ABSOLUTE)
      set(${var} "${candidate}" CACHE PATH "Unpacked ${package} source package" FORCE)
      set(${var} "${candidate}" PARENT_SCOPE)
      return()
    endif()
  endforeach()
endfunction()

find_package(ZLIB REQUIRED)

# minizip: the unzip half and its stdio file functions, as a static library. The headers are
# copied to include/minizip/ so that both <minizip/unzip.h> (Debian's layout) and "unzip.h"
# (pkg-config's include folder) name them.
cartidex_find_source(CARTIDEX_MINIZIP_SOURCE minizip unzip.c)
if(NOT CARTIDEX_MINIZIP_SOURCE)
  message(FATAL_ERROR "minizip sources not found in ${CARTIDEX_THIRD_PARTY_SOURCES}: "
                      "run scripts/build-windows, which fetches them with apt-get source")
endif()
set(_minizip_include "${CMAKE_BINARY_DIR}/third_party/include")
foreach(header unzip.h ioapi.h zip.h crypt.h)
  configure_file("${CARTIDEX_MINIZIP_SOURCE}/${header}" "${_minizip_include}/minizip/${header}"
                 COPYONLY)
endforeach()
add_library(cartidex_minizip STATIC "${CARTIDEX_MINIZIP_SOURCE}/unzip.c"
                                    "${CARTIDEX_MINIZIP_SOURCE}/ioapi.c")
target_include_directories(cartidex_minizip SYSTEM PUBLIC "${_minizip_include}"
                                                          "${_minizip_include}/minizip")
target_link_libraries(cartidex_minizip PUBLIC ZLIB::ZLIB)
# Third-party code: its warnings are not ours to fix.
target_compile_options(cartidex_minizip PRIVATE -w)
# The core links the name the Linux build gets from pkg-config.
add_library(PkgConfig::MINIZIP ALIAS cartidex_minizip)

# pugixml, when its sources were fetched: the same target names as its own CMake package.
cartidex_find_source(CARTIDEX_PUGIXML_SOURCE pugixml src/pugixml.cpp)
if(CARTIDEX_PUGIXML_SOURCE)
  add_library(cartidex_pugixml STATIC EXCLUDE_FROM_ALL "${CARTIDEX_PUGIXML_SOURCE}/src/pugixml.cpp")
  target_include_directories(cartidex_pugixml SYSTEM PUBLIC "${CARTIDEX_PUGIXML_SOURCE}/src")
  target_compile_options(cartidex_pugixml PRIVATE -w)
  add_library(pugixml::pugixml ALIAS cartidex_pugixml)
  add_library(pugixml ALIAS cartidex_pugixml)
  add_library(PkgConfig::PUGIXML ALIAS cartidex_pugixml)
  set(pugixml_FOUND TRUE)
endif()

# Every executable of the Windows build lands in the build folder itself: Cartidex.exe,
# cartidex-cli.exe and the test programs side by side, ready to be copied or run under Wine.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}")
