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

TEST(Vst2BitIdentity, BothEntriesGiveTheReferenceSamples) {
  ASSERT_TRUE(Module().IsLoaded()) << Module().Error();
  for (int block : {37, 512}) {
    for (bool doubles : {false, true}) {
      SCOPED_TRACE(testing::Message() << "block " << block << (doubles ? " 64-bit" : " 32-bit"));
      const double rate = 48000.0;
      auto in = rs::Signal(30 * block, doubles);
      const auto want = rs::Reference(in, block, rate);
      Vst2RecordingHost host;
      Vst2Instance fx(host.Instantiate(Module().FindEntry("VSTPluginMain")));
      fx.Open();
      fx.SetSampleRate(static_cast<float>(rate));
      fx.SetBlockSize(block);
      fx.Resume();
      if (doubles) {
        std::vector<std::vector<double>> out(2, std::vector<double>(in[0].size()));
        Render(fx, in, out, block);
        for (int c = 0; c < 2; ++c)
          EXPECT_EQ(rs::FirstDifference(out[c], want[c]), -1) << "channel " << c;
      } else {
        // The 32-bit entry widens the input exactly and rounds the output once.
        std::vector<std::vector<float>> inF(2), out(2, std::vector<float>(in[0].size()));
        for (int c = 0; c < 2; ++c)
          inF[c].assign(in[c].begin(), in[c].end());
        Render(fx, inF, out, block);
        for (int c = 0; c < 2; ++c) {
          const std::vector<float> wantF(want[c].begin(), want[c].end());
          EXPECT_EQ(rs::FirstDifference(out[c], wantF), -1) << "channel " << c;
        }
      }
    }
  }
}

} // namespace
