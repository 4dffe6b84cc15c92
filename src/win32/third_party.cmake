# Libraries of the Windows build that mingw-w64 does not ship: minizip, libarchive with liblzma
# (and pugixml) are compiled here from the Debian source packages that scripts/build-windows
# fetches into the build tree (`apt-get source`); zlib comes from libz-mingw-w64-dev. Nothing of
# these sources is kept in the repository.
#
# CARTIDEX_THIRD_PARTY_SOURCES: the folder that holds the unpacked source packages
# (minizip-*/, libarchive-*/, xz-utils-*/, pugixml-*/). CARTIDEX_MINIZIP_SOURCE,
# CARTIDEX_LIBARCHIVE_SOURCE, CARTIDEX_XZ_SOURCE and CARTIDEX_PUGIXML_SOURCE name one package
# folder each directly and take precedence.

set(CARTIDEX_THIRD_PARTY_SOURCES "${CMAKE_BINARY_DIR}/../sources" CACHE PATH
    "Folder holding the unpacked Debian source packages of minizip, libarchive, xz-utils, pugixml")

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

# liblzma (from xz-utils): its decoders only, as the 7z reader of libarchive uses them.
cartidex_find_source(CARTIDEX_XZ_SOURCE xz-utils src/liblzma/api/lzma.h)
cartidex_find_source(CARTIDEX_LIBARCHIVE_SOURCE libarchive libarchive/archive_read.c)
if(NOT CARTIDEX_XZ_SOURCE OR NOT CARTIDEX_LIBARCHIVE_SOURCE)
  message(FATAL_ERROR "libarchive or xz-utils sources not found in "
                      "${CARTIDEX_THIRD_PARTY_SOURCES}: run scripts/build-windows, which fetches "
                      "them with apt-get source")
endif()
set(_lzma "${CARTIDEX_XZ_SOURCE}/src/liblzma")
set(_lzma_sources)
foreach(file common/common common/block_util common/filter_common common/filter_decoder
             common/filter_flags_decoder common/vli_decoder common/vli_size
             common/stream_flags_common check/check check/crc32_fast check/crc32_table
             check/crc64_fast check/crc64_table check/sha256 lz/lz_decoder lzma/lzma_decoder
             lzma/lzma2_decoder delta/delta_common delta/delta_decoder simple/simple_coder
             simple/simple_decoder simple/x86 simple/arm simple/armthumb simple/arm64
             simple/powerpc simple/ia64 simple/sparc)
  list(APPEND _lzma_sources "${_lzma}/${file}.c")
endforeach()
add_library(cartidex_lzma STATIC ${_lzma_sources})
target_include_directories(cartidex_lzma SYSTEM PUBLIC "${_lzma}/api")
target_include_directories(cartidex_lzma PRIVATE "${_lzma}/common" "${_lzma}/check" "${_lzma}/lz"
  "${_lzma}/lzma" "${_lzma}/rangecoder" "${_lzma}/delta" "${_lzma}/simple"
  "${CARTIDEX_XZ_SOURCE}/src/common")
target_compile_definitions(cartidex_lzma PUBLIC LZMA_API_STATIC)
target_compile_definitions(cartidex_lzma PRIVATE HAVE_STDBOOL_H HAVE__BOOL HAVE_STDINT_H
  HAVE_INTTYPES_H HAVE_CHECK_CRC32 HAVE_CHECK_CRC64 HAVE_CHECK_SHA256 HAVE_DECODERS
  HAVE_DECODER_LZMA1 HAVE_DECODER_LZMA2 HAVE_DECODER_X86 HAVE_DECODER_ARM HAVE_DECODER_ARMTHUMB
  HAVE_DECODER_ARM64 HAVE_DECODER_POWERPC HAVE_DECODER_IA64 HAVE_DECODER_SPARC HAVE_DECODER_DELTA
  MYTHREAD_VISTA NDEBUG)
target_compile_options(cartidex_lzma PRIVATE -w)

# libarchive: the reading core and the 7z format, nothing else; its configuration is
# libarchive_config.h beside this file.
set(_archive "${CARTIDEX_LIBARCHIVE_SOURCE}/libarchive")
set(_archive_sources)
foreach(file archive_acl archive_check_magic archive_entry archive_entry_sparse
             archive_entry_stat archive_entry_xattr archive_options archive_ppmd7 archive_random
             archive_read archive_read_open_filename archive_read_set_options
             archive_read_support_format_7zip archive_string archive_string_sprintf archive_util
             archive_virtual archive_windows)
  list(APPEND _archive_sources "${_archive}/${file}.c")
endforeach()
add_library(cartidex_libarchive STATIC ${_archive_sources})
target_include_directories(cartidex_libarchive SYSTEM PUBLIC "${_archive}")
target_compile_definitions(cartidex_libarchive PUBLIC LIBARCHIVE_STATIC)
target_compile_definitions(cartidex_libarchive PRIVATE
  PLATFORM_CONFIG_H="${CMAKE_CURRENT_LIST_DIR}/libarchive_config.h")
target_link_libraries(cartidex_libarchive PUBLIC cartidex_lzma ZLIB::ZLIB advapi32)
target_compile_options(cartidex_libarchive PRIVATE -w)
add_library(PkgConfig::LIBARCHIVE ALIAS cartidex_libarchive)

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
