// The plug-in factory on its own, with stand-in classes.
#include "CPluginFactory.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace Steinberg;

namespace {

int gCreated = 0;
int gDestroyed = 0;

// An object that answers FUnknown only and counts its life.
class Thing : public FUnknown {
public:
  Thing() { ++gCreated; }
  virtual ~Thing() { ++gDestroyed; }
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override {
    if (FUnknownPrivate::iidEqual(iid, FUnknown::iid)) {
      addRef();
      *obj = this;
      return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
  }
  uint32 PLUGIN_API addRef() override { return static_cast<uint32>(++mRefs); }
  uint32 PLUGIN_API release() override {
    if (--mRefs == 0) {
      delete this;
      return 0;
    }
    return static_cast<uint32>(mRefs);
  }

private:
  int mRefs = 1;
};

FUnknown* MakeThing(void* context) {
  if (context) *static_cast<int*>(context) += 1;
  return new Thing;
}
FUnknown* MakeNothing(void*) {
  return nullptr;
}

const TUID kThingId = INLINE_UID(1, 2, 3, 4);
const TUID kNothingId = INLINE_UID(5, 6, 7, 8);

PClassInfo2 Info(const TUID cid, const char* name) {
  return PClassInfo2(cid, PClassInfo::kManyInstances, "Service", name, 0, "Sub|Cat", "Vnd", "2.3.4",
                     "SDK x");
}

TEST(Vst3PluginFactory, CreateInstanceHandsOverTheFirstReference) {
  CPluginFactory* slot = nullptr;
  slot = new CPluginFactory(PFactoryInfo("V", "", "", 0), &slot);
  PClassInfo2 a = Info(kThingId, "Thing");
  PClassInfo2 b = Info(kNothingId, "Nothing");
  int calls = 0;
  ASSERT_TRUE(slot->registerClass(&a, MakeThing, &calls));
  ASSERT_TRUE(slot->registerClass(&b, MakeNothing));
  EXPECT_FALSE(slot->registerClass(nullptr, MakeThing));
  EXPECT_FALSE(slot->registerClass(&a, nullptr));
  EXPECT_EQ(2, slot->countClasses());
  gCreated = gDestroyed = 0;

  void* obj = nullptr;
  ASSERT_EQ(kResultOk, slot->createInstance(kThingId, FUnknown::iid, &obj));
  EXPECT_EQ(1, calls); // the registered context reached the create function
  auto* thing = static_cast<FUnknown*>(obj);
  EXPECT_EQ(2u, thing->addRef()); // exactly one reference was handed over
  thing->release();
  thing->release();
  EXPECT_EQ(1, gDestroyed);

  // An interface the object lacks: created, refused, destroyed.
  obj = &obj;
  EXPECT_EQ(kNoInterface, slot->createInstance(kThingId, Vst::IComponent::iid, &obj));
  EXPECT_EQ(nullptr, obj);
  EXPECT_EQ(2, gCreated);
  EXPECT_EQ(2, gDestroyed);

  obj = &obj;
  EXPECT_NE(kResultOk, slot->createInstance(kNothingId, FUnknown::iid, &obj));
  EXPECT_EQ(nullptr, obj);
  const TUID unknown = INLINE_UID(9, 9, 9, 9);
  EXPECT_EQ(kNoInterface, slot->createInstance(unknown, FUnknown::iid, &obj));
  EXPECT_NE(kResultOk, slot->createInstance(nullptr, FUnknown::iid, &obj));
  EXPECT_NE(kResultOk, slot->createInstance(kThingId, nullptr, &obj));
  EXPECT_NE(kResultOk, slot->createInstance(kThingId, FUnknown::iid, nullptr));
  EXPECT_EQ(2, gCreated);
  slot->release();
}

TEST(Vst3PluginFactory, OnlyTheFactoryInItsSlotClearsIt) {
  CPluginFactory* slot = nullptr;
  // A factory whose slot was taken over by a newer one leaves it alone.
  CPluginFactory* older = new CPluginFactory(PFactoryInfo("V", "", "", 0), &slot);
  slot = new CPluginFactory(PFactoryInfo("V", "", "", 0), &slot);
  CPluginFactory* newer = slot;
  older->release();
  EXPECT_EQ(newer, slot);
  newer->release();
  EXPECT_EQ(nullptr, slot);
}

} // namespace
