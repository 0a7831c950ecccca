#include "LICE_CachedFont.h"
#include "LICE_Composite.h"
#include "LICE_MemBitmap.h"
#include "LICE_SysBitmap.h"
#include "TestBitmaps.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <set>

namespace {

const LICE_PixelWord kBlack = 0xFF000000, kWhite = 0xFFFFFFFF;

// A cached font on the face the editor's text styles name by default.
std::unique_ptr<LICE_CachedFont> MakeFont(int height, int flags = 0, int quality = 0) {
  LICE_FontHandle handle = LICE_CreateSystemFont("Verdana", height, 400, false, 0, quality);
  if (!handle) return nullptr;
  std::unique_ptr<LICE_CachedFont> font(new LICE_CachedFont());
  font->SetSystemFont(handle, flags | LICE_FONT_OWNS_HANDLE);
  return font;
}

struct Box {
  int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
  bool Empty() const { return left > right; }
};

// Bounding box (inclusive) of the pixels that differ from the background.
Box InkBox(LICE_IBitmap& b, LICE_PixelWord background) {
  Box box;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.Pixels()[y * b.RowSpan() + x] != background) {
        if (x < box.left) box.left = x;
        if (x > box.right) box.right = x;
        if (y < box.top) box.top = y;
        if (y > box.bottom) box.bottom = y;
      }
  return box;
}

LICE_MemBitmap* Canvas(int w, int h, LICE_PixelWord colour) {
  LICE_MemBitmap* b = new LICE_MemBitmap(w, h);
  LICE_FillArea(b, 0, 0, w, h, colour);
  return b;
}

int Measure(LICE_CachedFont& font, const char* text, unsigned flags, int* height = nullptr) {
  LICE_Rect r = {10, 20, 10, 20};
  int result = font.DrawText(nullptr, text, -1, &r, flags | LICE_TEXT_MEASURE);
  if (height) *height = r.bottom - r.top;
  EXPECT_EQ(r.right - r.left, result) << text;
  return result;
}

// A face's ascent and descent are rounded separately, so the line height of
// the face actually chosen may miss the requested cell height by a pixel
// (Wine's rasteriser gives 11 for 12 with the suite's face); what the text
// drawing guarantees is that its lines hold the face's glyphs.
TEST(CachedFont, FallsBackToAnInstalledFaceWithTheRequestedCellHeight) {
  for (int height : {12, 15, 32}) {
    SCOPED_TRACE(height);
    std::unique_ptr<LICE_CachedFont> font = MakeFont(height);
    ASSERT_NE(font, nullptr);
    EXPECT_NE(font->SystemFont(), nullptr);
    const int line = font->LineHeight();
    EXPECT_NEAR(line, height, 1);
    EXPECT_GT(Measure(*font, "Verdana", 0), 0);
    // Two lines of tall and descending glyphs: each line's ink stays inside
    // its own LineHeight rows and fills most of them.
    std::unique_ptr<LICE_MemBitmap> b(Canvas(200, 3 * line, kBlack));
    LICE_Rect box = {0, 0, 200, 3 * line};
    font->SetTextColour(kWhite);
    font->DrawText(b.get(), "Hg|\nHg|", -1, &box, 0);
    std::unique_ptr<LICE_MemBitmap> first(Canvas(200, line, kBlack));
    LICE_Rect firstBox = {0, 0, 200, line};
    font->DrawText(first.get(), "Hg|", -1, &firstBox, 0);
    const Box all = InkBox(*b, kBlack), one = InkBox(*first, kBlack);
    ASSERT_FALSE(one.Empty());
    EXPECT_GE(one.top, 0);
    EXPECT_LT(one.bottom, line);
    EXPECT_GT(one.bottom - one.top + 1, line / 2);
    EXPECT_EQ(all.top, one.top);
    EXPECT_EQ(all.bottom, one.bottom + line);
  }
}

