// The editor's images as a module carries them: found by id, decodable, of the
// sizes and frame counts the editor lays out, and drawn so that the controls
// work: pointers and needle move the right way, knobs composite cleanly and
// the scales sit around the knobs.
#include "LICE_Png.h"
#include "ModuleResource.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include "ModuleHandle.h"

#include <windows.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Expected {
  int id;
  const char* file;
  int width;
  int frameHeight;
  int frames;
  int x, y; // where the editor places it
};

const Expected kImages[] = {
    {101, "BG.png", 135, 692, 1, 0, 0},      {102, "BY.png", 79, 44, 2, 28, 594},
    {103, "HG.png", 73, 69, 61, 32, 219},    {104, "MG.png", 73, 69, 61, 32, 302},
    {105, "LG.png", 73, 65, 61, 32, 390},    {106, "IN.png", 104, 102, 61, 16, 479},
    {107, "OUT.png", 102, 102, 61, 18, 107}, {110, "VU.png", 127, 67, 121, 5, 4},
};

const Expected& ImageById(int id) {
  for (const Expected& e : kImages)
    if (e.id == id) return e;
  return kImages[0];
}

std::unique_ptr<LICE_IBitmap> DecodeEmbedded(int id) {
  const unsigned char* data = nullptr;
  size_t size = 0;
  if (!FindModuleResource(id, "PNG", &data, &size)) return nullptr;
  return std::unique_ptr<LICE_IBitmap>(LICE_DecodePngMemory(data, size));
}

LICE_PixelWord At(LICE_IBitmap* b, int x, int y) {
  return b->Pixels()[(long long)b->RowSpan() * y + x];
}

// Luminance weighted by alpha, so transparent pixels count as black.
double Light(LICE_PixelWord p) {
  return (0.299 * LICE_PixelRed(p) + 0.587 * LICE_PixelGreen(p) + 0.114 * LICE_PixelBlue(p)) *
         LICE_PixelAlpha(p) / 255.0;
}

// Per frame, the direction (degrees, 0 = up, clockwise) of what moves: the
// centroid of the pixels that differ from the mean of all frames, within the
// ring inner..outer pixels around the frame centre.
std::vector<double> MovingPartAngles(LICE_IBitmap* strip, int frameHeight, int frames, double inner,
                                     double outer, double threshold = 30.0) {
  const int w = strip->Width();
  const double cx = w * 0.5, cy = frameHeight * 0.5;
  std::vector<double> mean((size_t)w * frameHeight, 0.0);
  for (int f = 0; f < frames; ++f)
    for (int y = 0; y < frameHeight; ++y)
      for (int x = 0; x < w; ++x)
        mean[(size_t)y * w + x] += Light(At(strip, x, f * frameHeight + y)) / frames;
  std::vector<double> angles;
  for (int f = 0; f < frames; ++f) {
    double sx = 0.0, sy = 0.0, sw = 0.0;
    for (int y = 0; y < frameHeight; ++y) {
      for (int x = 0; x < w; ++x) {
        const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
        const double r = std::hypot(dx, dy);
        if (r < inner || r > outer) continue;
        const double d =
            std::fabs(Light(At(strip, x, f * frameHeight + y)) - mean[(size_t)y * w + x]);
        if (d < threshold) continue;
        sx += dx * d, sy += dy * d, sw += d;
      }
    }
    angles.push_back(sw > 0.0 ? std::atan2(sx, -sy) * 180.0 / 3.14159265358979 : NAN);
  }
  return angles;
}

const int kKnobIds[] = {103, 104, 105, 106, 107};

} // namespace

TEST(ModuleResource, EveryImageIsEmbeddedWithTheLayoutsSizeAndFrames) {
  for (const Expected& e : kImages) {
    SCOPED_TRACE(e.file);
    const unsigned char* data = nullptr;
    size_t size = 0;
    ASSERT_TRUE(FindModuleResource(e.id, "PNG", &data, &size));
    ASSERT_NE(data, nullptr);
    ASSERT_GT(size, 8u);
    const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    EXPECT_EQ(0, memcmp(data, signature, 8));
    std::unique_ptr<LICE_IBitmap> image(LICE_DecodePngMemory(data, size));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Width(), e.width);
    EXPECT_EQ(image->Height(), e.frameHeight * e.frames);
    // The editor derives the frame height by integer division.
    EXPECT_EQ(image->Height() % e.frames, 0);
  }
}

