// The built VST2 module's 32- and 64-bit processing entries against the
// scalar reference strip: the same samples to the bit, hostile input and
// parameter changes included.
#include "ReferenceSchedule.h"
#include "Vst2Instance.h"
#include "Vst2Module.h"
#include "Vst2RecordingHost.h"

#include <gtest/gtest.h>

namespace {

namespace rs = reference_schedule;

Vst2Module& Module() {
  static Vst2Module module(TOLVEN_VST2_MODULE);
  return module;
}

template <typename T>
void Render(Vst2Instance& fx, std::vector<std::vector<T>>& in, std::vector<std::vector<T>>& out,
            int block) {
  const int frames = static_cast<int>(in[0].size());
  for (int pos = 0, b = 0; pos < frames; pos += block, ++b) {
    for (const rs::Change& c : rs::Changes())
      if (c.block == b) fx.SetParameter(c.param, static_cast<float>(c.normalized));
    const int n = std::min(block, frames - pos);
    T* i[2] = {in[0].data() + pos, in[1].data() + pos};
    T* o[2] = {out[0].data() + pos, out[1].data() + pos};
    if constexpr (sizeof(T) == sizeof(float))
      fx.ProcessFloat(i, o, n);
    else
      fx.ProcessDouble(i, o, n);
  }
}

template <typename T> void Check(int block) {
  const double rate = 48000.0;
  rs::ExpectReferenceSamples<T>(block, rate, [&](auto& in, auto& out) {
    Vst2RecordingHost host;
    Vst2Instance fx(host.Instantiate(Module().FindEntry("VSTPluginMain")));
    fx.Start(static_cast<float>(rate), block);
    Render(fx, in, out, block);
  });
}

TEST(Vst2BitIdentity, BothEntriesGiveTheReferenceSamples) {
  ASSERT_TRUE(Module().IsLoaded()) << Module().Error();
  for (int block : {37, 512}) {
    SCOPED_TRACE(testing::Message() << "block " << block);
    Check<float>(block);  // processReplacing
    Check<double>(block); // processDoubleReplacing
  }
}

} // namespace
