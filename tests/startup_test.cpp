// The real executable: without any display it prints exactly one line and ends with
// status 0; with the Null back end it opens its screen and comes to rest waiting for a key.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

namespace {
std::string executable() {
  const char* dir = std::getenv("CO2SIM_BUILD_DIR");
  return std::string(dir ? dir : ".") + "/co2sim";
}

struct Child {
  pid_t pid = -1;
  int output = -1;
};

// Starts co2sim with a clean display environment plus `extra` (NAME=value or empty).
Child launch(const std::string& extra) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return {};
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(pipeFds[1], STDOUT_FILENO);
    close(pipeFds[0]);
    close(pipeFds[1]);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("QXGFX");
    if (!extra.empty()) putenv(const_cast<char*>(extra.c_str()));
    const std::string path = executable();
    execl(path.c_str(), path.c_str(), "ignored-argument", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipeFds[1]);
  return Child{pid, pipeFds[0]};
}

std::string readAll(int fd) {
  std::string text;
  char buffer[256];
  for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;)
    text.append(buffer, static_cast<size_t>(n));
  close(fd);
  return text;
}

TEST(Startup, NoDisplayPrintsOneLineAndExitsZero) {
  Child child = launch("");
  ASSERT_GT(child.pid, 0);
  const std::string output = readAll(child.output);
  int status = 0;
  ASSERT_EQ(waitpid(child.pid, &status, 0), child.pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(output, "Error setting video mode!\n");
}

// The system call the process's main thread is blocked in ("202 0x... ..." for a futex on
// x86-64), or "" when it is running or gone.
std::string blockedCall(pid_t pid) {
  std::ifstream file("/proc/" + std::to_string(pid) + "/syscall");
  std::string line;
  std::getline(file, line);
  return line == "running" ? "" : line;
}

TEST(Startup, NullBackendOpensTheScreenAndWaitsForAKey) {
  Child child = launch("QXGFX=null");
  ASSERT_GT(child.pid, 0);
  // The introduction waits for a key on the key queue's condition variable: the main thread
  // comes to rest in one futex wait, the same call with the same word in every look for
  // 200 ms, while the process lives. A slow start only makes this take longer.
  const std::string futex = std::to_string(SYS_futex) + " ";
  std::string resting;
  int sameLooks = 0;
  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (sameLooks < 20 && std::chrono::steady_clock::now() < deadline) {
    ASSERT_EQ(waitpid(child.pid, &status, WNOHANG), 0) << "the simulator ended by itself";
    const std::string call = blockedCall(child.pid);
    const std::string word = call.substr(0, call.find(' ', futex.size()));
    sameLooks = call.rfind(futex, 0) == 0 && word == resting ? sameLooks + 1 : 0;
    resting = call.rfind(futex, 0) == 0 ? word : "";
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(sameLooks, 20) << "the simulator never came to rest in a key wait; last call: "
                           << resting;
  EXPECT_EQ(waitpid(child.pid, &status, WNOHANG), 0) << "the simulator ended by itself";
  kill(child.pid, SIGKILL);
  waitpid(child.pid, &status, 0);
  EXPECT_EQ(readAll(child.output), "");  // nothing is printed with a screen
}
}  // namespace
