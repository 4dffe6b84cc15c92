// The XML DATs: Logiqx datafiles (<datafile> with a <header> and <game> or <machine> elements)
// and software lists (<softwarelist> with <software>, <part>, <dataarea> and <rom> elements).
#ifndef CARTIDEX_ROMDB_DAT_XML_READER_H_
#define CARTIDEX_ROMDB_DAT_XML_READER_H_

#include <span>
#include <string>

#include "romdb/dat_file.h"

namespace cartidex {

// Reads an XML DAT whole into *dat. The text is parsed in place, so *contents is changed, and
// *dat's names point into it: it must outlive *dat. False
// when the text is not well-formed XML or its root element is neither a datafile nor a software
// list; *dat is of no use then.
bool ReadXmlDat(std::span<char> contents, DatFile* dat);

}  // namespace cartidex

#endif  // CARTIDEX_ROMDB_DAT_XML_READER_H_
