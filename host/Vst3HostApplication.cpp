#include "Vst3HostApplication.h"

#include "public.sdk/source/vst/hosting/hostclasses.h"

using namespace Steinberg;

Vst3HostApplication::Vst3HostApplication(const std::string& name) : mName(name) {}

tresult PLUGIN_API Vst3HostApplication::getName(Vst::String128 name) {
  if (!name) return kInvalidArgument;
  ++mNameRequests;
  // Texts from this host are ASCII; widened unit by unit, 127 at most.
  size_t n = 0;
  for (; n < mName.size() && n < 127; ++n)
    name[n] = static_cast<Vst::TChar>(static_cast<unsigned char>(mName[n]));
  name[n] = 0;
  return kResultOk;
}

tresult PLUGIN_API Vst3HostApplication::createInstance(TUID cid, TUID iid, void** obj) {
  if (!obj) return kInvalidArgument;
  *obj = nullptr;
  if (!cid || !iid) return kInvalidArgument;
  FUID classId = FUID::fromTUID(cid);
  FUID interfaceId = FUID::fromTUID(iid);
  if (classId == Vst::IMessage::iid && interfaceId == Vst::IMessage::iid) {
    *obj = static_cast<Vst::IMessage*>(new Vst::HostMessage);
    return kResultTrue;
  }
  if (classId == Vst::IAttributeList::iid && interfaceId == Vst::IAttributeList::iid) {
    *obj = static_cast<Vst::IAttributeList*>(new Vst::HostAttributeList);
    return kResultTrue;
  }
  return kResultFalse;
}

tresult PLUGIN_API Vst3HostApplication::queryInterface(const TUID iid, void** obj) {
  if (!obj) return kInvalidArgument;
  if (FUnknownPrivate::iidEqual(iid, FUnknown::iid) ||
      FUnknownPrivate::iidEqual(iid, Vst::IHostApplication::iid)) {
    addRef();
    *obj = static_cast<Vst::IHostApplication*>(this);
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

uint32 PLUGIN_API Vst3HostApplication::addRef() {
  return static_cast<uint32>(++mReferences);
}
uint32 PLUGIN_API Vst3HostApplication::release() {
  return static_cast<uint32>(--mReferences);
}

tresult PLUGIN_API Vst3BareContext::queryInterface(const TUID iid, void** obj) {
  if (!obj) return kInvalidArgument;
  if (FUnknownPrivate::iidEqual(iid, FUnknown::iid)) {
    addRef();
    *obj = this;
    return kResultOk;
  }
  if (FUnknownPrivate::iidEqual(iid, Vst::IHostApplication::iid)) ++mHostApplicationQueries;
  *obj = nullptr;
  return kNoInterface;
}
