// Resource numbers of Cartidex.exe, shared by the resource script and the code.
#ifndef CARTIDEX_WIN32_RESOURCE_IDS_H_
#define CARTIDEX_WIN32_RESOURCE_IDS_H_

#define CARTIDEX_DIALOG_ID 9
#define CARTIDEX_ICON_ID 9

#endif  // CARTIDEX_WIN32_RESOURCE_IDS_H_