TEST(CachedFont, RasterisesEachCharacterOnce) {
  std::unique_ptr<LICE_CachedFont> font = MakeFont(15);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font->FindGlyph('A'), nullptr); // nothing is rendered before use
  EXPECT_EQ(font->GlyphHeapBytes(), 0u);
  std::unique_ptr<LICE_MemBitmap> b(Canvas(200, 40, kBlack));
  LICE_Rect box = {0, 0, 200, 40};
  font->SetTextColour(kWhite);
  font->DrawText(b.get(), "AAAA", -1, &box, 0);
  const LICE_GlyphRecord* a = font->FindGlyph('A');
  ASSERT_NE(a, nullptr);
  EXPECT_GT(a->heapOffset, 0);
  EXPECT_EQ(a->code, 'A');
  const size_t heap = font->GlyphHeapBytes();
  EXPECT_EQ(heap, (size_t)a->width * a->height); // one map for four characters
  const int offset = a->heapOffset;

  font->DrawText(b.get(), "AA", -1, &box, 0);
  EXPECT_TRUE(font->DrawGlyph(b.get(), 'A', 50, 5, nullptr));
  EXPECT_EQ(font->GlyphHeapBytes(), heap);
  EXPECT_EQ(font->FindGlyph('A')->heapOffset, offset);

  font->DrawText(b.get(), "B", -1, &box, 0);
  ASSERT_NE(font->FindGlyph('B'), nullptr);
  EXPECT_GT(font->GlyphHeapBytes(), heap);
  EXPECT_EQ(font->FindGlyph('C'), nullptr);
}

// With inverted coverage no column is empty, so nothing is trimmed and the map
// shows the whole rendered area: the advance plus a margin on either side.
// The margin depends on the line height of the face actually chosen (which
// can skip values: Wine gives DejaVu Sans at 32 pixels a line of 31), so
// every line height from 10 to 50 is checked against the rule, 2 pixels below
// 16 and height / 16 + 2 from there (15 -> 2, 32 -> 4).
TEST(CachedFont, GlyphMarginsFollowTheLineHeight) {
  std::set<int> margins;
  for (int height = 10; height <= 50; ++height) {
    std::unique_ptr<LICE_CachedFont> font = MakeFont(height, LICE_FONT_INVERT);
    ASSERT_NE(font, nullptr);
    const int line = font->LineHeight();
    const int margin = line < 16 ? 2 : line / 16 + 2;
    margins.insert(margin);
    LICE_Rect r = {0, 0, 0, 0};
    font->DrawText(nullptr, "H", 1, &r, LICE_TEXT_MEASURE);
    const LICE_GlyphRecord* g = font->FindGlyph('H');
    ASSERT_NE(g, nullptr);
    EXPECT_GT(g->advance, 0);
    EXPECT_EQ(g->bearing, margin) << line;
    EXPECT_EQ(g->width, g->advance + 2 * margin) << line;
    EXPECT_EQ(g->height, line);
  }
  EXPECT_EQ(margins, (std::set<int>{2, 3, 4, 5}));
  // Normally the empty columns are trimmed: the map is narrower and the
  // bearing smaller by the trimmed columns.
  std::unique_ptr<LICE_CachedFont> font = MakeFont(32);
  ASSERT_NE(font, nullptr);
  const int margin = font->LineHeight() / 16 + 2;
  LICE_Rect r = {0, 0, 0, 0};
  font->DrawText(nullptr, "H", 1, &r, LICE_TEXT_MEASURE);
  const LICE_GlyphRecord* g = font->FindGlyph('H');
  ASSERT_NE(g, nullptr);
  EXPECT_LT(g->width, g->advance + 2 * margin);
  EXPECT_LE(g->bearing, margin);
  EXPECT_GT(g->bearing, margin - g->advance);
}

TEST(CachedFont, MeasuresAdvancesLinesAndSpacing) {
  std::unique_ptr<LICE_CachedFont> font = MakeFont(15);
  ASSERT_NE(font, nullptr);
  const int a = Measure(*font, "A", 0), b = Measure(*font, "B", 0), space = Measure(*font, " ", 0);
  ASSERT_GT(a, 0);
  ASSERT_GT(space, 0);
  int h = 0;
  EXPECT_EQ(Measure(*font, "AB", 0, &h), a + b);
  EXPECT_EQ(h, 15);
  EXPECT_EQ(Measure(*font, "A\rB", 0, &h), a + b); // carriage returns take no room
  EXPECT_EQ(font->FindGlyph('\r'), nullptr);       // nor are they rendered
  EXPECT_EQ(Measure(*font, "AB\nA", 0, &h), a + b);
  EXPECT_EQ(h, 30);
  EXPECT_EQ(Measure(*font, "", 0, &h), 0);
  font->SetExtraLineSpacing(3);
  Measure(*font, "A\nB\nA", 0, &h);
  EXPECT_EQ(h, 3 * 15 + 2 * 3);
}

