#pragma once

#include "pluginterfaces/vst/ivsthostapplication.h"

#include <atomic>
#include <string>

// The host context handed to IPluginBase::initialize: answers
// IHostApplication with a product name of the host's choosing and creates
// the SDK's message and attribute-list objects on request.
//
// Lifetime: the hosting code owns this object and keeps it alive longer
// than every plug-in it is given to; the reference count is kept for
// inspection but never destroys the object.
class Vst3HostApplication : public Steinberg::Vst::IHostApplication {
public:
  explicit Vst3HostApplication(const std::string& name = "TOLVEN host");
  virtual ~Vst3HostApplication() = default;

  // IHostApplication
  Steinberg::tresult PLUGIN_API getName(Steinberg::Vst::String128 name) override;
  Steinberg::tresult PLUGIN_API createInstance(Steinberg::TUID cid, Steinberg::TUID iid,
                                               void** obj) override;
  // FUnknown
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override;
  Steinberg::uint32 PLUGIN_API release() override;

  // How often the plug-in asked for the name, and the references it holds.
  int NameRequests() const { return mNameRequests.load(); }
  int References() const { return mReferences.load(); }

private:
  std::string mName;
  std::atomic<int> mNameRequests{0};
  std::atomic<int> mReferences{0};
};

// A context that answers nothing but FUnknown: what a plug-in sees from a
// host that offers no IHostApplication.
class Vst3BareContext : public Steinberg::FUnknown {
public:
  virtual ~Vst3BareContext() = default;
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override {
    return static_cast<Steinberg::uint32>(++mReferences);
  }
  Steinberg::uint32 PLUGIN_API release() override {
    return static_cast<Steinberg::uint32>(--mReferences);
  }
  int References() const { return mReferences.load(); }
  // How many queries for IHostApplication it refused.
  int HostApplicationQueries() const { return mHostApplicationQueries.load(); }

private:
  std::atomic<int> mReferences{0};
  std::atomic<int> mHostApplicationQueries{0};
};
