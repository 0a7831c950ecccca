// The module entry and the factory, seen from a host.
#include "Vst3TestSupport.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstmessage.h"

namespace vst3test {
namespace {

// {F2AEE70D-00DE-4F4E-4F73-6B61544C5631}, in the platform's TUID layout.
const TUID kClassId = INLINE_UID(0xF2AEE70D, 0x00DE4F4E, 0x4F736B61, 0x544C5631);

using GetFactory = IPluginFactory*(PLUGIN_API*)();

TEST(Vst3Factory, ModuleLoadsAndExportsItsEntryPoints) {
  ASSERT_TRUE(Module().IsLoaded()) << Module().Error();
  EXPECT_NE(nullptr, Module().FindSymbol("GetPluginFactory"));
#ifdef _WIN32
  EXPECT_NE(nullptr, Module().FindSymbol("InitDll"));
  EXPECT_NE(nullptr, Module().FindSymbol("ExitDll"));
#else
  EXPECT_NE(nullptr, Module().FindSymbol("ModuleEntry"));
  EXPECT_NE(nullptr, Module().FindSymbol("ModuleExit"));
#endif
  // Nothing of the binding leaks out under its own name.
  EXPECT_EQ(nullptr, Module().FindSymbol("CreateInstance"));
  EXPECT_EQ(nullptr, Module().FindSymbol("gPluginFactory"));
}

TEST(Vst3Factory, DescribesTheVendorAndTheOneClass) {
  IPluginFactory* factory = Module().Factory();
  ASSERT_NE(nullptr, factory);
  PFactoryInfo info;
  ASSERT_EQ(kResultOk, factory->getFactoryInfo(&info));
  EXPECT_STREQ("Oskavarine", info.vendor);
  EXPECT_EQ(16, info.flags);
  EXPECT_NE('\0', info.url[0]);
  EXPECT_NE('\0', info.email[0]);
  // Fixed fields are NUL-padded to their end.
  for (size_t i = std::strlen(info.vendor); i < sizeof info.vendor; ++i)
    ASSERT_EQ('\0', info.vendor[i]);

  ASSERT_EQ(1, factory->countClasses());
  PClassInfo ci;
  ASSERT_EQ(kResultOk, factory->getClassInfo(0, &ci));
  EXPECT_EQ(0, std::memcmp(ci.cid, kClassId, sizeof(TUID)));
  EXPECT_EQ(2147483647, ci.cardinality);
  EXPECT_STREQ("Audio Module Class", ci.category);
  EXPECT_STREQ("TOLVEN", ci.name);
  EXPECT_NE(kResultOk, factory->getClassInfo(1, &ci));
  EXPECT_NE(kResultOk, factory->getClassInfo(-1, &ci));
  EXPECT_NE(kResultOk, factory->getClassInfo(0, nullptr));
}

TEST(Vst3Factory, ClassIdIsTheDocumentedGuid) {
  PClassInfo ci;
  ASSERT_EQ(kResultOk, Module().Factory()->getClassInfo(0, &ci));
  char text[33] = {};
  FUID::fromTUID(ci.cid).toString(text);
  EXPECT_STREQ("F2AEE70D00DE4F4E4F736B61544C5631", text);
#ifdef _WIN32
  // COM byte order: the first word little-endian, then two little-endian
  // halves, then "OskaTLV1" as it reads.
  const unsigned char expected[16] = {0x0D, 0xE7, 0xAE, 0xF2, 0xDE, 0x00, 0x4E, 0x4F,
                                      'O',  's',  'k',  'a',  'T',  'L',  'V',  '1'};
  EXPECT_EQ(0, std::memcmp(ci.cid, expected, 16));
#endif
}

TEST(Vst3Factory, ClassInfo2AndUnicodeInfoAgree) {
  Held<IPluginFactory2> f2(Query<IPluginFactory2>(Module().Factory()));
  Held<IPluginFactory3> f3(Query<IPluginFactory3>(Module().Factory()));
  ASSERT_TRUE(f2);
  ASSERT_TRUE(f3);
  PClassInfo2 ci2;
  ASSERT_EQ(kResultOk, f2->getClassInfo2(0, &ci2));
  EXPECT_EQ(0, std::memcmp(ci2.cid, kClassId, sizeof(TUID)));
  EXPECT_EQ(2147483647, ci2.cardinality);
  EXPECT_STREQ("Audio Module Class", ci2.category);
  EXPECT_STREQ("TOLVEN", ci2.name);
  EXPECT_EQ(2u, ci2.classFlags);
  EXPECT_STREQ("Fx|EQ", ci2.subCategories);
  EXPECT_STREQ("", ci2.vendor);
  EXPECT_STREQ("1.0.0", ci2.version);
  EXPECT_STREQ("VST 3.6.12", ci2.sdkVersion);
  EXPECT_NE(kResultOk, f2->getClassInfo2(1, &ci2));

  PClassInfoW ciw;
  ASSERT_EQ(kResultOk, f3->getClassInfoUnicode(0, &ciw));
  EXPECT_EQ(0, std::memcmp(ciw.cid, kClassId, sizeof(TUID)));
  EXPECT_EQ(2147483647, ciw.cardinality);
  EXPECT_STREQ("Audio Module Class", ciw.category);
  EXPECT_EQ("TOLVEN", Narrow(ciw.name));
  EXPECT_EQ(2u, ciw.classFlags);
  EXPECT_STREQ("Fx|EQ", ciw.subCategories);
  EXPECT_EQ("", Narrow(ciw.vendor));
  EXPECT_EQ("1.0.0", Narrow(ciw.version));
  EXPECT_EQ("VST 3.6.12", Narrow(ciw.sdkVersion));
  EXPECT_NE(kResultOk, f3->getClassInfoUnicode(1, &ciw));
}

TEST(Vst3Factory, SecondGetPluginFactoryReturnsSameObjectWithOneMoreReference) {
  auto get = reinterpret_cast<GetFactory>(Module().FindSymbol("GetPluginFactory"));
  ASSERT_NE(nullptr, get);
  IPluginFactory* held = Module().Factory();
  uint32 before = held->addRef();
  held->release();
  IPluginFactory* again = get();
  EXPECT_EQ(held, again);
  uint32 after = held->addRef();
  held->release();
  EXPECT_EQ(before + 1, after);
  again->release();
}

TEST(Vst3Factory, AnswersOnlyFactoryInterfaces) {
  IPluginFactory* factory = Module().Factory();
  Held<FUnknown> unknown(Query<FUnknown>(factory));
  EXPECT_TRUE(unknown);
  Held<IAudioProcessor> processor(Query<IAudioProcessor>(factory));
  EXPECT_FALSE(processor);
  EXPECT_EQ(kNotImplemented,
            Held<IPluginFactory3>(Query<IPluginFactory3>(factory))->setHostContext(nullptr));
}

TEST(Vst3Factory, CreateInstanceRefusesUnknownClassesAndInterfaces) {
  IPluginFactory* factory = Module().Factory();
  TUID other = INLINE_UID(0xF2AEE70D, 0x00DE4F4E, 0x4F736B61, 0x544C5632);
  void* object = &object;
  EXPECT_NE(kResultOk, factory->createInstance(other, IComponent::iid, &object));
  EXPECT_EQ(nullptr, object);
  object = &object;
  // An interface the plug-in does not have: no object, and nothing leaks.
  EXPECT_NE(kResultOk, factory->createInstance(kClassId, IMessage::iid, &object));
  EXPECT_EQ(nullptr, object);
  EXPECT_NE(kResultOk, factory->createInstance(kClassId, IComponent::iid, nullptr));
}

TEST(Vst3Factory, InstanceAnswersEveryComponentAndControllerInterface) {
  void* object = nullptr;
  ASSERT_EQ(kResultOk, Module().Factory()->createInstance(kClassId, IAudioProcessor::iid, &object));
  Held<IAudioProcessor> processor(static_cast<IAudioProcessor*>(object));
  EXPECT_TRUE(Held<FUnknown>(Query<FUnknown>(processor.get())));
  EXPECT_TRUE(Held<IPluginBase>(Query<IPluginBase>(processor.get())));
  EXPECT_TRUE(Held<IConnectionPoint>(Query<IConnectionPoint>(processor.get())));
  EXPECT_TRUE(Held<IComponent>(Query<IComponent>(processor.get())));
  EXPECT_TRUE(Held<IEditController>(Query<IEditController>(processor.get())));
  EXPECT_TRUE(Held<IEditController2>(Query<IEditController2>(processor.get())));
  EXPECT_TRUE(Held<IUnitInfo>(Query<IUnitInfo>(processor.get())));
  EXPECT_FALSE(Held<IMessage>(Query<IMessage>(processor.get())));
  // One object: every interface leads back to the same FUnknown.
  Held<FUnknown> a(Query<FUnknown>(processor.get()));
  Held<IEditController> controller(Query<IEditController>(processor.get()));
  Held<FUnknown> b(Query<FUnknown>(controller.get()));
  EXPECT_EQ(a.get(), b.get());
  // Uninitialised objects refuse nothing fatal and release cleanly.
  EXPECT_EQ(0, controller->getParameterCount());
}

TEST(Vst3Factory, TwoInstancesAreIndependent) {
  Plugin one;
  Plugin two;
  ASSERT_TRUE(one.Create());
  ASSERT_TRUE(two.Create());
  EXPECT_NE(one.Component(), two.Component());
  ASSERT_EQ(kResultOk, one.Controller()->setParamNormalized(3, 0.75));
  EXPECT_DOUBLE_EQ(0.75, one.Controller()->getParamNormalized(3));
  EXPECT_DOUBLE_EQ(0.5, two.Controller()->getParamNormalized(3));

  std::vector<std::uint8_t> state = ControllerState(two.Controller());
  ASSERT_EQ(static_cast<size_t>(kStateSize), state.size());
  SetStateValue(state, 0, 0.125);
  ASSERT_EQ(kResultOk, SetControllerState(two.Controller(), state));
  EXPECT_DOUBLE_EQ(0.125, two.Controller()->getParamNormalized(0));
  EXPECT_DOUBLE_EQ(0.5, one.Controller()->getParamNormalized(0));

  // Audio state is separate too: one instance bypassed by the host, the
  // other processing.
  ASSERT_TRUE(one.instance.Start(2, 48000, 256));
  ASSERT_TRUE(two.instance.Start(2, 48000, 256));
  Vst3ParameterChanges bypass;
  bypass.AddPoint(kBypassId, 0, 1.0);
  auto in = TestSignal(2, 256);
  auto outOne = in;
  auto outTwo = in;
  for (auto& plane : outOne)
    std::fill(plane.begin(), plane.end(), 9.0f);
  for (auto& plane : outTwo)
    std::fill(plane.begin(), plane.end(), 9.0f);
  auto inP = Pointers(in);
  auto oneP = Pointers(outOne);
  auto twoP = Pointers(outTwo);
  ASSERT_EQ(kResultOk, one.instance.Process(inP.data(), oneP.data(), 256, &bypass));
  ASSERT_EQ(kResultOk, two.instance.Process(inP.data(), twoP.data(), 256));
  EXPECT_EQ(in, outOne);
  EXPECT_NE(in, outTwo);
}

TEST(Vst3Factory, ModuleCanBeLoadedAgainAfterEverythingWasReleased) {
  // A second, independent load of the same file: the library is shared, so
  // releasing this factory's references must leave the first load intact.
  {
    Vst3Module second(TOLVEN_VST3_MODULE_PATH);
    ASSERT_TRUE(second.IsLoaded()) << second.Error();
    ASSERT_NE(second.Factory(), nullptr);
    EXPECT_EQ(1, second.Factory()->countClasses());
  }
  ASSERT_EQ(1, Module().Factory()->countClasses());
  Plugin p;
  EXPECT_TRUE(p.Create());
}

} // namespace
} // namespace vst3test