TEST(CachedFont, SingleLineTextTreatsLineFeedsAsSpaces) {
  std::unique_ptr<LICE_CachedFont> font = MakeFont(15);
  ASSERT_NE(font, nullptr);
  const int a = Measure(*font, "A", 0), b = Measure(*font, "B", 0), space = Measure(*font, " ", 0);
  int h = 0;
  EXPECT_EQ(Measure(*font, "AB\nAB", LICE_TEXT_SINGLELINE, &h), 2 * (a + b) + space);
  EXPECT_EQ(h, 15);

  std::unique_ptr<LICE_MemBitmap> bm(Canvas(300, 80, kBlack));
  font->SetTextColour(kWhite);
  LICE_Rect box = {5, 10, 300, 80};
  font->DrawText(bm.get(), "AB\nAB", -1, &box, LICE_TEXT_SINGLELINE);
  Box ink = InkBox(*bm, kBlack);
  ASSERT_FALSE(ink.Empty());
  EXPECT_GE(ink.top, 10);
  EXPECT_LT(ink.bottom, 25);                      // one line
  EXPECT_GT(ink.right - ink.left, a + b + space); // the second pair sits after a space

  std::unique_ptr<LICE_MemBitmap> two(Canvas(300, 80, kBlack));
  font->DrawText(two.get(), "AB\nAB", -1, &box, 0);
  ink = InkBox(*two, kBlack);
  EXPECT_GE(ink.bottom, 25); // the second line is drawn below
  EXPECT_LE(ink.right - ink.left, a + b);
}

TEST(CachedFont, AlignsWithinTheBox) {
  std::unique_ptr<LICE_CachedFont> font = MakeFont(15);
  ASSERT_NE(font, nullptr);
  font->SetTextColour(kWhite);
  const int adv = Measure(*font, "H", 0);
  const LICE_GlyphRecord* g = font->FindGlyph('H');
  ASSERT_NE(g, nullptr);
  const LICE_Rect box = {20, 10, 121, 70}; // 101 x 60
  const struct {
    unsigned flags;
    int pen, top;
  } cases[] = {
      {0, 20, 10},
      {LICE_TEXT_CENTRE, 20 + (101 - adv) / 2, 10},
      {LICE_TEXT_RIGHT, 121 - adv, 10},
      {LICE_TEXT_VCENTRE, 20, 10 + (60 - 15) / 2},
      {LICE_TEXT_BOTTOM | LICE_TEXT_RIGHT, 121 - adv, 70 - 15},
  };
  for (const auto& c : cases) {
    std::unique_ptr<LICE_MemBitmap> bm(Canvas(160, 90, kBlack));
    LICE_Rect r = box;
    font->DrawText(bm.get(), "H", -1, &r, c.flags);
    Box ink = InkBox(*bm, kBlack);
    ASSERT_FALSE(ink.Empty()) << c.flags;
    // Trimmed maps start and end with inked columns.
    EXPECT_EQ(ink.left, c.pen - g->bearing) << c.flags;
    EXPECT_EQ(ink.right, c.pen - g->bearing + g->width - 1) << c.flags;
    EXPECT_GE(ink.top, c.top) << c.flags;
    EXPECT_LT(ink.bottom, c.top + 15) << c.flags;
  }
}