TEST(ModuleResource, TypeNamesCompareWithoutCaseAndRepeatLookupsAgree) {
  const unsigned char *a = nullptr, *b = nullptr;
  size_t na = 0, nb = 0;
  ASSERT_TRUE(FindModuleResource(110, "PNG", &a, &na));
  ASSERT_TRUE(FindModuleResource(110, "png", &b, &nb));
  EXPECT_EQ(a, b);
  EXPECT_EQ(na, nb);
  // Different ids are different images.
  ASSERT_TRUE(FindModuleResource(106, "PNG", &b, &nb));
  EXPECT_NE(a, b);
}

TEST(ModuleResource, UnknownIdsTypesAndBadArgumentsAreNotFound) {
  const unsigned char marker = 0;
  // 0x10065 would alias id 101 if the id were cut to 16 bits.
  const int ids[] = {0, -1, -101, 100, 108, 109, 111, 0xFFFF, 0x10065, 2147483647, -2147483647 - 1};
  for (int id : ids) {
    SCOPED_TRACE(id);
    const unsigned char* data = &marker;
    size_t size = 123;
    EXPECT_FALSE(FindModuleResource(id, "PNG", &data, &size));
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(size, 0u);
  }
  const char* types[] = {"BMP", "", "PNGX", "PN", nullptr,
                         // A Win32 integer type such as RT_RCDATA is no name.
                         reinterpret_cast<const char*>(static_cast<uintptr_t>(10))};
  for (const char* type : types) {
    const unsigned char* data = &marker;
    size_t size = 123;
    EXPECT_FALSE(FindModuleResource(101, type, &data, &size));
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(size, 0u);
  }
  const unsigned char* data = nullptr;
  size_t size = 0;
  EXPECT_FALSE(FindModuleResource(101, "PNG", nullptr, &size));
  EXPECT_FALSE(FindModuleResource(101, "PNG", &data, nullptr));
}

#ifdef _WIN32
TEST(ModuleResource, LooksInTheStoredModuleAndOtherwiseInTheOneContainingIt) {
  const unsigned char* data = nullptr;
  size_t size = 0;
  // A module handle stored by the entry point wins: another module's
  // resources are not ours.
  ModuleHandle::Set(GetModuleHandleA("kernel32.dll"));
  EXPECT_FALSE(FindModuleResource(101, "PNG", &data, &size));
  ModuleHandle::Set(GetModuleHandleA(nullptr));
  EXPECT_TRUE(FindModuleResource(101, "PNG", &data, &size));
  // Without one, the module holding this code is searched.
  ModuleHandle::Set(nullptr);
  EXPECT_TRUE(FindModuleResource(101, "PNG", &data, &size));
}
#endif

TEST(ModuleResource, EmbeddedBytesAreTheImageFilesUnchanged) {
  for (const Expected& e : kImages) {
    SCOPED_TRACE(e.file);
    const std::string path = std::string(TOLVEN_IMAGE_DIR) + "/" + e.file;
    FILE* file = std::fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr) << path;
    std::vector<unsigned char> bytes;
    unsigned char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
      bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(file);
    const unsigned char* data = nullptr;
    size_t size = 0;
    ASSERT_TRUE(FindModuleResource(e.id, "PNG", &data, &size));
    ASSERT_EQ(size, bytes.size());
    EXPECT_EQ(0, memcmp(data, bytes.data(), size));
  }
}

TEST(Artwork, KnobPointersSweepFromLowerLeftThroughTopToLowerRight) {
  for (int id : kKnobIds) {
    const Expected& e = ImageById(id);
    SCOPED_TRACE(e.file);
    std::unique_ptr<LICE_IBitmap> strip = DecodeEmbedded(id);
    ASSERT_NE(strip, nullptr);
    // Only the pointer turns near the middle of the knob's top.
    const double size = std::min(e.width, e.frameHeight);
    std::vector<double> a =
        MovingPartAngles(strip.get(), e.frameHeight, e.frames, size * 0.08, size * 0.2);
    ASSERT_EQ((int)a.size(), 61);
    EXPECT_NEAR(a[0], -135.0, 6.0);
    EXPECT_NEAR(a[15], -67.5, 6.0);
    EXPECT_NEAR(a[30], 0.0, 6.0);
    EXPECT_NEAR(a[45], 67.5, 6.0);
    EXPECT_NEAR(a[60], 135.0, 6.0);
    for (int f = 1; f < 61; ++f) {
      // 4.5 degrees a frame, in one direction: no frame repeated or swapped.
      EXPECT_GT(a[f] - a[f - 1], 2.0) << "frame " << f;
      EXPECT_LT(a[f] - a[f - 1], 7.0) << "frame " << f;
    }
  }
}

