#pragma once

#include <string>

// A shared library opened the way a host opens a plug-in module: dlopen on
// Linux, LoadLibrary on Windows, symbols looked up by their exported names.
// The library stays open until Close or destruction; nothing obtained from it
// may be used after that.
class DynamicLibrary {
public:
  DynamicLibrary() = default;
  ~DynamicLibrary();
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;

  // Opens the library at path (closing a previous one). False on failure,
  // with the reason in Error().
  bool Open(const std::string& path);
  void Close();
  bool IsOpen() const { return mHandle != nullptr; }
  // The platform's handle (dlopen's, or the HMODULE), null when closed.
  void* Handle() const { return mHandle; }
  // Why the last Open failed; empty after a successful one.
  const std::string& Error() const { return mError; }

  // The exported symbol of that name, or null.
  void* FindSymbol(const char* name) const;

private:
  void* mHandle = nullptr;
  std::string mError;
};
