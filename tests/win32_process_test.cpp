// The Windows process services: the fault filter's rules, console text on standard output,
// and the floating-point set-up from the state Windows starts a process with.
#include <float.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <csignal>
#include <cstdio>
#include <string>

#include "platform/win32/fault_filter.h"
#include "platform/win32/windows_platform.h"
#include "screen/extended/fpu_control.h"

namespace {
int handledSignal = 0;
void recordSignal(int sig) { handledSignal = sig; }

enum class Handler { Default, Ignore, Function };

struct FilterCase {
  DWORD code;
  Handler installed;
  int signal;  // the signal whose handler is consulted (0: none)
  LONG expected;
  int expectedCalled;  // the signal the function handler received (0: not called)
};

class FaultFilterRules : public ::testing::TestWithParam<FilterCase> {
 protected:
  void TearDown() override {
    std::signal(SIGSEGV, SIG_DFL);
    std::signal(SIGFPE, SIG_DFL);
  }
};

TEST_P(FaultFilterRules, ConsultTheSignalHandler) {
  const FilterCase& c = GetParam();
  handledSignal = 0;
  for (int sig : {SIGSEGV, SIGFPE}) {
    if (sig != c.signal) continue;
    if (c.installed == Handler::Ignore) std::signal(sig, SIG_IGN);
    if (c.installed == Handler::Function) std::signal(sig, recordSignal);
  }
  EXCEPTION_RECORD record{};
  record.ExceptionCode = c.code;
  CONTEXT context{};
  EXCEPTION_POINTERS pointers{&record, &context};
  EXPECT_EQ(faultFilter(&pointers), c.expected);
  EXPECT_EQ(handledSignal, c.expectedCalled);
  if (c.installed == Handler::Ignore && c.signal != 0) {
    // The ignore marker stays installed for the next fault.
    EXPECT_EQ(std::signal(c.signal, SIG_DFL), SIG_IGN);
  }
}

constexpr LONG kResume = EXCEPTION_CONTINUE_EXECUTION;
constexpr LONG kPass = EXCEPTION_CONTINUE_SEARCH;
INSTANTIATE_TEST_SUITE_P(
    Codes, FaultFilterRules,
    ::testing::Values(
        FilterCase{EXCEPTION_ACCESS_VIOLATION, Handler::Default, SIGSEGV, kPass, 0},
        FilterCase{EXCEPTION_ACCESS_VIOLATION, Handler::Ignore, SIGSEGV, kResume, 0},
        FilterCase{EXCEPTION_ACCESS_VIOLATION, Handler::Function, SIGSEGV, kResume, SIGSEGV},
        // A SIGFPE handler does not take an access violation.
        FilterCase{EXCEPTION_ACCESS_VIOLATION, Handler::Function, SIGFPE, kPass, 0},
        FilterCase{EXCEPTION_FLT_DENORMAL_OPERAND, Handler::Function, SIGFPE, kResume, SIGFPE},
        FilterCase{EXCEPTION_FLT_DIVIDE_BY_ZERO, Handler::Function, SIGFPE, kResume, SIGFPE},
        FilterCase{EXCEPTION_FLT_INEXACT_RESULT, Handler::Ignore, SIGFPE, kResume, 0},
        FilterCase{EXCEPTION_FLT_INVALID_OPERATION, Handler::Function, SIGFPE, kResume, SIGFPE},
        FilterCase{EXCEPTION_FLT_OVERFLOW, Handler::Default, SIGFPE, kPass, 0},
        FilterCase{EXCEPTION_FLT_UNDERFLOW, Handler::Ignore, SIGFPE, kResume, 0},
        FilterCase{EXCEPTION_INT_DIVIDE_BY_ZERO, Handler::Function, SIGFPE, kResume, SIGFPE},
        FilterCase{EXCEPTION_INT_DIVIDE_BY_ZERO, Handler::Ignore, SIGFPE, kResume, 0},
        // Not one of the filter's faults, whatever is installed.
        FilterCase{EXCEPTION_FLT_STACK_CHECK, Handler::Function, SIGFPE, kPass, 0},
        FilterCase{EXCEPTION_INT_OVERFLOW, Handler::Function, SIGFPE, kPass, 0},
        FilterCase{EXCEPTION_BREAKPOINT, Handler::Function, SIGSEGV, kPass, 0}));

uint16_t x87Word() { return x87ControlWord(); }
void loadX87Word(uint16_t word) { __asm__ volatile("fldcw %0" : : "m"(word)); }

TEST(FaultFilter, IgnoredFloatingPointFaultResetsTheUnit) {
  std::signal(SIGFPE, SIG_IGN);
  loadX87Word(0x0260);  // every exception unmasked, 53-bit precision
  EXCEPTION_RECORD record{};
  record.ExceptionCode = EXCEPTION_FLT_INVALID_OPERATION;
  CONTEXT context{};
  EXCEPTION_POINTERS pointers{&record, &context};
  EXPECT_EQ(faultFilter(&pointers), EXCEPTION_CONTINUE_EXECUTION);
  EXPECT_EQ(x87Word() & 0x3F, 0x3F) << "exceptions masked again";
  std::signal(SIGFPE, SIG_DFL);
  setExtendedPrecision();
}

TEST(FaultFilter, InstalledFilterTakesARaisedFault) {
  installFaultFilter();
  handledSignal = 0;
  std::signal(SIGFPE, recordSignal);
  RaiseException(EXCEPTION_INT_DIVIDE_BY_ZERO, 0, 0, nullptr);
  EXPECT_EQ(handledSignal, SIGFPE);
  SetUnhandledExceptionFilter(nullptr);
}

// Windows starts a process with 53-bit x87 precision; the simulator needs 64 bits.
TEST(FloatingPointSetUp, ExtendedPrecisionAndNearestRoundingFromTheStartingState) {
  for (uint16_t start : {uint16_t{0x027F}, uint16_t{0x0E7F}, uint16_t{0x037F}}) {
    loadX87Word(start);
    _controlfp(_RC_UP, _MCW_RC);
    setExtendedPrecision();
    EXPECT_EQ(x87Word() & 0x0F00, 0x0300) << std::hex << start;
    EXPECT_EQ(_controlfp(0, 0) & _MCW_RC, static_cast<unsigned>(_RC_NEAR)) << std::hex << start;
    volatile long double one = 1.0L;
    volatile long double tiny = 0x1p-60L;
    EXPECT_NE(one + tiny - one, 0.0L);
  }
}

// Runs `write` with standard output redirected to a new file; returns the file's bytes.
template <typename Write>
std::string writtenThroughRedirection(Write write) {
  char dir[MAX_PATH] = {}, path[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, dir);
  GetTempFileNameA(dir, "co2", 0, path);
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  HANDLE saved = GetStdHandle(STD_OUTPUT_HANDLE);
  SetStdHandle(STD_OUTPUT_HANDLE, file);
  write(file);
  SetStdHandle(STD_OUTPUT_HANDLE, saved);
  CloseHandle(file);
  std::string bytes;
  if (FILE* in = std::fopen(path, "rb")) {
    int c;
    while ((c = std::fgetc(in)) != EOF) bytes.push_back(static_cast<char>(c));
    std::fclose(in);
  }
  DeleteFileA(path);
  return bytes;
}

void consoleText(const std::string& text) { windowsConsoleWrite(text.data(), text.size()); }

TEST(ConsoleOutput, RedirectedOutputGetsTheBytesAsTheyStand) {
  const std::string message = "Error setting video mode!\r\n";
  EXPECT_EQ(writtenThroughRedirection([&](HANDLE) { consoleText(message); }), message);
  const std::string large(200000, 'x');  // more than one write
  EXPECT_EQ(writtenThroughRedirection([&](HANDLE) { consoleText(large); }).size(), large.size());
}

TEST(ConsoleOutput, WithoutStandardOutputTheTextIsLost) {
  const std::string bytes = writtenThroughRedirection([](HANDLE file) {
    consoleText("a");
    for (HANDLE none : {HANDLE{nullptr}, INVALID_HANDLE_VALUE}) {
      SetStdHandle(STD_OUTPUT_HANDLE, none);
      consoleText("lost\r\n");
    }
    SetStdHandle(STD_OUTPUT_HANDLE, file);
    consoleText("b");
  });
  EXPECT_EQ(bytes, "ab");
}
}  // namespace
