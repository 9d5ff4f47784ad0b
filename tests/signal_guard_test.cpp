// The termination guard shared by the SDL and terminal back ends: which signal is recorded,
// the wake-up byte (through the wake pipe), the broken-pipe option and the actions put back.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/posix/signal_guard.h"
#include "platform/posix/wake_pipe.h"

namespace {
void countingHandler(int) {}

// Installs a known action on each signal the guard touches and puts the originals back.
class SignalGuardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (size_t i = 0; i < std::size(kSignals); ++i) {
      struct sigaction action {};
      action.sa_handler = countingHandler;
      sigemptyset(&action.sa_mask);
      sigaction(kSignals[i], &action, &saved_[i]);
    }
    ASSERT_EQ(pipe2(wake_, O_NONBLOCK | O_CLOEXEC), 0);
  }
  void TearDown() override {
    removeSignalGuard();
    for (size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &saved_[i], nullptr);
    close(wake_[0]);
    close(wake_[1]);
  }
  static void (*handlerOf(int signalNumber))(int) {
    struct sigaction now {};
    sigaction(signalNumber, nullptr, &now);
    return now.sa_handler;
  }
  int wakeBytes() {
    char buffer[16];
    const ssize_t n = read(wake_[0], buffer, sizeof buffer);
    return n > 0 ? static_cast<int>(n) : 0;
  }

  static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};
  struct sigaction saved_[std::size(kSignals)]{};
  int wake_[2] = {-1, -1};
};

TEST_F(SignalGuardTest, TheFirstTerminationSignalIsRecordedAndEachOneWakes) {
  struct Case {
    std::vector<int> raised;
    int recorded;
  };
  const Case cases[] = {
      {{}, 0},
      {{SIGINT}, SIGINT},
      {{SIGTERM}, SIGTERM},
      {{SIGHUP}, SIGHUP},
      {{SIGTERM, SIGINT}, SIGTERM},
      {{SIGHUP, SIGTERM, SIGINT}, SIGHUP},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.raised.size());
    installSignalGuard(wake_[1], false);
    for (const int sig : c.raised) raise(sig);
    EXPECT_EQ(pendingSignal(), c.recorded);
    EXPECT_EQ(wakeBytes(), static_cast<int>(c.raised.size()));
    removeSignalGuard();
  }
}

TEST_F(SignalGuardTest, RemovingPutsThePreviousActionsBack) {
  installSignalGuard(-1, true);
  for (const int sig : {SIGINT, SIGTERM, SIGHUP}) EXPECT_NE(handlerOf(sig), countingHandler) << sig;
  EXPECT_EQ(handlerOf(SIGPIPE), SIG_IGN);
  removeSignalGuard();
  for (const int sig : kSignals) EXPECT_EQ(handlerOf(sig), countingHandler) << sig;
  // A second removal changes nothing.
  removeSignalGuard();
  EXPECT_EQ(handlerOf(SIGINT), countingHandler);
}

TEST_F(SignalGuardTest, ASignalStartedIgnoredStaysIgnored) {
  signal(SIGHUP, SIG_IGN);
  installSignalGuard(wake_[1], false);
  raise(SIGHUP);
  EXPECT_EQ(pendingSignal(), 0);
  EXPECT_EQ(handlerOf(SIGHUP), SIG_IGN);
  raise(SIGINT);
  EXPECT_EQ(pendingSignal(), SIGINT);
}

TEST(WakePipe, ASignalWakesThePipesReadEndUntilDrained) {
  WakePipe pipe;
  pipe.wake();  // closed: nothing happens
  ASSERT_TRUE(pipe.open());
  const int readEnd = pipe.readEnd();
  ASSERT_TRUE(pipe.open());  // an open pipe is kept
  EXPECT_EQ(pipe.readEnd(), readEnd);
  pollfd ready{readEnd, POLLIN, 0};
  EXPECT_EQ(poll(&ready, 1, 0), 0);
  struct sigaction before {};
  sigaction(SIGTERM, nullptr, &before);
  installSignalGuard(pipe.writeEnd(), false);
  raise(SIGTERM);
  removeSignalGuard();
  sigaction(SIGTERM, &before, nullptr);
  pipe.wake();
  EXPECT_EQ(poll(&ready, 1, 0), 1);
  pipe.drain();
  EXPECT_EQ(poll(&ready, 1, 0), 0);
  pipe.close();
  EXPECT_EQ(pipe.readEnd(), -1);
  EXPECT_EQ(pipe.writeEnd(), -1);
}

TEST_F(SignalGuardTest, AfterRemovalNothingMoreIsWritten) {
  installSignalGuard(wake_[1], false);
  removeSignalGuard();
  installSignalGuard(-1, false);
  raise(SIGTERM);
  EXPECT_EQ(pendingSignal(), SIGTERM);
  EXPECT_EQ(wakeBytes(), 0);
}

// A write to a connection whose other end has gone fails instead of ending the process while
// the guard ignores broken pipes (a display lost under a write), and only then.
TEST_F(SignalGuardTest, BrokenPipesAreIgnoredOnlyWhenAsked) {
  for (const bool ignore : {true, false}) {
    SCOPED_TRACE(ignore);
    installSignalGuard(-1, ignore);
    EXPECT_EQ(handlerOf(SIGPIPE), ignore ? SIG_IGN : countingHandler);
    if (ignore) {
      int ends[2];
      ASSERT_EQ(pipe(ends), 0);
      close(ends[0]);
      const char byte = 1;
      errno = 0;
      EXPECT_EQ(write(ends[1], &byte, 1), -1);
      EXPECT_EQ(errno, EPIPE);
      close(ends[1]);
    }
    removeSignalGuard();
    EXPECT_EQ(handlerOf(SIGPIPE), countingHandler);
  }
}
}  // namespace
