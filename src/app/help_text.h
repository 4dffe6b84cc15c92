// The text of "Help for directories": eight lines joined by CR LF, none after the last.
#ifndef CARTIDEX_APP_HELP_TEXT_H_
#define CARTIDEX_APP_HELP_TEXT_H_

namespace cartidex {

inline constexpr const char kHelpCaption[] = "Help for directories";
inline constexpr const char kHelpText[] =
    "Help for directories\r\n"
    "-----------------------------\r\n"
    "You can modify target directories by adding codes.\r\n"
    "For example, for a rom called \"Test.rom\", if it has to go to \"C:\\Roms\\<c1>\\\", it will "
    "go to \"C:\\Roms\\T\\\"\r\n"
    "Here they are :\r\n"
    "- <c#> represents the caracter placed in the # position from the begging of the name\r\n"
    "- <system> represents the console or computer that corresponds to the rom\r\n"
    "- <name> represents its name";

}  // namespace cartidex

#endif  // CARTIDEX_APP_HELP_TEXT_H_
