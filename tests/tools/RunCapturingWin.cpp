#include "RunCapturing.h"

#include <windows.h>

namespace {

// A file the child inherits as one of its standard handles.
HANDLE InheritableFile(const std::filesystem::path& path) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  return CreateFileW(path.wstring().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                     &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The command line the C runtime splits back into these arguments (none of
// the test's arguments holds a quote or ends in a backslash).
std::wstring CommandLine(const std::filesystem::path& program,
                         const std::vector<std::string>& args) {
  std::wstring line = L"\"" + program.wstring() + L"\"";
  for (const std::string& a : args)
    line += L" \"" + std::filesystem::path(a).wstring() + L"\"";
  return line;
}

} // namespace

// Straight through CreateProcess: cmd.exe, which a shell command would go
// through, now and then fails to start a program under Wine.
int RunCapturing(const std::filesystem::path& program, const std::vector<std::string>& args,
                 const std::filesystem::path& stdoutFile, const std::filesystem::path& stderrFile) {
  HANDLE out = InheritableFile(stdoutFile);
  HANDLE err = InheritableFile(stderrFile);
  int status = -1;
  if (out != INVALID_HANDLE_VALUE && err != INVALID_HANDLE_VALUE) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process = {};
    std::wstring line = CommandLine(program, args);
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                       &process)) {
      WaitForSingleObject(process.hProcess, INFINITE);
      DWORD code = 0;
      if (GetExitCodeProcess(process.hProcess, &code)) status = static_cast<int>(code);
      CloseHandle(process.hThread);
      CloseHandle(process.hProcess);
    }
  }
  if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
  if (err != INVALID_HANDLE_VALUE) CloseHandle(err);
  return status;
}
