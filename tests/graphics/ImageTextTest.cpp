#include "GraphicsTestSupport.h"

#include "IFontCache.h"
#include "IImageCache.h"
#include "LICE_Png.h"
#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <thread>

namespace {

// ---- Image resources ---------------------------------------------------------

// Resource bytes served to the headless backend: a real 6 x 9 PNG under one
// id, garbage that starts like a PNG under another, a 5-byte stub under a
// third.
constexpr int kGoodId = 9101;
constexpr int kGarbageId = 9102;
constexpr int kStubId = 9103;
std::vector<unsigned char> gGoodPng;
const unsigned char kGarbage[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13,
                                  'I',  'H', 'D', 'R', 1,    2,    3,    4,    5, 6, 7, 8};
const unsigned char kStub[] = {0x89, 'P', 'N', 'G', 0};

bool FakeResources(int id, const char* type, const unsigned char** data, size_t* size) {
  if (std::string(type) != "PNG") return false;
  if (id == kGoodId && !gGoodPng.empty()) {
    *data = gGoodPng.data();
    *size = gGoodPng.size();
    return true;
  }
  if (id == kGarbageId) {
    *data = kGarbage;
    *size = sizeof(kGarbage);
    return true;
  }
  if (id == kStubId) {
    *data = kStub;
    *size = sizeof(kStub);
    return true;
  }
  return false;
}

class ResourceImages : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    const ScratchFolder scratch("tolven-graphics");
    const std::string path = scratch.File("strip.png").string();
    auto strip = MakeStrip(6, 3, 3);
    ASSERT_TRUE(LICE_WritePng(path.c_str(), strip.get()));
    std::ifstream file(path, std::ios::binary);
    gGoodPng.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    file.close();
    std::remove(path.c_str());
    ASSERT_GT(gGoodPng.size(), 8u);
  }
  GraphicsTestPlug plug;
};

TEST_F(ResourceImages, PngResourcesAreDecodedOnlyUnderPngNames) {
  IGraphicsHeadless graphics(&plug, 20, 20);
  graphics.SetResourceFinder(&FakeResources);
  std::unique_ptr<LICE_IBitmap> wrongName(graphics.LoadImageResource(kGoodId, "img/BG.bmp"));
  EXPECT_EQ(wrongName, nullptr);
  std::unique_ptr<LICE_IBitmap> noName(graphics.LoadImageResource(kGoodId, nullptr));
  EXPECT_EQ(noName, nullptr);
  std::unique_ptr<LICE_IBitmap> image(graphics.LoadImageResource(kGoodId, "img/X.PnG"));
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->Width(), 6);
  EXPECT_EQ(image->Height(), 9);
  EXPECT_EQ(PixelAt(image.get(), 5, 8), FrameColour(3));
}

TEST_F(ResourceImages, MissingOrUndecodableImagesDrawNothing) {
  IGraphicsHeadless graphics(&plug, 40, 40);
  graphics.SetResourceFinder(&FakeResources);
  graphics.PrepareSurfaces();
  const LICE_PixelWord back = LICE_MakePixel(9, 8, 7, 255);
  LICE_FillArea(graphics.Surface(), 0, 0, 40, 40, back);
  const int ids[] = {kGarbageId, kStubId, 9199};
  for (int id : ids) {
    const IImage image = graphics.LoadImage(id, "resources/img/BAD.png", 2);
    EXPECT_EQ(image.raster, nullptr) << id;
    EXPECT_EQ(image.frameCount, 2);
    auto* control = new IBitmapControl(&plug, 3, 3, -1, image, IBlend::BlendReplace);
    EXPECT_EQ(control->Area(), IBox(3, 3, 3, 3));
    graphics.AddControl(control);
  }
  graphics.SetResourceFinder(nullptr);
  EXPECT_EQ(graphics.LoadImage(kGoodId, "good.png", 1).raster, nullptr);
  graphics.Redraw(IBox(0, 0, 40, 40));
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x)
      ASSERT_EQ(PixelAt(graphics.Surface(), x, y), back);
}

