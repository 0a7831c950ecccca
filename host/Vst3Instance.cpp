#include "Vst3Instance.h"

#include "pluginterfaces/vst/ivstmessage.h"
#include "pluginterfaces/vst/vstspeaker.h"
#include "public.sdk/source/common/memorystream.h"

#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;

Vst3Instance::~Vst3Instance() {
  Destroy();
}

SpeakerArrangement Vst3Instance::ArrangementFor(int channels) {
  if (channels == 1) return SpeakerArr::kMono;
  if (channels == 2) return SpeakerArr::kStereo;
  return SpeakerArr::kEmpty;
}

std::string Vst3Instance::Narrow(const TChar* text) {
  std::string result;
  if (!text) return result;
  for (int i = 0; i < 128 && text[i]; ++i)
    result.push_back(static_cast<char>(text[i] & 0xFF));
  return result;
}

bool Vst3Instance::Create(IPluginFactory* factory, FUnknown* context, const TUID* classId) {
  Destroy();
  mError.clear();
  if (!factory) {
    mError = "no factory";
    return false;
  }
  TUID cid;
  bool found = false;
  if (classId) {
    std::memcpy(cid, *classId, sizeof(TUID));
    found = true;
  } else {
    for (int32 i = 0; i < factory->countClasses() && !found; ++i) {
      PClassInfo info;
      if (factory->getClassInfo(i, &info) == kResultOk &&
          std::strncmp(info.category, kVstAudioEffectClass, PClassInfo::kCategorySize) == 0) {
        std::memcpy(cid, info.cid, sizeof(TUID));
        found = true;
      }
    }
  }
  if (!found) {
    mError = "the factory offers no audio effect class";
    return false;
  }
  void* object = nullptr;
  if (factory->createInstance(cid, IComponent::iid, &object) != kResultOk || !object) {
    mError = "createInstance failed";
    return false;
  }
  mComponent = static_cast<IComponent*>(object);
  if (mComponent->initialize(context) != kResultOk) {
    mError = "initialize failed";
    mComponent->release();
    mComponent = nullptr;
    return false;
  }
  object = nullptr;
  if (mComponent->queryInterface(IAudioProcessor::iid, &object) != kResultOk || !object) {
    mError = "the component offers no IAudioProcessor";
    Destroy();
    return false;
  }
  mProcessor = static_cast<IAudioProcessor*>(object);

  object = nullptr;
  if (mComponent->queryInterface(IEditController::iid, &object) == kResultOk && object) {
    mController = static_cast<IEditController*>(object);
    mSingleObject = true;
  } else {
    TUID controllerId;
    if (mComponent->getControllerClassId(controllerId) == kResultOk &&
        factory->createInstance(controllerId, IEditController::iid, &object) == kResultOk &&
        object) {
      mController = static_cast<IEditController*>(object);
      if (mController->initialize(context) == kResultOk) {
        mControllerInitialized = true;
        // Let the two halves talk, as hosts do.
        IConnectionPoint* componentPoint = nullptr;
        IConnectionPoint* controllerPoint = nullptr;
        mComponent->queryInterface(IConnectionPoint::iid,
                                   reinterpret_cast<void**>(&componentPoint));
        mController->queryInterface(IConnectionPoint::iid,
                                    reinterpret_cast<void**>(&controllerPoint));
        if (componentPoint && controllerPoint) {
          componentPoint->connect(controllerPoint);
          controllerPoint->connect(componentPoint);
        }
        if (componentPoint) componentPoint->release();
        if (controllerPoint) controllerPoint->release();
      } else {
        mController->release();
        mController = nullptr;
      }
    }
  }
  return true;
}

void Vst3Instance::Destroy() {
  Stop();
  if (mController && !mSingleObject) {
    if (mControllerInitialized) mController->terminate();
    mController->release();
  } else if (mController) {
    mController->release();
  }
  mController = nullptr;
  mControllerInitialized = false;
  mSingleObject = false;
  if (mProcessor) mProcessor->release();
  mProcessor = nullptr;
  if (mComponent) {
    mComponent->terminate();
    mComponent->release();
  }
  mComponent = nullptr;
}