TEST(CachedFont, ClipsToTheBoxUnlessToldNotTo) {
  std::unique_ptr<LICE_CachedFont> font = MakeFont(15);
  ASSERT_NE(font, nullptr);
  font->SetTextColour(kWhite);
  std::unique_ptr<LICE_MemBitmap> bm(Canvas(200, 40, kBlack));
  LICE_Rect box = {10, 5, 30, 12};
  font->DrawText(bm.get(), "WWWWWW", -1, &box, 0);
  Box ink = InkBox(*bm, kBlack);
  ASSERT_FALSE(ink.Empty());
  EXPECT_GE(ink.left, 10);
  EXPECT_LE(ink.right, 29);
  EXPECT_GE(ink.top, 5);
  EXPECT_LE(ink.bottom, 11);

  std::unique_ptr<LICE_MemBitmap> free(Canvas(200, 40, kBlack));
  font->DrawText(free.get(), "WWWWWW", -1, &box, LICE_TEXT_NOCLIP);
  ink = InkBox(*free, kBlack);
  EXPECT_GT(ink.right, 29);
  EXPECT_GT(ink.bottom, 11);
}

TEST(CachedFont, CombinesCoverageWithColourAndOpacity) {
  std::unique_ptr<LICE_CachedFont> font = MakeFont(15, LICE_FONT_MONO);
  ASSERT_NE(font, nullptr);
  const LICE_PixelWord red = LICE_MakePixel(255, 0, 0, 255);
  EXPECT_EQ(font->SetTextColour(red), 0u);
  EXPECT_EQ(font->TextColour(), red);
  LICE_Rect box = {0, 0, 100, 30};
  auto colours = [](LICE_MemBitmap& b) {
    std::set<LICE_PixelWord> seen;
    for (int y = 0; y < b.Height(); ++y)
      for (int x = 0; x < b.Width(); ++x)
        seen.insert(b.Pixels()[y * b.RowSpan() + x]);
    return seen;
  };

  std::unique_ptr<LICE_MemBitmap> full(Canvas(100, 30, kBlack));
  font->DrawText(full.get(), "Hello", -1, &box, 0);
  EXPECT_EQ(colours(*full), (std::set<LICE_PixelWord>{kBlack, red}));

  // Half opacity: R = 255 + (0 - 255) * 128 / 256 = 128; alpha stays 255.
  font->SetCombine(LICE_COMPOSE_COPY, 0.5f);
  std::unique_ptr<LICE_MemBitmap> half(Canvas(100, 30, kBlack));
  font->DrawText(half.get(), "Hello", -1, &box, 0);
  EXPECT_EQ(colours(*half), (std::set<LICE_PixelWord>{kBlack, LICE_MakePixel(128, 0, 0, 255)}));

  // The colour's alpha counts only when asked for.
  font->SetCombine(LICE_COMPOSE_COPY, 1.0f);
  font->SetTextColour(LICE_MakePixel(255, 0, 0, 128));
  std::unique_ptr<LICE_MemBitmap> alpha(Canvas(100, 30, kBlack));
  font->DrawText(alpha.get(), "Hello", -1, &box, LICE_TEXT_COLOURALPHA);
  // opacity 128/255 -> i = 128: R = 255 - 255 * 128 / 256 = 128, A = 128 + 127 * 128 / 256 = 191.
  EXPECT_EQ(colours(*alpha), (std::set<LICE_PixelWord>{kBlack, LICE_MakePixel(128, 0, 0, 191)}));

  // Zero opacity draws nothing.
  font->SetCombine(LICE_COMPOSE_COPY, 0.0f);
  std::unique_ptr<LICE_MemBitmap> none(Canvas(100, 30, kBlack));
  font->DrawText(none.get(), "Hello", -1, &box, 0);
  EXPECT_TRUE(InkBox(*none, kBlack).Empty());
}

