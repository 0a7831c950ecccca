#pragma once

#include <cctype>
#include <cstring>

// Whether an image's name says it is a PNG (extension "png" in any case):
// only those are looked up among the module's "PNG" resources.
inline bool IsPngResourceName(const char* name) {
  if (!name) return false;
  const char* dot = std::strrchr(name, '.');
  if (!dot) return false;
  const char* ext = dot + 1;
  static const char kPng[] = "png";
  for (int i = 0; i < 3; ++i)
    if (std::tolower(static_cast<unsigned char>(ext[i])) != kPng[i]) return false;
  return ext[3] == '\0';
}
