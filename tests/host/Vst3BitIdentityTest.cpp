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

template <typename T> void Check(int block, int32 sampleSize) {
  const double rate = 96000.0;
  rs::ExpectReferenceSamples<T>(block, rate, [&](auto& in, auto& out) {
    Plugin p;
    ASSERT_TRUE(p.Create());
    ASSERT_TRUE(p.instance.Start(2, rate, 512, sampleSize));
    Render(p.instance, in, out, block);
  });
}

TEST(Vst3BitIdentity, BothSampleSizesGiveTheReferenceSamples) {
  for (int block : {37, 512}) {
    SCOPED_TRACE(testing::Message() << "block " << block);
    Check<float>(block, kSample32);
    Check<double>(block, kSample64);
  }
}

} // namespace