TEST(Artwork, FirstAndLastKnobFramesAreMirrorImagesOfEachOther) {
  for (int id : kKnobIds) {
    const Expected& e = ImageById(id);
    SCOPED_TRACE(e.file);
    std::unique_ptr<LICE_IBitmap> strip = DecodeEmbedded(id);
    ASSERT_NE(strip, nullptr);
    const int w = e.width, h = e.frameHeight, last = (e.frames - 1) * h;
    // The light stays put while the knob turns, so compare the knob's shape
    // (alpha) and where its pointer is, not the shading.
    long alphaMismatch = 0, pointerFirst = 0, pointerBoth = 0;
    const double size = std::min(w, h);
    std::vector<double> a = MovingPartAngles(strip.get(), h, e.frames, size * 0.08, size * 0.2);
    EXPECT_NEAR(a[0], -a[60], 4.0);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        LICE_PixelWord first = At(strip.get(), x, y);
        LICE_PixelWord mirrored = At(strip.get(), w - 1 - x, last + y);
        if (std::abs(LICE_PixelAlpha(first) - LICE_PixelAlpha(mirrored)) > 128) ++alphaMismatch;
        // Pointer pixels: clearly brighter or darker than frame 31 there.
        const double mid = Light(At(strip.get(), x, 30 * h + y));
        const double midMirrored = Light(At(strip.get(), w - 1 - x, 30 * h + y));
        const bool inFirst = std::fabs(Light(first) - mid) > 60.0;
        const bool inLast = std::fabs(Light(mirrored) - midMirrored) > 60.0;
        pointerFirst += inFirst;
        pointerBoth += inFirst && inLast;
      }
    }
    // The cast shadow falls to the lower right in every frame, so a few
    // pixels of its soft edge differ; the knob itself does not.
    EXPECT_LT(alphaMismatch, w * h / 100);
    ASSERT_GT(pointerFirst, 10);
    EXPECT_GT((double)pointerBoth / pointerFirst, 0.6);
  }
}

TEST(Artwork, KnobsAreTransparentAroundAndOpaqueInTheMiddle) {
  for (int id : kKnobIds) {
    const Expected& e = ImageById(id);
    SCOPED_TRACE(e.file);
    std::unique_ptr<LICE_IBitmap> strip = DecodeEmbedded(id);
    ASSERT_NE(strip, nullptr);
    const int w = e.width, h = e.frameHeight;
    for (int f = 0; f < e.frames; ++f) {
      const int top = f * h;
      for (int d = 0; d < 4; ++d) {
        EXPECT_EQ(LICE_PixelAlpha(At(strip.get(), d, top + d)), 0);
        EXPECT_EQ(LICE_PixelAlpha(At(strip.get(), w - 1 - d, top + d)), 0);
        EXPECT_EQ(LICE_PixelAlpha(At(strip.get(), d, top + h - 1 - d)), 0);
        EXPECT_EQ(LICE_PixelAlpha(At(strip.get(), w - 1 - d, top + h - 1 - d)), 0);
      }
      // Nothing bleeds across a frame edge: the top row is clear.
      for (int x = 0; x < w; ++x)
        ASSERT_EQ(LICE_PixelAlpha(At(strip.get(), x, top)), 0) << f;
      EXPECT_EQ(LICE_PixelAlpha(At(strip.get(), w / 2, top + h / 2)), 255);
    }
  }
}

