// The built VST3 module's 32- and 64-bit processing against the scalar
// reference strip: the same samples to the bit, hostile input and parameter
// changes (as the last point of a queue, applied to the whole block) included.
#include "ReferenceSchedule.h"
#include "Vst3TestSupport.h"

namespace {

using namespace vst3test;
namespace rs = reference_schedule;

template <typename T>
void Render(Vst3Instance& instance, std::vector<std::vector<T>>& in,
            std::vector<std::vector<T>>& out, int block) {
  const int frames = static_cast<int>(in[0].size());
  for (int pos = 0, b = 0; pos < frames; pos += block, ++b) {
    Vst3ParameterChanges changes;
    for (const rs::Change& c : rs::Changes())
      if (c.block == b) changes.AddPoint(static_cast<ParamID>(c.param), 0, c.normalized);
    const int n = std::min(block, frames - pos);
    T* i[2] = {in[0].data() + pos, in[1].data() + pos};
    T* o[2] = {out[0].data() + pos, out[1].data() + pos};
    ASSERT_EQ(kResultOk, instance.Process(i, o, n, &changes));
  }
}

TEST(Vst3BitIdentity, BothSampleSizesGiveTheReferenceSamples) {
  for (int block : {37, 512}) {
    for (bool doubles : {false, true}) {
      SCOPED_TRACE(testing::Message() << "block " << block << (doubles ? " 64-bit" : " 32-bit"));
      const double rate = 96000.0;
      auto in = rs::Signal(30 * block, doubles);
      const auto want = rs::Reference(in, block, rate);
      Plugin p;
      ASSERT_TRUE(p.Create());
      ASSERT_TRUE(p.instance.Start(2, rate, 512, doubles ? kSample64 : kSample32));
      if (doubles) {
        std::vector<std::vector<double>> out(2, std::vector<double>(in[0].size()));
        Render(p.instance, in, out, block);
        for (int c = 0; c < 2; ++c)
          EXPECT_EQ(rs::FirstDifference(out[c], want[c]), -1) << "channel " << c;
      } else {
        std::vector<std::vector<float>> inF(2), out(2, std::vector<float>(in[0].size()));
        for (int c = 0; c < 2; ++c)
          inF[c].assign(in[c].begin(), in[c].end());
        Render(p.instance, inF, out, block);
        for (int c = 0; c < 2; ++c) {
          const std::vector<float> wantF(want[c].begin(), want[c].end());
          EXPECT_EQ(rs::FirstDifference(out[c], wantF), -1) << "channel " << c;
        }
      }
    }
  }
}

} // namespace
