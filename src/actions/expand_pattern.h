// Target folder texts with codes: "<name>", "<system>" and "<c#>" replaced by text taken from the
// file being moved, so that one folder text sorts a collection into many folders.
#ifndef CARTIDEX_ACTIONS_EXPAND_PATTERN_H_
#define CARTIDEX_ACTIONS_EXPAND_PATTERN_H_

#include <string>
#include <string_view>

namespace cartidex {

// Expands every code of *text in one scan from left to right and returns *text:
//  - "<name>": `name`, with separators and bytes a file name cannot hold made '_';
//  - "<system>": `system`, whose '\' and '/' nest folders (written with the platform's separator);
//    a part of it that is empty, "." or "..", or a leading drive, becomes "_", and bytes a file
//    name cannot hold become '_';
//  - "<cN>" (any code word beginning with 'c'): the N-th byte of `name` counted from 1 (the first
//    byte when N is out of range, nothing when the name is empty), 'a' to 'z' upper-cased.
// A replacement is not scanned again. An unrecognised code, a lone '>' and an unclosed '<' stay
// as written. A path part of the result that is "." or ".." and holds text from a code becomes
// "_", so that code text can never climb out of the folder the user typed.
std::string& ExpandPattern(std::string* text, std::string_view name, std::string_view system);

}  // namespace cartidex

#endif  // CARTIDEX_ACTIONS_EXPAND_PATTERN_H_
