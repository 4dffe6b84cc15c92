// The two actions on the file the last identification concerns (the session's current path):
// rename to its database name, and move into a target folder. Each logs what really happened
// and leaves the current path on the file's real path.
#ifndef CARTIDEX_ACTIONS_RENAME_MOVE_H_
#define CARTIDEX_ACTIONS_RENAME_MOVE_H_

#include "romdb/rom_record.h"

namespace cartidex {

class DialogView;
class DryRun;

// Renames the current file, within its folder, to the Name field's text (for an archive, that
// text cut at its last '.' with the archive's own ".zip" or ".7z" appended). A name that is empty,
// "." or "..", or holds a separator or a byte no file name can hold, is refused. Nothing is ever
// replaced. On success logs "Renamed: OLD To: NEW\r\n", points the current path at NEW and shows
// the new name in the Filename field; otherwise logs "Rename failed: OLD To: NEW\r\n" and changes
// nothing. A rename onto the file itself succeeds without change, except that a change of letter
// case only is carried out. True on success.
// With `dry`, nothing on disk changes: the rename is judged against the tree as `dry` pictures
// it, logged "Would rename: OLD To: NEW\r\n" when it would succeed and recorded in `dry`; the
// current path and the Filename field follow as for a real rename.
bool RenameCurrent(DialogView* view, DryRun* dry = nullptr);

// Moves the current file, keeping its name, into the folder that the text of `field_id` expands
// to (codes filled from the name and `result`'s system; a relative text is taken against the
// current directory), making the folder and its missing parents. An empty text, a folder that
// cannot be made, a folder that is or lies in the program's `tmp` or `datfiles` folder, a path
// past the platform's limits and an existing target make the move fail.
// On success logs " Moved: OLD To: NEW\r\n" and points the current path at NEW; otherwise logs
// " Move failed: OLD To: NEW\r\n". A move onto the file itself succeeds without change. True on
// success. No field changes. With `dry`, as for RenameCurrent, logged " Would move: OLD To:
// NEW\r\n".
bool MoveCurrent(DialogView* view, int field_id, const RomRecord& result, DryRun* dry = nullptr);

}  // namespace cartidex

#endif  // CARTIDEX_ACTIONS_RENAME_MOVE_H_
