// The report of the headless front-end: a CSV file (RFC 4180, UTF-8, CR LF row ends) with a
// header row and one row per file handled, each handed to the OS as soon as it is known, so that
// an interrupted run keeps the rows of the files it handled.
#ifndef CARTIDEX_APP_CSV_REPORT_H_
#define CARTIDEX_APP_CSV_REPORT_H_

#include <memory>
#include <string>

#include "actions/file_outcome.h"
#include "platform/env.h"

namespace cartidex {

class CsvReport {
 public:
  // Creates the file at `path` (replacing one there) and writes the header row
  // "path,result,name,system,crc32,size,new_path,failure". False when either fails.
  bool Open(const std::string& path);
  // Appends the row of `outcome`; a row that cannot be written clears ok().
  void Add(const FileOutcome& outcome);
  // False once a row could not be written.
  bool ok() const { return ok_; }
  const std::string& path() const { return path_; }

 private:
  std::unique_ptr<WritableFile> file_;
  std::string path_;
  bool ok_ = true;
};

}  // namespace cartidex

#endif  // CARTIDEX_APP_CSV_REPORT_H_
