// The outcome of a platform call: success, or a failure with a short reason that the one place
// writing a failure line may name.
#ifndef CARTIDEX_PLATFORM_STATUS_H_
#define CARTIDEX_PLATFORM_STATUS_H_

#include <string>
#include <utility>

namespace cartidex {

class Status {
 public:
  enum class Code { kOk, kNotFound, kExists, kTooLong, kNoSpace, kInvalid, kBusy, kIoError };

  Status() = default;
  static Status Ok() { return Status(); }
  static Status Error(Code code, std::string message) { return Status(code, std::move(message)); }
  static Status IoError(std::string message) { return Status(Code::kIoError, std::move(message)); }

  bool ok() const { return code_ == Code::kOk; }
  Code code() const { return code_; }
  const std::string& message() const { return message_; }

 private:
  Status(Code code, std::string message) : code_(code), message_(std::move(message)) {}

  Code code_ = Code::kOk;
  std::string message_;
};

}  // namespace cartidex

#endif  // CARTIDEX_PLATFORM_STATUS_H_
