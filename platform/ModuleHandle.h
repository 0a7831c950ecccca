#pragma once

#include <atomic>

// The handle of the module this code is linked into (an HMODULE on Windows),
// stored by the module's entry when the system loads it so that the editor can
// find the module's own resources later. Null until stored; Linux modules
// store nothing.
class ModuleHandle {
public:
  static void Set(void* handle) { Storage().store(handle, std::memory_order_release); }
  static void* Get() { return Storage().load(std::memory_order_acquire); }

private:
  static std::atomic<void*>& Storage() {
    static std::atomic<void*> handle{nullptr};
    return handle;
  }
};
