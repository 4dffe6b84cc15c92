#ifdef _WIN32
#include "platform/win32_status.h"

#include <cstdio>

namespace cartidex {

namespace {

std::string SystemMessage(DWORD err) {
  char* text = nullptr;
  DWORD n = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, err, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), reinterpret_cast<char*>(&text), 0,
      nullptr);
  std::string message;
  if (n > 0 && text != nullptr) message.assign(text, n);
  if (text != nullptr) LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.')) {
    message.pop_back();
  }
  if (message.empty()) {
    char code[32];
    std::snprintf(code, sizeof code, "error %lu", static_cast<unsigned long>(err));
    message = code;
  }
  return message;
}

}  // namespace

Status Win32Status(const std::string& what, DWORD err) {
  Status::Code code = Status::Code::kIoError;
  switch (err) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_DIRECTORY:
      code = Status::Code::kNotFound;
      break;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
    case ERROR_DIR_NOT_EMPTY:
      code = Status::Code::kExists;
      break;
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BUFFER_OVERFLOW:
      code = Status::Code::kTooLong;
      break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      code = Status::Code::kNoSpace;
      break;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_PARAMETER:
      code = Status::Code::kInvalid;
      break;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      code = Status::Code::kBusy;
      break;
    default:
      break;
  }
  return Status::Error(code, what + ": " + SystemMessage(err));
}

Status LastError(const std::string& what) {
  return Win32Status(what, GetLastError());
}

Status TooLong(const std::string& path) {
  return Status::Error(Status::Code::kTooLong, path + ": path too long");
}

}  // namespace cartidex

#endif  // _WIN32
