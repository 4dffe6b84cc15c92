// Identification of one file by its CRC-32 and size, and of an archive as a set.
#ifndef CARTIDEX_IDENTIFY_IDENTIFY_FILE_H_
#define CARTIDEX_IDENTIFY_IDENTIFY_FILE_H_

#include <string>
#include <string_view>

#include "romdb/rom_record.h"

namespace cartidex {

class DialogView;

// Identifies `path` into *result and logs its lines: as an archive when the path ends in the
// exact lower-case ".zip" or ".7z", else as a plain file. False when it cannot be identified at all
// (an empty or unreadable file, or an archive that cannot be extracted or has such a member);
// true otherwise, whether or not a match was found.
bool IdentifyFile(const std::string& path, RomRecord* result);

// Identifies `path` as a plain file, whatever its name: logs `line_start` and its "Opened: "
// line (in one write), marks the matching entries found and, while an archive is in progress,
// counts them for their sets. The whole contents are looked up first; when they match nothing
// and begin with a copier header, the data after it. An entry with a SHA-1 (else an MD5) matches
// only a file with that digest. Archive members go through here, so an archive inside an
// archive is never opened.
bool IdentifyPlainFile(const std::string& path, RomRecord* result,
                       std::string_view line_start = {});

// The entry point of every identification: deletes what the previous archive left in `tmp`,
// resets the session, identifies `path` and writes the five result fields. True when the file
// was identified (the result's name is not "Unknown").
bool IdentifyAndShow(DialogView* view, const std::string& path, RomRecord* result);

}  // namespace cartidex

#endif  // CARTIDEX_IDENTIFY_IDENTIFY_FILE_H_
