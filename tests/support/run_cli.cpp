#include "support/run_cli.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#endif

#include <gtest/gtest.h>

#include <cstdlib>

#include "support/test_util.h"

namespace cartidex::test {

namespace {

#ifdef _WIN32

// One argument as the C runtime's command-line parser reads it back: quoted, with the
// backslashes before a quote (and before the closing quote) doubled.
std::string QuoteArgument(const std::string& arg) {
  std::string q = "\"";
  size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') {
      q.append(backslashes * 2 + 1, '\\');
    } else {
      q.append(backslashes, '\\');
    }
    backslashes = 0;
    q.push_back(c);
  }
  q.append(backslashes * 2, '\\');
  return q + "\"";
}

// A file handle that the child process inherits.
HANDLE InheritableFile(const std::string& path, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, disposition,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

#else

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) {
    if (c == '\'') {
      q += "'\\''";
    } else {
      q += c;
    }
  }
  return q + "'";
}

#endif

}  // namespace

#ifdef _WIN32

CliRun RunCli(const std::string& cli, const std::vector<std::string>& args,
              const std::string& cwd) {
  TempDir capture;
  std::string program = cli;
  for (char& c : program) {
    if (c == '/') c = '\\';
  }
  std::string command = QuoteArgument(program);
  for (const std::string& a : args) command += " " + QuoteArgument(a);
  CliRun run;
  HANDLE in = InheritableFile("NUL", GENERIC_READ, OPEN_EXISTING);
  HANDLE out = InheritableFile(capture.Path("out"), GENERIC_WRITE, CREATE_ALWAYS);
  HANDLE err = InheritableFile(capture.Path("err"), GENERIC_WRITE, CREATE_ALWAYS);
  if (in != INVALID_HANDLE_VALUE && out != INVALID_HANDLE_VALUE && err != INVALID_HANDLE_VALUE) {
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = in;
    si.hStdOutput = out;
    si.hStdError = err;
    PROCESS_INFORMATION pi = {};
    if (CreateProcessA(program.c_str(), command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                       nullptr, cwd.c_str(), &si, &pi)) {
      WaitForSingleObject(pi.hProcess, INFINITE);
      DWORD code = 0;
      if (GetExitCodeProcess(pi.hProcess, &code)) run.status = static_cast<int>(code);
      CloseHandle(pi.hThread);
      CloseHandle(pi.hProcess);
    } else {
      ADD_FAILURE() << "cannot start " << program << ": error " << GetLastError();
    }
  } else {
    ADD_FAILURE() << "cannot open the capture files of " << program;
  }
  for (HANDLE h : {in, out, err}) {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
  run.out = ReadFile(capture.Path("out"));
  run.err = ReadFile(capture.Path("err"));
  return run;
}

#else

CliRun RunCli(const std::string& cli, const std::vector<std::string>& args,
              const std::string& cwd) {
  TempDir capture;
  std::string command = "cd " + Quote(cwd) + " && " + Quote(cli);
  for (const std::string& a : args) command += " " + Quote(a);
  command += " </dev/null >" + Quote(capture.Path("out")) + " 2>" + Quote(capture.Path("err"));
  CliRun run;
  int raw = std::system(command.c_str());
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.out = ReadFile(capture.Path("out"));
  run.err = ReadFile(capture.Path("err"));
  return run;
}

#endif

}  // namespace cartidex::test
