#include "ReentrantLock.h"

#ifdef _WIN32
#include <windows.h>

static_assert(sizeof(CRITICAL_SECTION) <= 64, "lock storage too small");

static CRITICAL_SECTION* Section(unsigned char* storage) {
  return reinterpret_cast<CRITICAL_SECTION*>(storage);
}

ReentrantLock::ReentrantLock() { InitializeCriticalSection(Section(mStorage)); }
ReentrantLock::~ReentrantLock() { DeleteCriticalSection(Section(mStorage)); }
void ReentrantLock::Lock() { EnterCriticalSection(Section(mStorage)); }
void ReentrantLock::Unlock() { LeaveCriticalSection(Section(mStorage)); }

#else
#include <pthread.h>

static_assert(sizeof(pthread_mutex_t) <= 64, "lock storage too small");

static pthread_mutex_t* Mutex(unsigned char* storage) {
  return reinterpret_cast<pthread_mutex_t*>(storage);
}

ReentrantLock::ReentrantLock() {
  pthread_mutexattr_t attr;
  pthread_mutexattr_init(&attr);
  pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
  pthread_mutex_init(Mutex(mStorage), &attr);
  pthread_mutexattr_destroy(&attr);
}
ReentrantLock::~ReentrantLock() { pthread_mutex_destroy(Mutex(mStorage)); }
void ReentrantLock::Lock() { pthread_mutex_lock(Mutex(mStorage)); }
void ReentrantLock::Unlock() { pthread_mutex_unlock(Mutex(mStorage)); }
#endif
