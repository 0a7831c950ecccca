#include "ReentrantLock.h"

#include <gtest/gtest.h>

#include <thread>

TEST(ReentrantLock, NestsAndSerialisesThreads) {
  ReentrantLock lock;
  long counter = 0;
  auto work = [&] {
    for (int i = 0; i < 20000; ++i) {
      ScopedLock guard(lock);
      ScopedLock nested(lock); // a plain mutex would deadlock here
      counter = counter + 1;
    }
  };
  std::thread a(work), b(work);
  a.join();
  b.join();
  EXPECT_EQ(counter, 40000);
}
