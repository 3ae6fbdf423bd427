#include <windows.h>

#include "tests/run_program.h"

namespace prismet::testing {

namespace {

// Quotes an argument so that the runtime splits the command line back into
// the same words.
std::string quoted(const std::string& argument) {
  std::string out = "\"";
  std::size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"')
      out.append(backslashes * 2 + 1, '\\');
    else
      out.append(backslashes, '\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, '\\');
  return out + "\"";
}

}  // namespace

ProgramRun::ProgramRun(const std::string& program, const std::vector<std::string>& arguments,
                       const std::string& working_folder) {
  std::string command = quoted(program);
  for (const std::string& argument : arguments) command += " " + quoted(argument);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (CreateProcessA(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                     working_folder.empty() ? nullptr : working_folder.c_str(), &startup, &process)) {
    CloseHandle(process.hThread);
    id_ = reinterpret_cast<long long>(process.hProcess);
  }
}

ProgramRun::~ProgramRun() { wait(); }

bool ProgramRun::started() const { return id_ != -1; }

int ProgramRun::wait() {
  if (id_ == -1) return -1;
  HANDLE process = reinterpret_cast<HANDLE>(id_);
  id_ = -1;
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(process, 120000) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process, &code);
  } else {
    // A program that does not end (a dialog shown where none should be)
    // fails the test; it must not outlive it, holding the test run's
    // output open.
    TerminateProcess(process, static_cast<UINT>(-1));
    WaitForSingleObject(process, 10000);
  }
  CloseHandle(process);
  return static_cast<int>(code);
}

int run_program(const std::string& program, const std::vector<std::string>& arguments,
                const std::string& working_folder) {
  ProgramRun run(program, arguments, working_folder);
  return run.wait();
}

}  // namespace prismet::testing
