#pragma once

// The plug-in factory a VST3 host receives from GetPluginFactory.
//
// Why it exists: the packaged VST3 SDK sources lack public.sdk/source/main,
// where the usual factory lives. This is our own small equivalent with the
// behaviour hosts and the module entry rely on: the factory description,
// PClassInfo / PClassInfo2 / PClassInfoW for every registered class,
// createInstance by class ID, atomic reference counting, and clearing the
// module's factory pointer when the last reference goes.

#include "pluginterfaces/base/ipluginbase.h"

#include <vector>

class CPluginFactory : public Steinberg::IPluginFactory3 {
public:
  // Creates an instance; the object starts with one reference, which
  // createInstance hands over to the interface the host asked for.
  using CreateFunction = Steinberg::FUnknown* (*)(void* context);

  // The factory starts with a reference count of 1. When it is destroyed it
  // clears *ownerSlot if that still points at it (so a later
  // GetPluginFactory builds a new factory); ownerSlot may be null.
  CPluginFactory(const Steinberg::PFactoryInfo& info, CPluginFactory** ownerSlot);
  virtual ~CPluginFactory();
  CPluginFactory(const CPluginFactory&) = delete;
  CPluginFactory& operator=(const CPluginFactory&) = delete;

  // Registers one class; the unicode description is derived from the ASCII
  // one. Returns false for a null description or create function.
  bool registerClass(const Steinberg::PClassInfo2* info, CreateFunction create,
                     void* context = nullptr);

  // FUnknown
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override;
  Steinberg::uint32 PLUGIN_API release() override;

  // IPluginFactory
  Steinberg::tresult PLUGIN_API getFactoryInfo(Steinberg::PFactoryInfo* info) override;
  Steinberg::int32 PLUGIN_API countClasses() override;
  Steinberg::tresult PLUGIN_API getClassInfo(Steinberg::int32 index,
                                             Steinberg::PClassInfo* info) override;
  Steinberg::tresult PLUGIN_API createInstance(Steinberg::FIDString cid, Steinberg::FIDString iid,
                                               void** obj) override;
  // IPluginFactory2
  Steinberg::tresult PLUGIN_API getClassInfo2(Steinberg::int32 index,
                                              Steinberg::PClassInfo2* info) override;
  // IPluginFactory3
  Steinberg::tresult PLUGIN_API getClassInfoUnicode(Steinberg::int32 index,
                                                    Steinberg::PClassInfoW* info) override;
  Steinberg::tresult PLUGIN_API setHostContext(Steinberg::FUnknown* context) override;

private:
  struct ClassEntry {
    Steinberg::PClassInfo2 info2;
    Steinberg::PClassInfoW infoW;
    CreateFunction create;
    void* context;
  };
  const ClassEntry* Entry(Steinberg::int32 index) const;

  Steinberg::int32 mRefCount = 1;
  Steinberg::PFactoryInfo mInfo;
  CPluginFactory** mOwnerSlot;
  std::vector<ClassEntry> mClasses;
};
