// Program and bank chunks as a host hands them back from a saved project:
// the first byte chooses program (odd) or bank (even), the rest is the
// chunk. Whatever the bytes, the instance stays sane afterwards.
#include "FuzzSupport.h"
#include "Vst2Instance.h"
#include "Vst2RecordingHost.h"

// The module is loaded before fuzzing starts, so its coverage counts from
// the first input on.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  Vst2Entry();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput input(data, size);
  const bool program = input.Take<uint8_t>() & 1;
  const std::vector<uint8_t> chunk = input.Bytes(input.Remaining());
  Vst2RecordingHost host;
  Vst2Instance fx(host.Instantiate(Vst2Entry()));
  FUZZ_CHECK(fx.IsValid());
  fx.Start(48000.0f, 64);
  const bool accepted = fx.SetChunk(program, chunk);
  CheckVst2Instance(fx);
  // What the instance saves, another one loads to the same values.
  if (accepted) {
    const std::vector<unsigned char> saved = fx.GetChunk(program);
    Vst2Instance other(host.Instantiate(Vst2Entry()));
    other.Open();
    FUZZ_CHECK(other.SetChunk(program, saved));
    FUZZ_CHECK(other.GetChunk(true) == fx.GetChunk(true));
  }
  return 0;
}