TEST(CachedFont, AntialiasedCoverageReachesFullColourInStems) {
  std::unique_ptr<LICE_CachedFont> font = MakeFont(32, 0, 4); // antialiased quality
  ASSERT_NE(font, nullptr);
  font->SetTextColour(kWhite);
  std::unique_ptr<LICE_MemBitmap> bm(Canvas(60, 40, kBlack));
  LICE_Rect box = {0, 0, 60, 40};
  font->DrawText(bm.get(), "lo", -1, &box, 0);
  int full = 0, partial = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x) {
      LICE_PixelWord p = bm->Pixels()[y * bm->RowSpan() + x];
      if (p == kWhite)
        ++full;
      else if (p != kBlack)
        ++partial;
    }
  EXPECT_GT(full, 10);   // the stem of an "l" at 32 pixels is solid
  EXPECT_GT(partial, 0); // the round "o" has soft edges

  // Non-antialiased quality gives hard edges only.
  std::unique_ptr<LICE_CachedFont> hard = MakeFont(32, 0, 3);
  ASSERT_NE(hard, nullptr);
  hard->SetTextColour(kWhite);
  std::unique_ptr<LICE_MemBitmap> hb(Canvas(60, 40, kBlack));
  hard->DrawText(hb.get(), "lo", -1, &box, 0);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x) {
      LICE_PixelWord p = hb->Pixels()[y * hb->RowSpan() + x];
      ASSERT_TRUE(p == kWhite || p == kBlack) << x << "," << y;
    }
  EXPECT_FALSE(InkBox(*hb, kBlack).Empty());
}

TEST(CachedFont, OpaqueBackModeFillsTheCell) {
  std::unique_ptr<LICE_CachedFont> font = MakeFont(15, LICE_FONT_MONO);
  ASSERT_NE(font, nullptr);
  const LICE_PixelWord blue = LICE_MakePixel(0, 0, 255, 255);
  font->SetTextColour(kWhite);
  EXPECT_EQ(font->SetBackColour(blue), 0xFFFFFFFFu);
  EXPECT_EQ(font->SetBackMode(LICE_BACKMODE_OPAQUE), LICE_BACKMODE_TRANSPARENT);
  const int adv = Measure(*font, "o", 0);
  std::unique_ptr<LICE_MemBitmap> bm(Canvas(60, 40, kBlack));
  ASSERT_TRUE(font->DrawGlyph(bm.get(), 'o', 7, 9, nullptr));
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x) {
      LICE_PixelWord p = bm->Pixels()[y * bm->RowSpan() + x];
      bool cell = x >= 7 && x < 7 + adv && y >= 9 && y < 9 + 15;
      if (cell) {
        EXPECT_TRUE(p == blue || p == kWhite) << x << "," << y;
      } else {
        EXPECT_EQ(p, kBlack) << x << "," << y;
      }
    }
}

TEST(CachedFont, AsciiOnlyFontsRenderAtOnceAndRefuseOtherCodes) {
  std::unique_ptr<LICE_CachedFont> font = MakeFont(15, LICE_FONT_ASCII_ONLY);
  ASSERT_NE(font, nullptr);
  for (int c = 0; c < 128; ++c)
    EXPECT_NE(font->FindGlyph(c), nullptr) << c;
  std::unique_ptr<LICE_MemBitmap> bm(Canvas(60, 40, kBlack));
  EXPECT_FALSE(font->DrawGlyph(bm.get(), 0xE9, 5, 5, nullptr));
  EXPECT_EQ(font->FindGlyph(0xE9), nullptr);
  // Measuring skips what cannot be drawn.
  EXPECT_EQ(Measure(*font,
                    "A\xC3\xA9"
                    "A",
                    0),
            2 * Measure(*font, "A", 0));
}

TEST(CachedFont, CodesFromOneTwentyEightUpAreKeptSorted) {
  std::unique_ptr<LICE_CachedFont> font = MakeFont(15);
  ASSERT_NE(font, nullptr);
  font->SetTextColour(kWhite);
  std::unique_ptr<LICE_MemBitmap> bm(Canvas(200, 40, kBlack));
  LICE_Rect box = {0, 0, 200, 40};
  // Euro, e-acute, u-umlaut, a 4-byte sequence and a stray continuation byte.
  font->DrawText(bm.get(), "\xE2\x82\xAC\xC3\xA9\xC3\xBC\xF0\x9F\x98\x80\x80", -1, &box, 0);
  for (int code : {0x20AC, 0xE9, 0xFC, 0x1F600, 0x80}) {
    const LICE_GlyphRecord* g = font->FindGlyph(code);
    ASSERT_NE(g, nullptr) << std::hex << code;
    EXPECT_EQ(g->code, code);
  }
  EXPECT_EQ(font->FindGlyph(0xE8), nullptr);
  EXPECT_FALSE(InkBox(*bm, kBlack).Empty());
  const size_t heap = font->GlyphHeapBytes();
  font->DrawText(bm.get(), "\xC3\xBC\xE2\x82\xAC", -1, &box, 0);
  EXPECT_EQ(font->GlyphHeapBytes(), heap);
}

