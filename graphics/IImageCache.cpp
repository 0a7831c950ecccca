#include "IImageCache.h"

#include "ReentrantLock.h"

#include <memory>
#include <utility>
#include <vector>

namespace {

struct Cache {
  ReentrantLock lock;
  std::vector<std::pair<int, std::unique_ptr<LICE_IBitmap>>> entries;

  LICE_IBitmap* FindLocked(int resourceId) const {
    for (const auto& entry : entries)
      if (entry.first == resourceId) return entry.second.get();
    return nullptr;
  }
};

Cache& TheCache() {
  static Cache cache;
  return cache;
}

} // namespace

LICE_IBitmap* IImageCache::Find(int resourceId) {
  Cache& cache = TheCache();
  ScopedLock guard(cache.lock);
  return cache.FindLocked(resourceId);
}

LICE_IBitmap* IImageCache::Add(int resourceId, LICE_IBitmap* raster) {
  if (!raster) return Find(resourceId);
  std::unique_ptr<LICE_IBitmap> owned(raster);
  Cache& cache = TheCache();
  ScopedLock guard(cache.lock);
  if (LICE_IBitmap* existing = cache.FindLocked(resourceId)) return existing;
  cache.entries.emplace_back(resourceId, std::move(owned));
  return raster;
}

int IImageCache::Size() {
  Cache& cache = TheCache();
  ScopedLock guard(cache.lock);
  return static_cast<int>(cache.entries.size());
}
