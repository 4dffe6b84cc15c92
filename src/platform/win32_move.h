// A move or rename on Win32 that never replaces its target, across volumes too.
#ifndef CARTIDEX_PLATFORM_WIN32_MOVE_H_
#define CARTIDEX_PLATFORM_WIN32_MOVE_H_

#include <windows.h>

#include <string>

#include "platform/status.h"

namespace cartidex {

// Env::MoveFile on Win32: a move to another volume copies beside the target, renames the copy
// into place, then deletes the source; on any failure the copy goes, so the file exists once.
// A link (symbolic link or junction) is renamed within its folder only: this layer does not
// read a link's target, so it cannot tell whether the link would still lead anywhere elsewhere.
Status MoveWithoutReplacing(const std::string& from, const std::string& to);

// True for the reparse tags of links: symbolic links and junctions (mount points). Other reparse
// points (files of cloud folders, deduplicated files) are files like any other.
inline bool IsLinkReparseTag(DWORD tag) {
  return tag == IO_REPARSE_TAG_SYMLINK || tag == IO_REPARSE_TAG_MOUNT_POINT;
}

}  // namespace cartidex

#endif  // CARTIDEX_PLATFORM_WIN32_MOVE_H_
