// The artwork program as a whole: frame order and scale geometry, the full
// set of strips, writing them, and the committed images being the program's
// current output.
#include "ArtworkLayout.h"
#include "ArtworkPreview.h"
#include "ArtworkSet.h"
#include "KnobArtist.h"
#include "LICE_Composite.h"
#include "LICE_Png.h"
#include "PanelArtist.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace layout = artwork_layout;

namespace {

LICE_PixelWord At(LICE_IBitmap* b, int x, int y) {
  return b->Pixels()[(long long)b->RowSpan() * y + x];
}

// A scratch folder in the build tree, unique per use, removed afterwards.
// Named after the test too: CTest runs test cases in parallel processes that
// share the working folder, and each process counts from 1.
struct ScratchFolder {
  std::string path;
  ScratchFolder() {
    static int n = 0;
    path = std::string("artwork-test-") +
           ::testing::UnitTest::GetInstance()->current_test_info()->name() + "-" +
           std::to_string(++n);
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
    std::filesystem::create_directories(path, ignored);
    EXPECT_TRUE(std::filesystem::is_directory(path));
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

// The whole set is drawn once for all tests here.
ArtworkSet& Drawn() {
  static ArtworkSet* set = [] {
    ArtworkSet* s = new ArtworkSet;
    EXPECT_TRUE(s->Render());
    return s;
  }();
  return *set;
}

} // namespace

TEST(ArtworkLayout, KnobFramesSweepTwoHundredSeventyDegreesEvenly) {
  EXPECT_FLOAT_EQ(layout::KnobAngle(0, 61), -135.0f);
  EXPECT_FLOAT_EQ(layout::KnobAngle(30, 61), 0.0f);
  EXPECT_FLOAT_EQ(layout::KnobAngle(60, 61), 135.0f);
  EXPECT_FLOAT_EQ(layout::KnobAngle(1, 61) - layout::KnobAngle(0, 61), 4.5f);
  EXPECT_FLOAT_EQ(layout::KnobAngle(0, 1), 0.0f);
}

TEST(ArtworkLayout, MeterMarksFollowTheLevelLikeAVuMovement) {
  EXPECT_NEAR(layout::MeterFraction(3.0f), 1.0f, 1e-6f);
  EXPECT_NEAR(layout::MeterFraction(0.0f), 0.70795f, 1e-4f);
  EXPECT_NEAR(layout::MeterFraction(-20.0f), 0.070795f, 1e-5f);
  EXPECT_FLOAT_EQ(layout::MeterAngle(0.0f), -layout::kMeterSweep);
  EXPECT_FLOAT_EQ(layout::MeterAngle(1.0f), layout::kMeterSweep);
  EXPECT_FLOAT_EQ(layout::MeterAngle(0.5f), 0.0f);
}

TEST(ArtworkPreview, ChoosesFramesAsTheEditorsControlsDo) {
  EXPECT_EQ(ArtworkPreview::FrameForValue(0.0, 61), 0);
  EXPECT_EQ(ArtworkPreview::FrameForValue(0.5, 61), 30);
  EXPECT_EQ(ArtworkPreview::FrameForValue(1.0, 61), 60);
  EXPECT_EQ(ArtworkPreview::FrameForValue(1.7, 61), 60);
  EXPECT_EQ(ArtworkPreview::FrameForValue(-0.3, 61), 0);
  EXPECT_EQ(ArtworkPreview::FrameForValue(NAN, 61), 0);
  EXPECT_EQ(ArtworkPreview::FrameForValue(0.708, 121), 85);
  EXPECT_EQ(ArtworkPreview::FrameForValue(0.004, 121), 0); // 0.48 rounds down
  EXPECT_EQ(ArtworkPreview::FrameForValue(0.0042, 121), 1);
  EXPECT_EQ(ArtworkPreview::FrameForValue(0.9, 1), 0);
}

TEST(ArtworkSet, DrawsEveryStripAtItsSizeAndLooksItUpById) {
  ArtworkSet& set = Drawn();
  for (const layout::Strip& s : layout::kStrips) {
    SCOPED_TRACE(s.file);
    LICE_IBitmap* image = set.Image(s.id);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Width(), s.width);
    EXPECT_EQ(image->Height(), s.frameHeight * s.frames);
  }
  EXPECT_EQ(set.Image(108), nullptr);
  ArtworkSet empty;
  EXPECT_EQ(empty.Image(101), nullptr);
  std::string error;
  EXPECT_FALSE(empty.Write(ScratchFolder().path, error));
  EXPECT_NE(error.find("BG.png"), std::string::npos);
}

TEST(ArtworkSet, WrittenFilesDecodeToTheDrawnPixels) {
  ArtworkSet& set = Drawn();
  const ScratchFolder scratch;
  const std::string& folder = scratch.path;
  std::string error;
  ASSERT_TRUE(set.Write(folder, error)) << error;
  for (const layout::Strip& s : layout::kStrips) {
    SCOPED_TRACE(s.file);
    std::unique_ptr<LICE_IBitmap> file(LICE_DecodePngFile((folder + "/" + s.file).c_str()));
    ASSERT_NE(file, nullptr);
    LICE_IBitmap* drawn = set.Image(s.id);
    ASSERT_EQ(file->Width(), drawn->Width());
    ASSERT_EQ(file->Height(), drawn->Height());
    long mismatches = 0;
    for (int y = 0; y < drawn->Height(); ++y)
      for (int x = 0; x < drawn->Width(); ++x)
        // The opaque images are written without alpha and read back opaque.
        mismatches += At(file.get(), x, y) != At(drawn, x, y);
    EXPECT_EQ(mismatches, 0);
  }
  EXPECT_FALSE(set.Write(folder + "/no/such/folder", error));
  EXPECT_FALSE(error.empty());

  // The preview composes the written files into an editor-sized picture.
  ArtworkPreview::State state;
  std::unique_ptr<LICE_MemBitmap> preview(ArtworkPreview::Compose(folder, state));
  ASSERT_NE(preview, nullptr);
  EXPECT_EQ(preview->Width(), layout::kEditorWidth);
  EXPECT_EQ(preview->Height(), layout::kEditorHeight);
  // Where nothing covers the background, the preview is the background.
  LICE_IBitmap* bg = set.Image(layout::kBackground.id);
  EXPECT_EQ(At(preview.get(), 3, 300), At(bg, 3, 300));
  // The meter is opaque: its pixel replaces the background's.
  LICE_IBitmap* vu = set.Image(layout::kMeter.id);
  EXPECT_EQ(At(preview.get(), layout::kMeter.x + 20, layout::kMeter.y + 10), At(vu, 20, 10));
  EXPECT_EQ(ArtworkPreview::Compose(folder + "/missing", state), nullptr);
}

TEST(ArtworkSet, CommittedImagesAreTheProgramsCurrentOutput) {
  // A change to the drawing code must come with regenerated images. Maths
  // libraries differ by a last bit here and there, so allow tiny deviations.
  ArtworkSet& set = Drawn();
  for (const layout::Strip& s : layout::kStrips) {
    SCOPED_TRACE(s.file);
    std::unique_ptr<LICE_IBitmap> committed(
        LICE_DecodePngFile((std::string(TOLVEN_IMAGE_DIR) + "/" + s.file).c_str()));
    ASSERT_NE(committed, nullptr);
    LICE_IBitmap* drawn = set.Image(s.id);
    ASSERT_EQ(committed->Width(), drawn->Width());
    ASSERT_EQ(committed->Height(), drawn->Height());
    long off = 0, total = (long)drawn->Width() * drawn->Height();
    for (int y = 0; y < drawn->Height(); ++y) {
      for (int x = 0; x < drawn->Width(); ++x) {
        const LICE_PixelWord a = At(committed.get(), x, y), b = At(drawn, x, y);
        for (int shift = 0; shift < 32; shift += 8)
          if (std::abs((int)((a >> shift) & 0xFF) - (int)((b >> shift) & 0xFF)) > 2) {
            ++off;
            break;
          }
      }
    }
    EXPECT_LE(off, total / 1000) << off << " of " << total << " pixels differ";
  }
}

TEST(PanelArtist, SameSeedSamePanelAndTheSeedChangesOnlyTheTexture) {
  std::unique_ptr<LICE_MemBitmap> a(PanelArtist(1).Render(135, 692));
  std::unique_ptr<LICE_MemBitmap> b(PanelArtist(1).Render(135, 692));
  std::unique_ptr<LICE_MemBitmap> c(PanelArtist(2).Render(135, 692));
  long same = 0, differ = 0, big = 0;
  for (int y = 0; y < 692; ++y) {
    for (int x = 0; x < 135; ++x) {
      ASSERT_EQ(At(a.get(), x, y), At(b.get(), x, y));
      const LICE_PixelWord p = At(a.get(), x, y), q = At(c.get(), x, y);
      if (p == q)
        ++same;
      else
        ++differ;
      if (std::abs(LICE_PixelGreen(p) - LICE_PixelGreen(q)) > 24) ++big;
    }
  }
  EXPECT_GT(differ, same);         // the brushing is everywhere...
  EXPECT_LT(big, 135 * 692 / 200); // ...and subtle: legends and scales stay put
}

TEST(KnobArtist, DrawsCentredInAnyFrameAndTurnsOnlyThePointer) {
  KnobArtist knob(KnobArtist::BandKnob(ArtRgb(40, 90, 200)));
  LICE_MemBitmap a(73, 65), b(73, 65);
  LICE_FillArea(&a, 0, 0, 73, 65, 0);
  LICE_FillArea(&b, 0, 0, 73, 65, 0);
  knob.DrawFrame(&a, -90.0f);
  knob.DrawFrame(&b, 90.0f);
  // Pointing left, the pointer is left of the centre; pointing right, right.
  const int cy = 32;
  auto bright = [](LICE_PixelWord p) { return LICE_PixelRed(p) + LICE_PixelGreen(p) > 360; };
  int leftA = 0, rightA = 0, leftB = 0, rightB = 0;
  for (int x = 36 - 20; x < 36; ++x)
    leftA += bright(At(&a, x, cy)), leftB += bright(At(&b, x, cy));
  for (int x = 37; x < 37 + 20; ++x)
    rightA += bright(At(&a, x, cy)), rightB += bright(At(&b, x, cy));
  EXPECT_GT(leftA, 3);
  EXPECT_EQ(rightA, 0);
  EXPECT_GT(rightB, 3);
  EXPECT_EQ(leftB, 0);
  // The knob's outline does not depend on the angle.
  long alphaDiff = 0;
  for (int y = 0; y < 65; ++y)
    for (int x = 0; x < 73; ++x)
      alphaDiff += LICE_PixelAlpha(At(&a, x, y)) != LICE_PixelAlpha(At(&b, x, y));
  EXPECT_EQ(alphaDiff, 0);
  knob.DrawFrame(nullptr, 0.0f); // no frame: nothing happens
}