TEST(Artwork, ScalesSitJustOutsideEachKnobOnTheBackground) {
  std::unique_ptr<LICE_IBitmap> bg = DecodeEmbedded(101);
  ASSERT_NE(bg, nullptr);
  for (int id : kKnobIds) {
    const Expected& e = ImageById(id);
    SCOPED_TRACE(e.file);
    std::unique_ptr<LICE_IBitmap> strip = DecodeEmbedded(id);
    ASSERT_NE(strip, nullptr);
    // The knob's radius straight up from its centre (where its shadow does
    // not reach), from frame 1.
    const int fx = e.width / 2, fy = e.frameHeight / 2;
    int knobRadius = 0;
    while (fy - knobRadius > 0 && LICE_PixelAlpha(At(strip.get(), fx, fy - knobRadius)) >= 128)
      ++knobRadius;
    ASSERT_GT(knobRadius, 10);
    // On the background, above the knob's centre: the top tick of the scale,
    // bright on the dark panel, outside the knob but within a few pixels.
    const int bx = e.x + fx, by = e.y + fy;
    int tick = -1;
    for (int r = knobRadius; r < knobRadius + 8 && by - r >= 0; ++r) {
      if (Light(At(bg.get(), bx, by - r)) > 140.0) {
        tick = r;
        break;
      }
    }
    EXPECT_GE(tick, knobRadius) << "no scale mark just above the knob";
    // Under the knob's middle, the panel itself is dark.
    EXPECT_LT(Light(At(bg.get(), bx + 2, by + 2)), 110.0);
  }
}

TEST(Artwork, MeterNeedleSweepsFromFarLeftToFarRightOverAnOpaqueFace) {
  const Expected& e = ImageById(110);
  std::unique_ptr<LICE_IBitmap> strip = DecodeEmbedded(110);
  ASSERT_NE(strip, nullptr);
  // The needle turns about a point below the face; measure its direction
  // seen from there with the same mean-difference method.
  const int w = e.width, h = e.frameHeight;
  std::vector<double> xs;
  std::vector<double> mean((size_t)w * h, 0.0);
  for (int f = 0; f < e.frames; ++f)
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        mean[(size_t)y * w + x] += Light(At(strip.get(), x, f * h + y)) / e.frames;
  for (int f = 0; f < e.frames; ++f) {
    double sx = 0.0, sw = 0.0;
    for (int y = h / 3; y < h - 4; ++y) {
      for (int x = 0; x < w; ++x) {
        const LICE_PixelWord p = At(strip.get(), x, f * h + y);
        ASSERT_EQ(LICE_PixelAlpha(p), 255);
        const double d = mean[(size_t)y * w + x] - Light(p); // the needle is dark
        if (d > 60.0) sx += x * d, sw += d;                  // the needle, not its faint shadow
      }
    }
    ASSERT_GT(sw, 0.0) << "no needle in frame " << f;
    xs.push_back(sx / sw);
  }
  EXPECT_LT(xs[0], w * 0.3);
  EXPECT_NEAR(xs[60], w * 0.5, 4.0);
  EXPECT_GT(xs[120], w * 0.7);
  for (int f = 1; f < e.frames; ++f)
    EXPECT_GT(xs[f], xs[f - 1]) << "frame " << f;
}

TEST(Artwork, BypassButtonIsLitInTheFirstFrameAndDarkInTheSecond) {
  const Expected& e = ImageById(102);
  std::unique_ptr<LICE_IBitmap> strip = DecodeEmbedded(102);
  ASSERT_NE(strip, nullptr);
  double light[2] = {0.0, 0.0}, warmth[2] = {0.0, 0.0};
  for (int f = 0; f < 2; ++f) {
    const int top = f * e.frameHeight;
    int n = 0;
    for (int y = e.frameHeight / 4; y < e.frameHeight * 3 / 4; ++y) {
      for (int x = e.width / 4; x < e.width * 3 / 4; ++x) {
        const LICE_PixelWord p = At(strip.get(), x, top + y);
        light[f] += Light(p);
        warmth[f] += LICE_PixelRed(p) - LICE_PixelBlue(p);
        ++n;
      }
    }
    light[f] /= n;
    warmth[f] /= n;
    EXPECT_EQ(LICE_PixelAlpha(At(strip.get(), 0, top)), 0);
  }
  EXPECT_GT(light[0], light[1] + 60.0);
  EXPECT_GT(warmth[0], 80.0); // a warm glow, not a white one
}

TEST(Artwork, BackgroundIsOpaque) {
  std::unique_ptr<LICE_IBitmap> bg = DecodeEmbedded(101);
  ASSERT_NE(bg, nullptr);
  for (int y = 0; y < bg->Height(); ++y)
    for (int x = 0; x < bg->Width(); ++x)
      ASSERT_EQ(LICE_PixelAlpha(At(bg.get(), x, y)), 255);
}
