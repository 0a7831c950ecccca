#include "IFontCache.h"

#include "LICE_CachedFont.h"
#include "ReentrantLock.h"

#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace {

// The font owns its system font handle and prefers the system's own text
// drawing where that is usable.
constexpr int kFontFlags = LICE_FONT_OWNS_HANDLE | LICE_FONT_PREFER_NATIVE;

struct Entry {
  int size;
  int orientation;
  int style;
  char face[ITextStyle::kFaceSize];
  std::unique_ptr<LICE_CachedFont> font;

  bool Matches(const ITextStyle& s) const {
    return size == s.size && orientation == s.orientation && style == s.style &&
           std::strncmp(face, s.face, ITextStyle::kFaceSize) == 0;
  }
};

struct Cache {
  ReentrantLock lock;
  std::vector<Entry> entries;

  LICE_IFont* FindLocked(const ITextStyle& style) const {
    for (const Entry& entry : entries)
      if (entry.Matches(style)) return entry.font.get();
    return nullptr;
  }
};

Cache& TheCache() {
  static Cache cache;
  return cache;
}

// The system's quality codes for the style's quality 0..3.
int SystemQuality(int quality) {
  static const int kCodes[] = {0, 3, 4, 5};
  return quality >= 0 && quality <= 3 ? kCodes[quality] : 0;
}

LICE_CachedFont* MakeFont(const ITextStyle& style) {
  char face[ITextStyle::kFaceSize];
  std::memcpy(face, style.face, sizeof(face));
  face[sizeof(face) - 1] = '\0';
  LICE_FontHandle handle = LICE_CreateSystemFont(
      face, style.size, style.style == ITextStyle::StyleBold ? 700 : 400,
      style.style == ITextStyle::StyleItalic, style.orientation * 10, SystemQuality(style.quality));
  if (!handle) return nullptr;
  LICE_CachedFont* font = new (std::nothrow) LICE_CachedFont();
  if (!font) {
    LICE_DestroySystemFont(handle);
    return nullptr;
  }
  font->SetSystemFont(handle, kFontFlags);
  return font;
}

} // namespace

LICE_IFont* IFontCache::Get(const ITextStyle& style) {
  Cache& cache = TheCache();
  {
    ScopedLock guard(cache.lock);
    if (LICE_IFont* font = cache.FindLocked(style)) return font;
  }
  std::unique_ptr<LICE_CachedFont> font(MakeFont(style));
  if (!font) return nullptr;
  ScopedLock guard(cache.lock);
  // Another editor may have made the same font meanwhile: keep the first.
  if (LICE_IFont* existing = cache.FindLocked(style)) return existing;
  Entry entry;
  entry.size = style.size;
  entry.orientation = style.orientation;
  entry.style = style.style;
  std::memcpy(entry.face, style.face, sizeof(entry.face));
  entry.face[sizeof(entry.face) - 1] = '\0';
  entry.font = std::move(font);
  LICE_IFont* result = entry.font.get();
  cache.entries.push_back(std::move(entry));
  return result;
}

int IFontCache::Size() {
  Cache& cache = TheCache();
  ScopedLock guard(cache.lock);
  return static_cast<int>(cache.entries.size());
}
