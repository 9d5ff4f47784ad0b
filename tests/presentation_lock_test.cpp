// The shared screen lock of the threaded back ends: the program's leaves are noted, the
// presentation thread's are not, and a thread that lost its display lets go of every hold.
#include "platform/common/presentation_lock.h"

#include <gtest/gtest.h>

#include <thread>

namespace {
// Whether another thread can take the lock now (it would block for ever if it were held).
bool freeForAnotherThread(PresentationLock& lock) {
  bool got = false;
  std::thread taker([&] {
    lock.lock();
    got = true;
    lock.unlock();
  });
  taker.join();
  return got;
}

TEST(PresentationLock, OnlyTheProgramsUnlocksAreNoted) {
  int notes = 0;
  PresentationLock lock([&] { ++notes; });
  lock.lock();
  lock.lock();
  lock.unlockByProgram();
  lock.unlockByProgram();
  lock.lock();
  lock.unlock();
  EXPECT_EQ(notes, 2);
  EXPECT_TRUE(freeForAnotherThread(lock));
}

TEST(PresentationLock, ReleaseHeldLetsGoOfEveryHoldOfTheCallingThread) {
  PresentationLock lock(nullptr);
  std::thread lost([&] {
    for (int i = 0; i < 3; ++i) lock.lock();
    lock.releaseHeld();
    lock.releaseHeld();  // nothing more to let go
  });
  lost.join();
  EXPECT_TRUE(freeForAnotherThread(lock));
}
}  // namespace
