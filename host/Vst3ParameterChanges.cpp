#include "Vst3ParameterChanges.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

Vst3ParamValueQueue::Vst3ParamValueQueue(int capacity)
    : mPoints(static_cast<size_t>(capacity > 0 ? capacity : 1)) {}

void Vst3ParamValueQueue::Reset(ParamID id) {
  mId = id;
  mCount = 0;
}

tresult PLUGIN_API Vst3ParamValueQueue::getPoint(int32 index, int32& sampleOffset,
                                                 ParamValue& value) {
  if (index < 0 || index >= mCount) return kResultFalse;
  sampleOffset = mPoints[static_cast<size_t>(index)].offset;
  value = mPoints[static_cast<size_t>(index)].value;
  return kResultOk;
}

tresult PLUGIN_API Vst3ParamValueQueue::addPoint(int32 sampleOffset, ParamValue value,
                                                 int32& index) {
  int32 at = 0;
  while (at < mCount && mPoints[static_cast<size_t>(at)].offset < sampleOffset)
    ++at;
  if (at < mCount && mPoints[static_cast<size_t>(at)].offset == sampleOffset) {
    mPoints[static_cast<size_t>(at)].value = value;
    index = at;
    return kResultOk;
  }
  if (static_cast<size_t>(mCount) >= mPoints.size()) return kResultFalse;
  for (int32 i = mCount; i > at; --i)
    mPoints[static_cast<size_t>(i)] = mPoints[static_cast<size_t>(i - 1)];
  mPoints[static_cast<size_t>(at)] = {sampleOffset, value};
  ++mCount;
  index = at;
  return kResultOk;
}

tresult PLUGIN_API Vst3ParamValueQueue::queryInterface(const TUID iid, void** obj) {
  if (!obj) return kInvalidArgument;
  if (FUnknownPrivate::iidEqual(iid, FUnknown::iid) ||
      FUnknownPrivate::iidEqual(iid, IParamValueQueue::iid)) {
    *obj = static_cast<IParamValueQueue*>(this);
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

Vst3ParameterChanges::Vst3ParameterChanges(int maxParameters, int pointsPerParameter)
    : mQueues(static_cast<size_t>(maxParameters > 0 ? maxParameters : 1),
              Vst3ParamValueQueue(pointsPerParameter)) {}

void Vst3ParameterChanges::Clear() {
  mCount = 0;
}

IParamValueQueue* PLUGIN_API Vst3ParameterChanges::getParameterData(int32 index) {
  if (index < 0 || index >= mCount) return nullptr;
  return &mQueues[static_cast<size_t>(index)];
}

IParamValueQueue* PLUGIN_API Vst3ParameterChanges::addParameterData(const ParamID& id,
                                                                    int32& index) {
  for (int32 i = 0; i < mCount; ++i) {
    if (mQueues[static_cast<size_t>(i)].getParameterId() == id) {
      index = i;
      return &mQueues[static_cast<size_t>(i)];
    }
  }
  if (static_cast<size_t>(mCount) >= mQueues.size()) return nullptr;
  index = mCount;
  Vst3ParamValueQueue& queue = mQueues[static_cast<size_t>(mCount++)];
  queue.Reset(id);
  return &queue;
}

bool Vst3ParameterChanges::AddPoint(ParamID id, int32 offset, ParamValue value) {
  int32 index = 0;
  IParamValueQueue* queue = addParameterData(id, index);
  int32 pointIndex = 0;
  return queue && queue->addPoint(offset, value, pointIndex) == kResultOk;
}

tresult PLUGIN_API Vst3ParameterChanges::queryInterface(const TUID iid, void** obj) {
  if (!obj) return kInvalidArgument;
  if (FUnknownPrivate::iidEqual(iid, FUnknown::iid) ||
      FUnknownPrivate::iidEqual(iid, IParameterChanges::iid)) {
    *obj = static_cast<IParameterChanges*>(this);
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}
