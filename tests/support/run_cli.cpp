#include "support/test_util.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace cartidex::test {
namespace {

#ifdef _WIN32

// One argument as the C runtime's parser reads it back: quoted, the backslashes before a quote
// (and before the closing quote) doubled.
std::string Quote(const std::string& arg) {
  std::string q = "\"";
  size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    q.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    q.push_back(c);
  }
  q.append(backslashes * 2, '\\');
  return q + "\"";
}

HANDLE InheritableFile(const std::string& path, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, disposition,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

int Run(const std::string& cli, const std::vector<std::string>& args, const std::string& cwd,
        const std::string& out, const std::string& err) {
  const std::string program = NativePath(cli);
  std::string command = Quote(program);
  for (const std::string& a : args) command += " " + Quote(a);
  int status = -1;
  HANDLE files[] = {InheritableFile("NUL", GENERIC_READ, OPEN_EXISTING),
                    InheritableFile(out, GENERIC_WRITE, CREATE_ALWAYS),
                    InheritableFile(err, GENERIC_WRITE, CREATE_ALWAYS)};
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = files[0];
  si.hStdOutput = files[1];
  si.hStdError = files[2];
  PROCESS_INFORMATION pi = {};
  if (std::count(std::begin(files), std::end(files), INVALID_HANDLE_VALUE) != 0) {
    ADD_FAILURE() << "cannot open the capture files of " << program;
  } else if (!CreateProcessA(program.c_str(), command.data(), nullptr, nullptr, TRUE,
                             CREATE_NO_WINDOW, nullptr, cwd.c_str(), &si, &pi)) {
    ADD_FAILURE() << "cannot start " << program << ": error " << GetLastError();
  } else {
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 0;
    if (GetExitCodeProcess(pi.hProcess, &code)) status = static_cast<int>(code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  for (HANDLE h : files) {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
  return status;
}

#else

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// Bound in time, so that a run that hangs fails.
int Run(const std::string& cli, const std::vector<std::string>& args, const std::string& cwd,
        const std::string& out, const std::string& err) {
  std::string command = "cd " + Quote(cwd) + " && timeout 60 " + Quote(cli);
  for (const std::string& a : args) command += " " + Quote(a);
  command += " </dev/null >" + Quote(out) + " 2>" + Quote(err);
  const int raw = std::system(command.c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

#endif

}  // namespace

CliRun RunCli(const std::string& cli, const std::vector<std::string>& args,
              const std::string& cwd) {
  TempDir capture;
  CliRun run;
  run.status = Run(cli, args, cwd, capture.Path("out"), capture.Path("err"));
  run.out = ReadFile(capture.Path("out"));
  run.err = ReadFile(capture.Path("err"));
  return run;
}

}  // namespace cartidex::test
