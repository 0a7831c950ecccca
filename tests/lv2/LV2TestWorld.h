#pragma once

// A host's view of the installed bundle: an LV2 path holding only a link to
// the built TOLVEN.lv2 (and the system's LV2 specifications), discovered by
// lilv as a host discovers it, and the URID map a host supplies.

#include <lilv/lilv.h>
#include <lv2/urid/urid.h>

#include <filesystem>
#include <string>
#include <vector>

namespace lv2test {

inline constexpr char kPluginUri[] = "https://oskavarine.example/lv2/tolven";
inline constexpr char kStateKeyUri[] = "https://oskavarine.example/lv2/tolven#parameterState";

class LV2TestWorld {
public:
  LV2TestWorld();
  ~LV2TestWorld();
  LV2TestWorld(const LV2TestWorld&) = delete;
  LV2TestWorld& operator=(const LV2TestWorld&) = delete;

  LilvWorld* World() const { return mWorld; }
  // TOLVEN as lilv found it through LV2_PATH; null when it was not found.
  const LilvPlugin* Plugin() const { return mPlugin; }
  // The folder the host searched.
  const std::filesystem::path& SearchFolder() const { return mFolder; }

  LV2_URID Map(const char* uri);
  const char* Unmap(LV2_URID urid) const;
  LV2_URID_Map* MapFeatureData() { return &mMap; }
  LV2_URID_Unmap* UnmapFeatureData() { return &mUnmap; }

  // A node for uri, owned by the world object (freed with it).
  const LilvNode* Node(const char* uri);

private:
  std::filesystem::path mFolder;
  LilvWorld* mWorld = nullptr;
  const LilvPlugin* mPlugin = nullptr;
  std::vector<std::string> mUris; // URID n is mUris[n - 1]
  std::vector<LilvNode*> mNodes;
  LV2_URID_Map mMap{};
  LV2_URID_Unmap mUnmap{};
};

} // namespace lv2test