bool Vst3Instance::Start(int channels, double sampleRate, int maxBlock, int32 sampleSize,
                         int32 processMode) {
  if (!mComponent || !mProcessor) {
    mError = "no instance";
    return false;
  }
  Stop();
  SpeakerArrangement in = ArrangementFor(channels);
  SpeakerArrangement out = in;
  if (mProcessor->setBusArrangements(&in, 1, &out, 1) != kResultTrue) {
    mError = "the plug-in refuses " + std::to_string(channels) + " channels";
    return false;
  }
  if (mProcessor->canProcessSampleSize(sampleSize) != kResultTrue) {
    mError = "the plug-in cannot process this sample size";
    return false;
  }
  ProcessSetup setup{processMode, sampleSize, maxBlock, sampleRate};
  if (mProcessor->setupProcessing(setup) != kResultOk) {
    mError = "setupProcessing failed";
    return false;
  }
  if (mComponent->getBusCount(kAudio, kInput) > 0) mComponent->activateBus(kAudio, kInput, 0, true);
  if (mComponent->getBusCount(kAudio, kOutput) > 0)
    mComponent->activateBus(kAudio, kOutput, 0, true);
  if (mComponent->setActive(true) != kResultOk) {
    mError = "setActive failed";
    return false;
  }
  mProcessor->setProcessing(true); // optional for plug-ins: any answer will do
  mStarted = true;
  mChannels = channels;
  mMaxBlock = maxBlock;
  mSampleSize = sampleSize;
  mProcessMode = processMode;
  return true;
}

void Vst3Instance::Stop() {
  if (!mStarted) return;
  mProcessor->setProcessing(false);
  mComponent->setActive(false);
  mStarted = false;
}

tresult Vst3Instance::ProcessBlock(void** inputs, void** outputs, int frames, int32 sampleSize,
                                   IParameterChanges* changes, ProcessContext* context) {
  if (!mProcessor) return kNotInitialized;
  AudioBusBuffers in;
  AudioBusBuffers out;
  in.numChannels = mChannels;
  out.numChannels = mChannels;
  in.channelBuffers64 = reinterpret_cast<Sample64**>(inputs);
  out.channelBuffers64 = reinterpret_cast<Sample64**>(outputs);
  ProcessData data;
  data.processMode = mProcessMode;
  data.symbolicSampleSize = sampleSize;
  data.numSamples = frames;
  data.numInputs = 1;
  data.numOutputs = 1;
  data.inputs = &in;
  data.outputs = &out;
  data.inputParameterChanges = changes;
  data.processContext = context;
  return mProcessor->process(data);
}

tresult Vst3Instance::Process(float** inputs, float** outputs, int frames,
                              IParameterChanges* changes, ProcessContext* context) {
  return ProcessBlock(reinterpret_cast<void**>(inputs), reinterpret_cast<void**>(outputs), frames,
                      kSample32, changes, context);
}

tresult Vst3Instance::Process(double** inputs, double** outputs, int frames,
                              IParameterChanges* changes, ProcessContext* context) {
  return ProcessBlock(reinterpret_cast<void**>(inputs), reinterpret_cast<void**>(outputs), frames,
                      kSample64, changes, context);
}

bool Vst3Instance::GetState(std::vector<std::uint8_t>& bytes) {
  bytes.clear();
  if (!mComponent) return false;
  MemoryStream stream;
  if (mComponent->getState(&stream) != kResultOk) return false;
  const char* data = stream.getData();
  bytes.assign(data, data + stream.getSize());
  return true;
}

bool Vst3Instance::SetState(const std::vector<std::uint8_t>& bytes) {
  if (!mComponent) return false;
  MemoryStream stream;
  int32 written = 0;
  if (!bytes.empty())
    stream.write(const_cast<std::uint8_t*>(bytes.data()), static_cast<int32>(bytes.size()),
                 &written);
  stream.seek(0, IBStream::kIBSeekSet, nullptr);
  bool ok = mComponent->setState(&stream) == kResultOk;
  if (mController && !mSingleObject) {
    stream.seek(0, IBStream::kIBSeekSet, nullptr);
    mController->setComponentState(&stream);
  }
  return ok;
}

int Vst3Instance::ParameterCount() const {
  return mController ? mController->getParameterCount() : 0;
}

bool Vst3Instance::ParameterInfo(int index, Steinberg::Vst::ParameterInfo& info) const {
  return mController && mController->getParameterInfo(index, info) == kResultOk;
}

long long Vst3Instance::FindParameter(const std::string& title) const {
  for (int i = 0; i < ParameterCount(); ++i) {
    Steinberg::Vst::ParameterInfo info;
    if (ParameterInfo(i, info) && Narrow(info.title) == title) return info.id;
  }
  return -1;
}