TEST(CachedFont, VeryTallFontsRenderNoGlyphs) {
  std::unique_ptr<LICE_CachedFont> font = MakeFont(1100);
  ASSERT_NE(font, nullptr);
  EXPECT_GT(font->LineHeight(), 1023);
  std::unique_ptr<LICE_MemBitmap> bm(Canvas(20, 20, kBlack));
  EXPECT_FALSE(font->DrawGlyph(bm.get(), 'A', 0, 0, nullptr));
  EXPECT_EQ(font->FindGlyph('A'), nullptr);
  EXPECT_TRUE(InkBox(*bm, kBlack).Empty());
}

TEST(CachedFont, VerticalTextTurnsTheMaps) {
  std::unique_ptr<LICE_CachedFont> across = MakeFont(15, LICE_FONT_INVERT);
  std::unique_ptr<LICE_CachedFont> down = MakeFont(15, LICE_FONT_INVERT | LICE_FONT_VERTICAL);
  std::unique_ptr<LICE_CachedFont> up =
      MakeFont(15, LICE_FONT_INVERT | LICE_FONT_VERTICAL | LICE_FONT_UPWARD);
  ASSERT_TRUE(across && down && up);
  const int adv = Measure(*across, "F", 0);
  // Measuring vertical text gives its length along the run.
  LICE_Rect r = {3, 4, 3, 4};
  EXPECT_EQ(down->DrawText(nullptr, "FF", -1, &r, LICE_TEXT_MEASURE), 2 * adv);
  EXPECT_EQ(r.right - r.left, 15);
  EXPECT_EQ(r.bottom - r.top, 2 * adv);
  r = {0, 0, 0, 0};
  down->DrawText(nullptr, "F\nF", -1, &r, LICE_TEXT_MEASURE);
  EXPECT_EQ(r.right - r.left, 30); // a line feed starts the next column
  const LICE_GlyphRecord *a = across->FindGlyph('F'), *d = down->FindGlyph('F'),
                         *u = up->FindGlyph('F');
  up->DrawText(nullptr, "F", -1, &r, LICE_TEXT_MEASURE);
  u = up->FindGlyph('F');
  ASSERT_TRUE(a && d && u);
  EXPECT_EQ(d->width, a->height);
  EXPECT_EQ(d->height, a->width);
  // Turned clockwise, then anticlockwise: compare the maps pixel by pixel.
  const unsigned char *ma = across->GlyphCoverage(*a), *md = down->GlyphCoverage(*d),
                      *mu = up->GlyphCoverage(*u);
  for (int y = 0; y < a->height; ++y)
    for (int x = 0; x < a->width; ++x) {
      ASSERT_EQ(md[x * d->width + (a->height - 1 - y)], ma[y * a->width + x]);
      ASSERT_EQ(mu[(a->width - 1 - x) * u->width + y], ma[y * a->width + x]);
    }

  // Downward text runs down the box, one column per line.
  std::unique_ptr<LICE_MemBitmap> bm(Canvas(60, 100, kBlack));
  down->SetTextColour(kWhite);
  LICE_Rect box = {10, 5, 60, 100};
  down->DrawText(bm.get(), "FFF", -1, &box, 0);
  Box ink = InkBox(*bm, kBlack);
  ASSERT_FALSE(ink.Empty());
  EXPECT_GE(ink.left, 10);
  EXPECT_LT(ink.right, 25);
  EXPECT_GE(ink.bottom - ink.top + 1, 2 * adv);
}