TEST(ImageCache, EachIdIsLoadedOnceAndSharedByEveryEditor) {
  GraphicsTestPlug plug;
  ScriptedGraphics first(&plug, 10, 10), second(&plug, 10, 10);
  const int id = FreshImageId();
  first.servedId = second.servedId = id;
  first.servedW = second.servedW = 7;
  first.servedH = second.servedH = 30;
  const int cached = IImageCache::Size();
  const IImage a = first.LoadImage(id, "a.png", 3);
  const IImage b = first.LoadImage(id, "other name.png", 5); // the name is not compared
  const IImage c = second.LoadImage(id, "a.png", 3);
  EXPECT_EQ(first.loads, 1);
  EXPECT_EQ(second.loads, 0);
  ASSERT_NE(a.raster, nullptr);
  EXPECT_EQ(b.raster, a.raster);
  EXPECT_EQ(c.raster, a.raster);
  EXPECT_EQ(IImageCache::Size(), cached + 1);
  EXPECT_EQ(a.width, 7);
  EXPECT_EQ(a.height, 30);
  EXPECT_EQ(b.frameCount, 5);
  EXPECT_FALSE(a.framesHorizontal);
}

TEST(ImageCache, FailedLoadsAreNotCachedAndRetried) {
  GraphicsTestPlug plug;
  ScriptedGraphics graphics(&plug, 10, 10);
  const int id = FreshImageId();
  const int cached = IImageCache::Size();
  EXPECT_EQ(graphics.LoadImage(id, "x.png", 1).raster, nullptr);
  EXPECT_EQ(graphics.LoadImage(id, "x.png", 1).raster, nullptr);
  EXPECT_EQ(graphics.loads, 2);
  EXPECT_EQ(IImageCache::Size(), cached);
  graphics.servedId = id; // the resource turns up
  graphics.servedW = graphics.servedH = 4;
  EXPECT_NE(graphics.LoadImage(id, "x.png", 1).raster, nullptr);
  EXPECT_EQ(IImageCache::Size(), cached + 1);
}

TEST(ImageCache, ConcurrentLoadsOfOneIdKeepOneRaster) {
  GraphicsTestPlug plug;
  const int id = FreshImageId();
  const int cached = IImageCache::Size();
  std::vector<std::unique_ptr<ScriptedGraphics>> editors;
  for (int t = 0; t < 4; ++t) {
    editors.push_back(std::make_unique<ScriptedGraphics>(&plug, 10, 10));
    editors.back()->servedId = id;
    editors.back()->servedW = editors.back()->servedH = 16;
  }
  std::vector<LICE_IBitmap*> rasters(4, nullptr);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&, t] { rasters[t] = editors[t]->LoadImage(id, "x.png", 1).raster; });
  for (auto& thread : threads)
    thread.join();
  for (int t = 0; t < 4; ++t) {
    ASSERT_NE(rasters[t], nullptr);
    EXPECT_EQ(rasters[t], rasters[0]);
  }
  EXPECT_EQ(IImageCache::Size(), cached + 1);
}

// ---- Text ----------------------------------------------------------------------

TEST(RenderText, MeasuringPlacesTheExtentByAlignment) {
  GraphicsTestPlug plug;
  IGraphicsHeadless graphics(&plug, 200, 60);
  graphics.PrepareSurfaces();
  ITextStyle style("Verdana", 14, IArgb(255, 255, 255, 255));
  IBox centre(20, 10, 120, 40);
  ASSERT_TRUE(graphics.MeasureText(style, "Level", centre));
  ASSERT_NE(style.cachedFont, nullptr);
  const int width = centre.W();
  const int height = centre.H();
  EXPECT_GT(width, 10);
  EXPECT_LT(width, 100);
  EXPECT_GT(height, 5);
  EXPECT_EQ(centre.T, 10);
  EXPECT_EQ(centre.L, 70 - width / 2);

  ITextStyle far = style;
  far.align = ITextStyle::AlignFar;
  IBox right(20, 10, 120, 40);
  ASSERT_TRUE(graphics.MeasureText(far, "Level", right));
  EXPECT_EQ(right, IBox(120 - width, 10, 120, 10 + height));
  ITextStyle near = style;
  near.align = ITextStyle::AlignNear;
  IBox left(20, 10, 120, 40);
  ASSERT_TRUE(graphics.MeasureText(near, "Level", left));
  EXPECT_EQ(left, IBox(20, 10, 20 + width, 10 + height));

  // Nothing to measure: the area stays as it is.
  IBox untouched(1, 2, 3, 4);
  EXPECT_TRUE(graphics.MeasureText(style, "", untouched));
  EXPECT_EQ(untouched, IBox(1, 2, 3, 4));
}

