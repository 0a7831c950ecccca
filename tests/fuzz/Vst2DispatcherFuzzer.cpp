// A hostile VST2 host: a run of dispatcher calls with random opcodes and
// arguments, parameter and processing calls between them. Where the ABI
// makes the pointer or value argument a structure, a structure of the right
// shape (filled from the input) is passed, as any host must; every other
// pointer is a buffer of the published text size or more. Afterwards the
// instance is still sane.
#include "FuzzSupport.h"
#include "Vst2Instance.h"
#include "Vst2RecordingHost.h"

#include <algorithm>

namespace {

constexpr size_t kScratch = 4096;

// One call's worth of argument storage.
struct Arguments {
  alignas(16) uint8_t scratch[kScratch];
  void* pointer = nullptr;
  VstSpeakerArrangement arrangements[2];
  VstMidiEvent midi[2];
  VstEvents events;
};

void Call(Vst2Instance& fx, FuzzInput& input, Arguments& args) {
  // Opcodes up to a little beyond the last one defined, and a few negative.
  const VstInt32 opcode = static_cast<VstInt32>(input.Take<uint8_t>() % 84) - 4;
  const VstInt32 index = input.Take<int32_t>();
  VstIntPtr value = input.Take<int16_t>();
  const float opt = input.Take<float>();
  const std::vector<uint8_t> fill = input.Bytes(input.Take<uint8_t>());
  std::memset(args.scratch, 0, kScratch);
  if (!fill.empty()) std::memcpy(args.scratch, fill.data(), fill.size());
  void* ptr = input.Take<uint8_t>() % 8 == 0 ? nullptr : args.scratch;

  switch (opcode) {
  case effClose:
  case effEditOpen: // needs a window of the host's
    return;
  case effGetChunk:
  case effEditGetRect:
    ptr = &args.pointer;
    break;
  case effSetChunk:
    value = std::clamp<VstIntPtr>(value, -8, kScratch);
    break;
  case effSetSpeakerArrangement:
  case effGetSpeakerArrangement:
    std::memcpy(args.arrangements, args.scratch, sizeof args.arrangements);
    if (opcode == effSetSpeakerArrangement) {
      value = reinterpret_cast<VstIntPtr>(&args.arrangements[0]);
      ptr = &args.arrangements[1];
    } else {
      value = reinterpret_cast<VstIntPtr>(&args.pointer);
      ptr = &args.pointer;
    }
    break;
  case effProcessEvents:
    std::memcpy(args.midi, args.scratch, sizeof args.midi);
    args.events.numEvents = fill.empty() ? 0 : fill[0] % 3;
    args.events.reserved = 0;
    args.events.events[0] = reinterpret_cast<VstEvent*>(&args.midi[0]);
    args.events.events[1] = reinterpret_cast<VstEvent*>(&args.midi[1]);
    ptr = &args.events;
    break;
  default:
    break;
  }
  fx.Dispatch(opcode, index, value, ptr, opt);
}

} // namespace

// The module is loaded before fuzzing starts, so its coverage counts from
// the first input on.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  Vst2Entry();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput input(data, size);
  Vst2RecordingHost host;
  Vst2Instance fx(host.Instantiate(Vst2Entry()));
  FUZZ_CHECK(fx.IsValid());
  fx.Open();
  Arguments args;
  for (int calls = 0; input.Remaining() > 0 && calls < 64; ++calls) {
    Call(fx, input, args);
    // Now and then automation and audio between the calls.
    const uint8_t between = input.Take<uint8_t>();
    if (between & 1) fx.SetParameter(between % 7, input.Take<float>());
    if (between & 2) fx.GetParameter(between % 7);
    if (between & 4) {
      float buffer[2][64] = {};
      float* io[2] = {buffer[0], buffer[1]};
      fx.ProcessFloat(io, io, 64);
    }
  }
  // Whatever the host did, a sane one can still use the instance.
  fx.SetSampleRate(44100.0f);
  fx.SetBlockSize(128);
  fx.Resume();
  CheckVst2Instance(fx);
  return 0;
}
