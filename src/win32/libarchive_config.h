/* The configuration of libarchive as the Windows build compiles it (mingw-w64): only what the 7z
 * reader needs, with zlib and liblzma, no crypto library and no other compression library. It
 * stands in for the config.h that libarchive's own configure step would write. */
#ifndef CARTIDEX_WIN32_LIBARCHIVE_CONFIG_H_
#define CARTIDEX_WIN32_LIBARCHIVE_CONFIG_H_

#define HAVE_ERRNO_H 1
#define HAVE_FCNTL_H 1
#define HAVE_INTTYPES_H 1
#define HAVE_IO_H 1
#define HAVE_LIMITS_H 1
#define HAVE_LOCALE_H 1
#define HAVE_STDARG_H 1
#define HAVE_STDINT_H 1
#define HAVE_STDLIB_H 1
#define HAVE_STRING_H 1
#define HAVE_SYS_STAT_H 1
#define HAVE_SYS_TYPES_H 1
#define HAVE_TIME_H 1
#define HAVE_WCHAR_H 1
#define HAVE_WINCRYPT_H 1
#define HAVE_WINDOWS_H 1

#define HAVE_LIBZ 1
#define HAVE_ZLIB_H 1
#define HAVE_LIBLZMA 1
#define HAVE_LZMA_H 1
#define LZMA_API_STATIC 1
#define ARCHIVE_CRYPTO_NONE 1

#define HAVE_DECL_SIZE_MAX 1
#define HAVE_DECL_INT32_MAX 1
#define HAVE_DECL_INT32_MIN 1
#define HAVE_DECL_UINT32_MAX 1
#define HAVE_DECL_INT64_MAX 1
#define HAVE_DECL_INT64_MIN 1
#define HAVE_DECL_UINT64_MAX 1
#define HAVE_DECL_INTMAX_MAX 1
#define HAVE_DECL_INTMAX_MIN 1
#define HAVE_DECL_UINTMAX_MAX 1
#define SIZEOF_INT 4
#define SIZEOF_LONG 4

#define HAVE_MBRTOWC 1
#define HAVE_MBSTATE_T 1
#define HAVE_SETLOCALE 1
#define HAVE_STRERROR 1
#define HAVE_STRUCT_TM 1
#define HAVE_VPRINTF 1
#define HAVE_WCRTOMB 1
#define HAVE_WCSCPY 1
#define HAVE_WCSLEN 1
#define HAVE_WMEMCMP 1
#define HAVE_WMEMCPY 1
#define HAVE_WMEMMOVE 1

/* Windows 7 and later; the types that Windows lacks, as libarchive's configure step defines them.
 */
#define _WIN32_WINNT 0x0601
#define WINVER 0x0601
#define gid_t short
#define id_t short
#define uid_t short

#endif /* CARTIDEX_WIN32_LIBARCHIVE_CONFIG_H_ */