TEST(RenderText, DrawsInTheStyleColourWithinTheArea) {
  GraphicsTestPlug plug;
  IGraphicsHeadless graphics(&plug, 120, 40);
  graphics.PrepareSurfaces();
  LICE_FillArea(graphics.Surface(), 0, 0, 120, 40, LICE_MakePixel(0, 0, 0, 255));
  ITextStyle style("Verdana", 20, IArgb(255, 255, 0, 0), ITextStyle::StyleBold,
                   ITextStyle::AlignNear);
  IBox area(4, 4, 116, 36);
  ASSERT_TRUE(graphics.RenderText(style, "HIM", area));
  int lit = 0;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 120; ++x) {
      const LICE_PixelWord p = PixelAt(graphics.Surface(), x, y);
      if (LICE_PixelRed(p) == 0) continue;
      ++lit;
      EXPECT_EQ(LICE_PixelGreen(p), 0);
      EXPECT_TRUE(area.Contains(x, y)) << x << "," << y;
    }
  }
  EXPECT_GT(lit, 30);
}

TEST(RenderText, FontsAreSharedByEqualStyles) {
  ITextStyle a("Verdana", 17, IArgb()), b("Verdana", 17, IArgb(255, 1, 2, 3)),
      c("Verdana", 18, IArgb());
  const int before = IFontCache::Size();
  LICE_IFont* fa = IFontCache::Get(a);
  LICE_IFont* fb = IFontCache::Get(b); // colour is not part of the key
  LICE_IFont* fc = IFontCache::Get(c);
  ASSERT_NE(fa, nullptr);
  EXPECT_EQ(fa, fb);
  EXPECT_NE(fa, fc);
  EXPECT_EQ(IFontCache::Size(), before + 2);
  // The size is the cell height, up to the face's own rounding.
  EXPECT_NEAR(fa->LineHeight(), 17, 1);
  EXPECT_GE(fc->LineHeight(), fa->LineHeight());
}

} // namespace

#if defined(TOLVEN_HAVE_MODULE_RESOURCES)
namespace {

// The headless backend finds the editor's own images in the program.
TEST(ModuleImages, HeadlessBackendLoadsTheEmbeddedStrips) {
  GraphicsTestPlug plug;
  IGraphicsHeadless graphics(&plug, 135, 662);
  const struct {
    int id;
    const char* name;
    int width, height;
  } images[] = {{101, "resources/img/BG.png", 135, 692},  {102, "resources/img/BY.png", 79, 88},
                {103, "resources/img/HG.png", 73, 4209},  {105, "resources/img/LG.png", 73, 3965},
                {106, "resources/img/IN.png", 104, 6222}, {110, "resources/img/VU.png", 127, 8107}};
  for (const auto& image : images) {
    std::unique_ptr<LICE_IBitmap> raster(graphics.LoadImageResource(image.id, image.name));
    ASSERT_NE(raster, nullptr) << image.name;
    EXPECT_EQ(raster->Width(), image.width) << image.name;
    EXPECT_EQ(raster->Height(), image.height) << image.name;
  }
  EXPECT_EQ(graphics.LoadImageResource(108, "resources/img/none.png"), nullptr);
}

} // namespace
#endif
