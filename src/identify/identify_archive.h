// A ".zip" or ".7z" archive identified as a whole: as the largest set of the database that its
// members complete.
#ifndef CARTIDEX_IDENTIFY_IDENTIFY_ARCHIVE_H_
#define CARTIDEX_IDENTIFY_IDENTIFY_ARCHIVE_H_

#include <string>
#include <string_view>

#include "romdb/rom_record.h"

namespace cartidex {

// The extension that makes `path` an archive, ".zip" or ".7z", exactly and in lower case
// ("GAME.ZIP" is a plain file); empty when it names no archive.
std::string_view ArchiveExtension(std::string_view path);

// The archive steps of IdentifyFile, after its head has set the current path and a fresh
// result. Extracts the archive flat into `tmp`, lists every extracted file in the session (so
// that the next identification deletes them, with whatever an earlier archive left there),
// identifies each file this archive wrote as a plain file (never a file it did not write), marks
// every complete set owned and reports the complete set with the most ROMs. False when the
// archive is no regular file ("Cannot read: "), cannot be extracted (also when `tmp` is not a
// folder of its own) or a member cannot be identified (the current path is then the archive's);
// true otherwise, with the name "Unknown" when no set is complete.
bool IdentifyArchive(const std::string& path, RomRecord* result);

}  // namespace cartidex

#endif  // CARTIDEX_IDENTIFY_IDENTIFY_ARCHIVE_H_
