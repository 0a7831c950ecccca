#include "LV2TestWorld.h"

#include <cstdlib>
#include <random>

#ifndef TOLVEN_LV2_BUNDLE
#error "TOLVEN_LV2_BUNDLE must name the built bundle folder"
#endif

namespace lv2test {

namespace fs = std::filesystem;

LV2TestWorld::LV2TestWorld() {
  std::random_device random;
  mFolder = fs::temp_directory_path() / ("tolven-lv2-path-" + std::to_string(random()));
  fs::create_directories(mFolder);
  fs::create_directory_symlink(TOLVEN_LV2_BUNDLE, mFolder / "TOLVEN.lv2");
  const std::string path = mFolder.string() + ":/usr/lib/lv2";
  setenv("LV2_PATH", path.c_str(), 1);

  mMap.handle = this;
  mMap.map = [](LV2_URID_Map_Handle handle, const char* uri) {
    return static_cast<LV2TestWorld*>(handle)->Map(uri);
  };
  mUnmap.handle = this;
  mUnmap.unmap = [](LV2_URID_Unmap_Handle handle, LV2_URID urid) {
    return static_cast<LV2TestWorld*>(handle)->Unmap(urid);
  };

  mWorld = lilv_world_new();
  lilv_world_load_all(mWorld);
  LilvNode* uri = lilv_new_uri(mWorld, kPluginUri);
  mPlugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(mWorld), uri);
  lilv_node_free(uri);
}

LV2TestWorld::~LV2TestWorld() {
  for (LilvNode* n : mNodes)
    lilv_node_free(n);
  lilv_world_free(mWorld);
  std::error_code ignored;
  fs::remove_all(mFolder, ignored);
}

LV2_URID LV2TestWorld::Map(const char* uri) {
  for (std::size_t i = 0; i < mUris.size(); ++i)
    if (mUris[i] == uri) return static_cast<LV2_URID>(i + 1);
  mUris.emplace_back(uri);
  return static_cast<LV2_URID>(mUris.size());
}

const char* LV2TestWorld::Unmap(LV2_URID urid) const {
  return urid >= 1 && urid <= mUris.size() ? mUris[urid - 1].c_str() : nullptr;
}

const LilvNode* LV2TestWorld::Node(const char* uri) {
  mNodes.push_back(lilv_new_uri(mWorld, uri));
  return mNodes.back();
}

} // namespace lv2test
