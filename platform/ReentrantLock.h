#pragma once

// The instance lock and the process-wide locks: re-entrant, so a thread that
// holds it may take it again (framework calls nest freely). A critical section
// on Windows, a recursive pthread mutex elsewhere.
class ReentrantLock {
public:
  ReentrantLock();
  ~ReentrantLock();
  ReentrantLock(const ReentrantLock&) = delete;
  ReentrantLock& operator=(const ReentrantLock&) = delete;

  void Lock();
  void Unlock();

private:
  // Opaque storage so portable code never sees the OS headers; large enough
  // for a CRITICAL_SECTION (40 bytes) and a pthread_mutex_t (40 bytes).
  alignas(8) unsigned char mStorage[64];
};

// Holds a ReentrantLock for the lifetime of the guard.
class ScopedLock {
public:
  explicit ScopedLock(ReentrantLock& lock) : mLock(lock) { mLock.Lock(); }
  ~ScopedLock() { mLock.Unlock(); }
  ScopedLock(const ScopedLock&) = delete;
  ScopedLock& operator=(const ScopedLock&) = delete;

private:
  ReentrantLock& mLock;
};
