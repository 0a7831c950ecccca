// The factory's life within one load of the module. Its own program: no
// other test may hold a factory reference meanwhile.
#include "Vst3Module.h"

#include <gtest/gtest.h>

using namespace Steinberg;

namespace {

using GetFactory = IPluginFactory*(PLUGIN_API*)();

uint32 References(IPluginFactory* factory) {
  uint32 count = factory->addRef();
  factory->release();
  return count - 1;
}

TEST(Vst3FactoryLifetime, LastReleaseDestroysTheFactoryAndTheNextCallBuildsANewOne) {
  Vst3Module module(TOLVEN_VST3_MODULE_PATH);
  ASSERT_TRUE(module.IsLoaded()) << module.Error();
  auto get = reinterpret_cast<GetFactory>(module.FindSymbol("GetPluginFactory"));
  ASSERT_NE(nullptr, get);

  IPluginFactory* first = module.Factory();
  EXPECT_EQ(1u, References(first));
  IPluginFactory* second = get();
  EXPECT_EQ(first, second);
  EXPECT_EQ(2u, References(first));
  second->release();
  EXPECT_EQ(1u, References(first));

  // Down to zero: the module must forget the destroyed factory, otherwise
  // the next call hands out freed memory (the sanitizer build sees that).
  module.ReleaseFactory();
  IPluginFactory* fresh = get();
  ASSERT_NE(nullptr, fresh);
  EXPECT_EQ(1u, References(fresh));
  EXPECT_EQ(1, fresh->countClasses());
  PFactoryInfo info;
  ASSERT_EQ(kResultOk, fresh->getFactoryInfo(&info));
  EXPECT_STREQ("Oskavarine", info.vendor);
  fresh->release();
}

TEST(Vst3FactoryLifetime, InstancesOutliveTheFactory) {
  Vst3Module module(TOLVEN_VST3_MODULE_PATH);
  ASSERT_TRUE(module.IsLoaded()) << module.Error();
  PClassInfo info;
  ASSERT_EQ(kResultOk, module.Factory()->getClassInfo(0, &info));
  void* object = nullptr;
  ASSERT_EQ(kResultOk, module.Factory()->createInstance(info.cid, FUnknown::iid, &object));
  module.ReleaseFactory();
  auto* unknown = static_cast<FUnknown*>(object);
  // Still a working object after its factory is gone.
  EXPECT_EQ(2u, unknown->addRef());
  EXPECT_EQ(1u, unknown->release());
  EXPECT_EQ(0u, unknown->release());
}

} // namespace