TEST(CachedFont, MonochromeShadowAndOutlineMaps) {
  const int flags[] = {LICE_FONT_MONO, LICE_FONT_SHADOW, LICE_FONT_OUTLINE};
  for (int f : flags) {
    std::unique_ptr<LICE_CachedFont> font = MakeFont(32, f);
    ASSERT_NE(font, nullptr);
    Measure(*font, "O", 0);
    const LICE_GlyphRecord* g = font->FindGlyph('O');
    ASSERT_NE(g, nullptr);
    const unsigned char* map = font->GlyphCoverage(*g);
    ASSERT_NE(map, nullptr);
    int effect = 0;
    auto at = [&](int x, int y) {
      return x >= 0 && y >= 0 && x < g->width && y < g->height ? map[y * g->width + x] : 0;
    };
    for (int y = 0; y < g->height; ++y)
      for (int x = 0; x < g->width; ++x) {
        int c = at(x, y);
        ASSERT_TRUE(c == 0 || c == 255 || (c == 128 && f != LICE_FONT_MONO)) << f << ": " << c;
        if (c != 128) continue;
        ++effect;
        if (f == LICE_FONT_SHADOW) {
          EXPECT_TRUE(at(x - 1, y) == 255 || at(x - 1, y - 1) == 255 || at(x, y - 1) == 255);
        } else {
          EXPECT_TRUE(at(x - 1, y) == 255 || at(x + 1, y) == 255 || at(x, y - 1) == 255 ||
                      at(x, y + 1) == 255);
        }
      }
    if (f != LICE_FONT_MONO) {
      EXPECT_GT(effect, 10) << f;
    }
  }

  // Effect pixels take the effect colour.
  std::unique_ptr<LICE_CachedFont> font = MakeFont(32, LICE_FONT_OUTLINE);
  ASSERT_NE(font, nullptr);
  const LICE_PixelWord green = LICE_MakePixel(0, 255, 0, 255);
  font->SetTextColour(kWhite);
  EXPECT_EQ(font->SetEffectColour(green), 0xFFFFFFFFu);
  std::unique_ptr<LICE_MemBitmap> bm(Canvas(60, 40, kBlack));
  font->DrawGlyph(bm.get(), 'O', 10, 2, nullptr);
  std::set<LICE_PixelWord> seen;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x)
      seen.insert(bm->Pixels()[y * bm->RowSpan() + x]);
  EXPECT_EQ(seen, (std::set<LICE_PixelWord>{kBlack, kWhite, green}));
}

TEST(CachedFont, BlurSpreadsTheCoverage) {
  std::unique_ptr<LICE_CachedFont> sharp = MakeFont(32, LICE_FONT_MONO);
  std::unique_ptr<LICE_CachedFont> soft = MakeFont(32, LICE_FONT_BLUR);
  std::unique_ptr<LICE_CachedFont> plain = MakeFont(32);
  ASSERT_TRUE(sharp && soft && plain);
  auto covered = [](LICE_CachedFont& f) {
    Measure(f, "I", 0);
    const LICE_GlyphRecord* g = f.FindGlyph('I');
    int n = 0;
    for (int k = 0; k < g->width * g->height; ++k)
      n += f.GlyphCoverage(*g)[k] != 0;
    return n;
  };
  EXPECT_GT(covered(*soft), covered(*plain));
  EXPECT_GE(soft->FindGlyph('I')->width, plain->FindGlyph('I')->width + 2);
}

TEST(CachedFont, DrawsNothingOutsideAnyBitmapWhateverTheBox) {
  std::unique_ptr<LICE_CachedFont> font = MakeFont(15);
  ASSERT_NE(font, nullptr);
  font->SetTextColour(kWhite);
  font->SetBackMode(LICE_BACKMODE_OPAQUE);
  const int values[] = {INT_MIN, -1000, -10, 0, 3, 10, 1000, INT_MAX};
  for (int l : values)
    for (int t : values)
      for (int w : {INT_MIN, -5, 0, 8, INT_MAX}) {
        GuardedBitmap bm(12, 9, 16, t == 3);
        long long right = (long long)l + w;
        if (right > INT_MAX) right = INT_MAX;
        if (right < INT_MIN) right = INT_MIN;
        LICE_Rect box = {l, t, (int)right, INT_MAX};
        for (unsigned flags :
             {0u, LICE_TEXT_NOCLIP | LICE_TEXT_CENTRE, LICE_TEXT_BOTTOM | LICE_TEXT_RIGHT})
          font->DrawText(&bm, "Wg\n\xC3\xA9j", -1, &box, flags);
        font->DrawGlyph(&bm, 'W', l, t, nullptr);
        ASSERT_TRUE(bm.GuardsIntact()) << l << "," << t << "," << w;
      }
}

