// Runs a program with this process's standard streams, waits for it, and writes its exit
// status, as the Windows side saw it, to a file: "exit_status STATUS_FILE PROGRAM [ARGS...]".
// Under wine the status a shell sees can be lost after the program has ended (see
// tests/win32/wine_run.sh); the file keeps it. For the wine checks.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {
// The command line after the first two arguments, exactly as this process received it.
const char* programCommandLine() {
  const char* line = GetCommandLineA();
  for (int skip = 0; skip < 2; ++skip) {
    while (*line == ' ' || *line == '\t') ++line;
    bool quoted = false;
    while (*line && (quoted || (*line != ' ' && *line != '\t'))) {
      if (*line == '"') quoted = !quoted;
      ++line;
    }
  }
  while (*line == ' ' || *line == '\t') ++line;
  return line;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: exit_status STATUS_FILE PROGRAM [ARGS...]\n");
    return 2;
  }
  std::string commandLine = programCommandLine();
  // Ending this process (a check's clean-up) ends the program with it.
  HANDLE job = CreateJobObjectA(nullptr, nullptr);
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (job) SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED,
                      nullptr, nullptr, &startup, &process)) {
    std::fprintf(stderr, "exit_status: cannot start %s (error %lu)\n", commandLine.c_str(),
                 GetLastError());
    return 127;
  }
  if (job) AssignProcessToJobObject(job, process.hProcess);
  ResumeThread(process.hThread);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 1;
  GetExitCodeProcess(process.hProcess, &status);

  FILE* file = std::fopen(argv[1], "w");
  if (!file || std::fprintf(file, "%lu\n", status) < 0 || std::fclose(file) != 0) {
    std::fprintf(stderr, "exit_status: cannot write %s\n", argv[1]);
    return 125;
  }
  return static_cast<int>(status);
}
