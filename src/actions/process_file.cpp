// Identification only, until the file actions land.
#include "actions/process_file.h"

#include "identify/identify_file.h"

namespace cartidex {

void ProcessFile(const std::string& path, DialogView* view) {
  RomRecord result;
  IdentifyAndShow(view, path, &result);
}

}  // namespace cartidex