TEST(CachedFont, WithoutASystemFontNothingIsDrawn) {
  LICE_CachedFont font;
  EXPECT_EQ(font.SystemFont(), nullptr);
  EXPECT_EQ(font.LineHeight(), 0);
  std::unique_ptr<LICE_MemBitmap> bm(Canvas(20, 20, kBlack));
  LICE_Rect box = {0, 0, 20, 20};
  font.SetTextColour(kWhite);
  font.DrawText(bm.get(), "Abc", -1, &box, 0);
  EXPECT_TRUE(InkBox(*bm, kBlack).Empty());
  EXPECT_EQ(font.DrawText(nullptr, "Abc", -1, &box, 0), 0); // no bitmap, not measuring
  LICE_Rect r = {0, 0, 0, 0};
  EXPECT_EQ(font.DrawText(nullptr, "Abc", -1, &r, LICE_TEXT_MEASURE), 0);
}

TEST(CachedFont, FontsComeAndGo) {
  for (int round = 0; round < 3; ++round) {
    std::unique_ptr<LICE_CachedFont> a = MakeFont(12), b = MakeFont(40);
    ASSERT_TRUE(a && b);
    std::unique_ptr<LICE_MemBitmap> bm(Canvas(100, 50, kBlack));
    LICE_Rect box = {0, 0, 100, 50};
    a->SetTextColour(kWhite);
    b->SetTextColour(kWhite);
    b->DrawText(bm.get(), "Ab", -1, &box, 0);
    a.reset();
    b->DrawText(bm.get(), "Cd", -1, &box, 0);
    EXPECT_NE(b->FindGlyph('d'), nullptr);
    EXPECT_FALSE(InkBox(*bm, kBlack).Empty());
  }
  // Rebinding a font clears its cache; an owned handle is replaced.
  std::unique_ptr<LICE_CachedFont> f = MakeFont(15);
  ASSERT_NE(f, nullptr);
  Measure(*f, "x", 0);
  ASSERT_NE(f->FindGlyph('x'), nullptr);
  f->SetSystemFont(LICE_CreateSystemFont("Verdana", 20), LICE_FONT_OWNS_HANDLE);
  EXPECT_EQ(f->FindGlyph('x'), nullptr);
  EXPECT_EQ(f->GlyphHeapBytes(), 0u);
  EXPECT_EQ(f->LineHeight(), 20);
}

#ifdef _WIN32
// Line heights above 255 always use the system's own drawing, which on
// Windows renders straight into a bitmap's context or through a shared one.
TEST(CachedFont, NativeDrawingForVeryLargeText) {
  std::unique_ptr<LICE_CachedFont> font = MakeFont(300);
  ASSERT_NE(font, nullptr);
  font->SetTextColour(kWhite);
  LICE_Rect measured = {0, 0, 0, 0};
  EXPECT_GT(font->DrawText(nullptr, "I", -1, &measured, LICE_TEXT_MEASURE), 0);
  EXPECT_GE(measured.bottom, 250);
  EXPECT_EQ(font->FindGlyph('I'), nullptr); // no glyph was cached

  std::unique_ptr<LICE_MemBitmap> mem(Canvas(300, 320, kBlack));
  LICE_Rect box = {0, 0, 300, 320};
  font->DrawText(mem.get(), "I", -1, &box, 0);
  EXPECT_FALSE(InkBox(*mem, kBlack).Empty());

  LICE_SysBitmap sys(300, 320);
  LICE_FillArea(&sys, 0, 0, 300, 320, kBlack);
  font->DrawText(&sys, "I", -1, &box, 0);
  Box ink = InkBox(sys, kBlack);
  EXPECT_FALSE(ink.Empty());
}
#endif

} // namespace
