// Writes the seed inputs of the fuzz targets from the real modules: VST2
// program and bank chunks and VST3 states as the modules save them (defaults,
// automated values, other presets), and a plausible host's dispatcher calls.
// Usage: fuzz_seeds OUTPUT_DIR (one folder per target is created in it).
#include "FuzzSupport.h"
#include "Vst2Instance.h"
#include "Vst2Module.h"
#include "Vst2RecordingHost.h"
#include "Vst3HostApplication.h"
#include "Vst3Instance.h"
#include "Vst3Module.h"

#include <cstdio>
#include <string>
#include <sys/stat.h>

namespace {

void Write(const std::string& dir, const std::string& name, const std::vector<uint8_t>& bytes) {
  mkdir(dir.c_str(), 0755);
  const std::string path = dir + "/" + name;
  FILE* file = std::fopen(path.c_str(), "wb");
  FUZZ_CHECK(file);
  FUZZ_CHECK(std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size());
  std::fclose(file);
}

std::vector<uint8_t> Prefixed(std::vector<uint8_t> prefix, const std::vector<uint8_t>& rest) {
  prefix.insert(prefix.end(), rest.begin(), rest.end());
  return prefix;
}

// One dispatcher call in the dispatcher fuzzer's encoding.
void Encode(std::vector<uint8_t>& out, VstInt32 opcode, int32_t index, int16_t value, float opt,
            const std::string& text = "", uint8_t between = 0) {
  auto put = [&](const void* p, size_t n) {
    out.insert(out.end(), static_cast<const uint8_t*>(p), static_cast<const uint8_t*>(p) + n);
  };
  out.push_back(static_cast<uint8_t>(opcode + 4));
  put(&index, sizeof index);
  put(&value, sizeof value);
  put(&opt, sizeof opt);
  out.push_back(static_cast<uint8_t>(text.size() + 1));
  put(text.c_str(), text.size() + 1);
  out.push_back(1); // the scratch buffer as the pointer
  out.push_back(between);
}

void Vst2Seeds(const std::string& root) {
  Vst2Module module(TOLVEN_VST2_MODULE);
  FUZZ_CHECK(module.IsLoaded());
  Vst2RecordingHost host;
  Vst2Instance fx(host.Instantiate(module.EntryPoint()));
  fx.Open();
  const std::string dir = root + "/vst2_chunk_fuzzer";
  for (int variant = 0; variant < 3; ++variant) {
    if (variant == 1)
      for (int i = 0; i < fx.NumParams(); ++i)
        fx.SetParameter(i, 0.1f + 0.15f * i);
    if (variant == 2) fx.Dispatch(effSetProgram, 0, 1);
    Write(dir, "program" + std::to_string(variant), Prefixed({1}, fx.GetChunk(true)));
    Write(dir, "bank" + std::to_string(variant), Prefixed({0}, fx.GetChunk(false)));
  }

  std::vector<uint8_t> calls;
  Encode(calls, effSetSampleRate, 0, 0, 48000.0f);
  Encode(calls, effSetBlockSize, 0, 512, 0.0f);
  Encode(calls, effMainsChanged, 0, 1, 0.0f, "", 4);
  Encode(calls, effGetParamDisplay, 3, 0, 0.0f);
  Encode(calls, effString2Parameter, 4, 0, 0.0f, "-6.5", 5);
  Encode(calls, effSetProgram, 0, 1, 0.0f);
  Encode(calls, effSetProgramName, 0, 0, 0.0f, "a name", 4);
  Encode(calls, effGetChunk, 0, 0, 0.0f);
  Encode(calls, effCanDo, 0, 0, 0.0f, "receiveVstTimeInfo");
  Encode(calls, effVendorSpecific, 0x73744361, 2, 0.5f);
  Encode(calls, effSetSpeakerArrangement, 0, 0, 0.0f, std::string("\x01\0\0\0\x01", 5));
  Write(root + "/vst2_dispatcher_fuzzer", "host", calls);
}

void Vst3Seeds(const std::string& root) {
  Vst3Module module;
  FUZZ_CHECK(module.Load(TOLVEN_VST3_MODULE_PATH));
  Vst3HostApplication host("TOLVEN seed host");
  Vst3Instance instance;
  FUZZ_CHECK(instance.Create(module.Factory(), &host));
  std::vector<uint8_t> state;
  FUZZ_CHECK(instance.GetState(state));
  const std::string dir = root + "/vst3_state_fuzzer";
  // Stream behaviours: plain, failing reads, short reads, lying counts.
  const std::vector<std::vector<uint8_t>> modes = {{0, 0, 0}, {1, 0, 1}, {2, 2, 20}, {4, 8, 0}};
  for (size_t m = 0; m < modes.size(); ++m)
    Write(dir, "default" + std::to_string(m), Prefixed(modes[m], state));
  for (int i = 0; i < kStripParams; ++i)
    instance.Controller()->setParamNormalized(static_cast<Steinberg::Vst::ParamID>(i), 0.8);
  FUZZ_CHECK(instance.GetState(state));
  Write(dir, "automated", Prefixed({0, 0, 0}, state));
  instance.Destroy();
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
    return 2;
  }
  mkdir(argv[1], 0755);
  Vst2Seeds(argv[1]);
  Vst3Seeds(argv[1]);
  return 0;
}
