#include "CPluginFactory.h"

#include <cstring>
#include <new>

using namespace Steinberg;

CPluginFactory::CPluginFactory(const PFactoryInfo& info, CPluginFactory** ownerSlot)
    : mInfo(info), mOwnerSlot(ownerSlot) {}

CPluginFactory::~CPluginFactory() {
  if (mOwnerSlot && *mOwnerSlot == this) *mOwnerSlot = nullptr;
}

bool CPluginFactory::registerClass(const PClassInfo2* info, CreateFunction create, void* context) {
  if (!info || !create) return false;
  ClassEntry entry;
  entry.info2 = *info;
  entry.infoW.fromAscii(*info);
  entry.create = create;
  entry.context = context;
  try {
    mClasses.push_back(entry);
  } catch (...) {
    return false;
  }
  return true;
}

tresult PLUGIN_API CPluginFactory::queryInterface(const TUID iid, void** obj) {
  if (!obj) return kInvalidArgument;
  if (FUnknownPrivate::iidEqual(iid, FUnknown::iid) ||
      FUnknownPrivate::iidEqual(iid, IPluginFactory::iid) ||
      FUnknownPrivate::iidEqual(iid, IPluginFactory2::iid) ||
      FUnknownPrivate::iidEqual(iid, IPluginFactory3::iid)) {
    addRef();
    *obj = static_cast<IPluginFactory3*>(this);
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

uint32 PLUGIN_API CPluginFactory::addRef() {
  return FUnknownPrivate::atomicAdd(mRefCount, 1);
}

uint32 PLUGIN_API CPluginFactory::release() {
  int32 left = FUnknownPrivate::atomicAdd(mRefCount, -1);
  if (left == 0) {
    delete this;
    return 0;
  }
  return static_cast<uint32>(left);
}

tresult PLUGIN_API CPluginFactory::getFactoryInfo(PFactoryInfo* info) {
  if (!info) return kInvalidArgument;
  *info = mInfo;
  return kResultOk;
}

int32 PLUGIN_API CPluginFactory::countClasses() {
  return static_cast<int32>(mClasses.size());
}

const CPluginFactory::ClassEntry* CPluginFactory::Entry(int32 index) const {
  if (index < 0 || static_cast<size_t>(index) >= mClasses.size()) return nullptr;
  return &mClasses[static_cast<size_t>(index)];
}

tresult PLUGIN_API CPluginFactory::getClassInfo(int32 index, PClassInfo* info) {
  const ClassEntry* entry = Entry(index);
  if (!info) return kInvalidArgument;
  if (!entry) return kInvalidArgument;
  *info = PClassInfo();
  std::memcpy(info->cid, entry->info2.cid, sizeof(TUID));
  info->cardinality = entry->info2.cardinality;
  std::memcpy(info->category, entry->info2.category, sizeof(info->category));
  std::memcpy(info->name, entry->info2.name, sizeof(info->name));
  return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfo2(int32 index, PClassInfo2* info) {
  const ClassEntry* entry = Entry(index);
  if (!info) return kInvalidArgument;
  if (!entry) return kInvalidArgument;
  *info = entry->info2;
  return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfoUnicode(int32 index, PClassInfoW* info) {
  const ClassEntry* entry = Entry(index);
  if (!info) return kInvalidArgument;
  if (!entry) return kInvalidArgument;
  *info = entry->infoW;
  return kResultOk;
}

tresult PLUGIN_API CPluginFactory::createInstance(FIDString cid, FIDString iid, void** obj) {
  if (!obj) return kInvalidArgument;
  *obj = nullptr;
  if (!cid || !iid) return kInvalidArgument;
  for (const ClassEntry& entry : mClasses) {
    if (!FUnknownPrivate::iidEqual(entry.info2.cid, cid)) continue;
    FUnknown* instance = entry.create(entry.context);
    if (!instance) return kOutOfMemory;
    // The new object's own first reference is exchanged for the one the
    // query adds; on failure the release destroys it.
    tresult result = instance->queryInterface(iid, obj);
    instance->release();
    if (result != kResultOk) *obj = nullptr;
    return result == kResultOk ? kResultOk : kNoInterface;
  }
  return kNoInterface;
}

tresult PLUGIN_API CPluginFactory::setHostContext(FUnknown* /*context*/) {
  return kNotImplemented;
}
