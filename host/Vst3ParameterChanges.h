#pragma once

#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <vector>

// One parameter's automation points for a block, as the plug-in reads them.
// Capacity is fixed at construction so filling it never allocates.
class Vst3ParamValueQueue : public Steinberg::Vst::IParamValueQueue {
public:
  explicit Vst3ParamValueQueue(int capacity = 64);
  virtual ~Vst3ParamValueQueue() = default;

  void Reset(Steinberg::Vst::ParamID id);

  // IParamValueQueue
  Steinberg::Vst::ParamID PLUGIN_API getParameterId() override { return mId; }
  Steinberg::int32 PLUGIN_API getPointCount() override { return mCount; }
  // kResultFalse for an index outside the points.
  Steinberg::tresult PLUGIN_API getPoint(Steinberg::int32 index, Steinberg::int32& sampleOffset,
                                         Steinberg::Vst::ParamValue& value) override;
  // Points are kept in offset order; a point at an existing offset
  // replaces that point's value. kResultFalse when full.
  Steinberg::tresult PLUGIN_API addPoint(Steinberg::int32 sampleOffset,
                                         Steinberg::Vst::ParamValue value,
                                         Steinberg::int32& index) override;

  // FUnknown: host-owned, counting only.
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return 1; }
  Steinberg::uint32 PLUGIN_API release() override { return 1; }

private:
  struct Point {
    Steinberg::int32 offset;
    Steinberg::Vst::ParamValue value;
  };
  Steinberg::Vst::ParamID mId = 0;
  Steinberg::int32 mCount = 0;
  std::vector<Point> mPoints;
};

// The parameter changes of one process call: one queue per changed
// parameter, in the order they were first added.
class Vst3ParameterChanges : public Steinberg::Vst::IParameterChanges {
public:
  explicit Vst3ParameterChanges(int maxParameters = 64, int pointsPerParameter = 64);
  virtual ~Vst3ParameterChanges() = default;

  // Empties every queue (keeps the storage).
  void Clear();
  // Adds a point to the parameter's queue, creating the queue first; false
  // when the queue or the point does not fit.
  bool AddPoint(Steinberg::Vst::ParamID id, Steinberg::int32 offset,
                Steinberg::Vst::ParamValue value);

  // IParameterChanges
  Steinberg::int32 PLUGIN_API getParameterCount() override { return mCount; }
  Steinberg::Vst::IParamValueQueue* PLUGIN_API getParameterData(Steinberg::int32 index) override;
  Steinberg::Vst::IParamValueQueue* PLUGIN_API addParameterData(const Steinberg::Vst::ParamID& id,
                                                                Steinberg::int32& index) override;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return 1; }
  Steinberg::uint32 PLUGIN_API release() override { return 1; }

private:
  Steinberg::int32 mCount = 0;
  std::vector<Vst3ParamValueQueue> mQueues;
};
