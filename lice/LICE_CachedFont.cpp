#include "LICE_CachedFont.h"

#include "LICE_Blend.h"
#include "LICE_Composite.h"
#include "LICE_FontBackend.h"
#include "LICE_SysBitmap.h"
#include "LICE_Utf8.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace backend = lice_font_backend;

namespace {

// Shared by all cached fonts: the surface glyphs are rasterised in, and one for
// native drawing into bitmaps that have no drawing context. Both go with the
// last live font. Fonts are used on the editor's thread only.
LICE_SysBitmap* gScratch = nullptr;
LICE_SysBitmap* gNativeSurface = nullptr;
int gLiveFonts = 0;

const int kNoNativeExtension = 0x59555678;
const int kMaxLineHeight = 1023;
const int kMaxGlyphArea = 8192; // a character wider or taller than this is not drawn
const size_t kHeapBlock = 65536;
const size_t kListBlock = 4096;

// Makes the surface at least w x h; its context is set up again after a resize.
LICE_SysBitmap* Surface(LICE_SysBitmap*& surface, int w, int h, bool prepare) {
  if (!surface) surface = new (std::nothrow) LICE_SysBitmap();
  if (!surface) return nullptr;
  if (surface->Width() < w || surface->Height() < h) {
    surface->Resize(surface->Width() > w ? surface->Width() : w,
                    surface->Height() > h ? surface->Height() : h);
    if (prepare) backend::PrepareScratch(surface);
  }
  if (!surface->Pixels() || surface->Width() < w || surface->Height() < h) return nullptr;
  return surface;
}

int Margin(int lineHeight) {
  return lineHeight < 16 ? 2 : lineHeight / 16 + 2;
}

// Three-tap [1 2 1] blur across rows and columns, edges repeated.
void Blur(unsigned char* map, int w, int h) {
  unsigned char* line = (unsigned char*)malloc((size_t)(w > h ? w : h));
  if (!line) return;
  for (int y = 0; y < h; ++y) {
    unsigned char* row = map + (size_t)y * w;
    memcpy(line, row, (size_t)w);
    for (int x = 0; x < w; ++x) {
      int l = line[x > 0 ? x - 1 : x], r = line[x + 1 < w ? x + 1 : x];
      row[x] = (unsigned char)((l + 2 * line[x] + r + 2) / 4);
    }
  }
  for (int x = 0; x < w; ++x) {
    for (int y = 0; y < h; ++y)
      line[y] = map[(size_t)y * w + x];
    for (int y = 0; y < h; ++y) {
      int u = line[y > 0 ? y - 1 : y], d = line[y + 1 < h ? y + 1 : y];
      map[(size_t)y * w + x] = (unsigned char)((u + 2 * line[y] + d + 2) / 4);
    }
  }
  free(line);
}

// Coverage above 130 becomes full, the rest empty.
void Threshold(unsigned char* map, size_t n) {
  for (size_t k = 0; k < n; ++k)
    map[k] = map[k] > 130 ? 255 : 0;
}

// Empty pixels next to full ones get coverage 128: the neighbours to the left,
// upper left and above for a shadow, the four direct ones for an outline.
void MarkEffect(unsigned char* map, int w, int h, bool outline) {
  auto full = [&](int x, int y) {
    return x >= 0 && y >= 0 && x < w && y < h && map[(size_t)y * w + x] == 255;
  };
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      unsigned char& c = map[(size_t)y * w + x];
      if (c) continue;
      bool touch = outline ? (full(x - 1, y) || full(x + 1, y) || full(x, y - 1) || full(x, y + 1))
                           : (full(x - 1, y) || full(x - 1, y - 1) || full(x, y - 1));
      if (touch) c = 128;
    }
  }
}

struct ClipBox {
  int left, top, right, bottom;
  bool Empty() const { return left >= right || top >= bottom; }
};

ClipBox Intersect(LICE_IBitmap* bitmap, const LICE_Rect* clip) {
  ClipBox c = {0, 0, bitmap->Width(), bitmap->Height()};
  if (clip) {
    if (clip->left > c.left) c.left = clip->left;
    if (clip->top > c.top) c.top = clip->top;
    if (clip->right < c.right) c.right = clip->right;
    if (clip->bottom < c.bottom) c.bottom = clip->bottom;
  }
  return c;
}

long NextChar(const unsigned char*& p, const unsigned char* end) {
  return lice_utf8::Next(p, end, false);
}

} // namespace

LICE_CachedFont::LICE_CachedFont() {
  ++gLiveFonts;
  ResetCache();
}

LICE_CachedFont::~LICE_CachedFont() {
  if ((mFontFlags & LICE_FONT_OWNS_HANDLE) && mFont) LICE_DestroySystemFont(mFont);
  free(mSorted);
  free(mHeap);
  if (--gLiveFonts == 0) {
    delete gScratch;
    delete gNativeSurface;
    gScratch = nullptr;
    gNativeSurface = nullptr;
  }
}

void LICE_CachedFont::ResetCache() {
  for (int c = 0; c < 128; ++c)
    mDirect[c] = LICE_GlyphRecord{0, 0, 0, 0, c, 0};
  mSortedCount = 0;
  mHeapUsed = 0;
}

void LICE_CachedFont::SetSystemFont(LICE_FontHandle font, int flags) {
  if ((mFontFlags & LICE_FONT_OWNS_HANDLE) && mFont && mFont != font) LICE_DestroySystemFont(mFont);
  mFontFlags = flags;
  mFont = font;
  mLineHeight = 0;
  if (font) {
    LICE_SysBitmap* scratch = Surface(gScratch, 256, 256, true);
    if (scratch) mLineHeight = backend::LineHeight(scratch, font);
  }
  ResetCache();
  if (flags & LICE_FONT_ASCII_ONLY)
    for (int c = 0; c < 128; ++c)
      Glyph(c);
}

LICE_PixelWord LICE_CachedFont::SetTextColour(LICE_PixelWord colour) {
  LICE_PixelWord previous = mTextColour;
  mTextColour = colour;
  return previous;
}

LICE_PixelWord LICE_CachedFont::SetBackColour(LICE_PixelWord colour) {
  LICE_PixelWord previous = mBackColour;
  mBackColour = colour;
  return previous;
}

LICE_PixelWord LICE_CachedFont::SetEffectColour(LICE_PixelWord colour) {
  LICE_PixelWord previous = mEffectColour;
  mEffectColour = colour;
  return previous;
}

int LICE_CachedFont::SetBackMode(int mode) {
  int previous = mBackMode;
  mBackMode = mode;
  return previous;
}

void LICE_CachedFont::SetCombine(int mode, float opacity) {
  mComposeMode = mode;
  mOpacity = opacity;
}

const LICE_GlyphRecord* LICE_CachedFont::FindGlyph(int code) const {
  if (code < 0) return nullptr;
  if (code < 128) return mDirect[code].heapOffset ? &mDirect[code] : nullptr;
  int lo = 0, hi = mSortedCount;
  while (lo < hi) {
    int mid = lo + (hi - lo) / 2;
    if (mSorted[mid].code < code)
      lo = mid + 1;
    else
      hi = mid;
  }
  return lo < mSortedCount && mSorted[lo].code == code ? &mSorted[lo] : nullptr;
}

const unsigned char* LICE_CachedFont::GlyphCoverage(const LICE_GlyphRecord& record) const {
  if (record.heapOffset <= 0) return nullptr;
  return mHeap + record.heapOffset - 1;
}

bool LICE_CachedFont::AppendToHeap(const unsigned char* map, size_t bytes, int& offset) {
  if (mHeapUsed + bytes > (size_t)0x7FFFFFFE) return false;
  if (mHeapUsed + bytes > mHeapCapacity) {
    size_t capacity = (mHeapUsed + bytes + kHeapBlock - 1) / kHeapBlock * kHeapBlock;
    unsigned char* grown = (unsigned char*)realloc(mHeap, capacity);
    if (!grown) return false;
    mHeap = grown;
    mHeapCapacity = capacity;
  }
  if (bytes) memcpy(mHeap + mHeapUsed, map, bytes);
  offset = (int)mHeapUsed + 1;
  mHeapUsed += bytes;
  return true;
}

bool LICE_CachedFont::InsertSorted(const LICE_GlyphRecord& record, LICE_GlyphRecord*& inserted) {
  if ((size_t)mSortedCount + 1 > mSortedCapacity) {
    size_t bytes = ((size_t)mSortedCount + 1) * sizeof(LICE_GlyphRecord);
    bytes = (bytes + kListBlock - 1) / kListBlock * kListBlock;
    LICE_GlyphRecord* grown = (LICE_GlyphRecord*)realloc(mSorted, bytes);
    if (!grown) return false;
    mSorted = grown;
    mSortedCapacity = bytes / sizeof(LICE_GlyphRecord);
  }
  int at = mSortedCount;
  while (at > 0 && mSorted[at - 1].code > record.code)
    --at;
  memmove(mSorted + at + 1, mSorted + at, (size_t)(mSortedCount - at) * sizeof(LICE_GlyphRecord));
  mSorted[at] = record;
  ++mSortedCount;
  inserted = &mSorted[at];
  return true;
}

LICE_GlyphRecord* LICE_CachedFont::Glyph(int code) {
  if (code < 0) return nullptr;
  if (code < 128) {
    LICE_GlyphRecord& record = mDirect[code];
    if (record.heapOffset == 0 && !Render(record)) return nullptr;
    return &record;
  }
  if (mFontFlags & LICE_FONT_ASCII_ONLY) return nullptr;
  if (const LICE_GlyphRecord* found = FindGlyph(code)) return const_cast<LICE_GlyphRecord*>(found);
  LICE_GlyphRecord record = {0, 0, 0, 0, code, 0};
  if (!Render(record)) return nullptr;
  LICE_GlyphRecord* inserted = nullptr;
  return InsertSorted(record, inserted) ? inserted : nullptr;
}

bool LICE_CachedFont::Render(LICE_GlyphRecord& record) {
  if (mLineHeight > kMaxLineHeight) return false;
  const int lineHeight = mLineHeight > 1 ? mLineHeight : 1;
  LICE_SysBitmap* scratch = Surface(gScratch, 2 * lineHeight + 8, 2 * lineHeight + 8, true);
  if (!scratch) return false;

  const int margin = Margin(mLineHeight);
  int measuredW = 0, measuredH = 0;
  if (!mFont || !backend::MeasureChar(scratch, mFont, record.code, &measuredW, &measuredH) ||
      measuredW < 1 || measuredH < 1 || measuredW > kMaxGlyphArea || measuredH > kMaxGlyphArea) {
    record = LICE_GlyphRecord{-1, 0, 0, 0, record.code, 0};
    return true;
  }
  const int areaW = measuredW + 2 * margin, areaH = measuredH;
  // A character wider than the usual square (a long dash, a wide ligature)
  // gets a larger surface rather than a read past its edge.
  scratch = Surface(gScratch, areaW, areaH, true);
  if (!scratch) return false;
  LICE_FillArea(scratch, 0, 0, areaW, areaH, LICE_MakePixel(0, 0, 0, 255));
  backend::DrawCharWhite(scratch, mFont, record.code, margin);

  const size_t areaBytes = (size_t)areaW * areaH;
  unsigned char* coverage = (unsigned char*)malloc(areaBytes);
  unsigned char* map = (unsigned char*)malloc(areaBytes);
  if (!coverage || !map) {
    free(coverage);
    free(map);
    return false;
  }
  const LICE_PixelWord* pixels = scratch->Pixels();
  const size_t span = (size_t)scratch->RowSpan();
  for (int y = 0; y < areaH; ++y)
    for (int x = 0; x < areaW; ++x)
      coverage[(size_t)y * areaW + x] = (unsigned char)LICE_PixelRed(pixels[y * span + x]);
  if (mFontFlags & LICE_FONT_BLUR) Blur(coverage, areaW, areaH);
  if (mFontFlags & LICE_FONT_INVERT)
    for (size_t k = 0; k < areaBytes; ++k)
      coverage[k] = (unsigned char)(255 - coverage[k]);

  // Trim the empty columns at both sides; shadow and outline keep one for
  // the effect pixels.
  auto columnEmpty = [&](int x) {
    for (int y = 0; y < areaH; ++y)
      if (coverage[(size_t)y * areaW + x]) return false;
    return true;
  };
  int left = 0, right = areaW;
  while (left < right && columnEmpty(left))
    ++left;
  while (right > left && columnEmpty(right - 1))
    --right;
  const bool effect = (mFontFlags & (LICE_FONT_SHADOW | LICE_FONT_OUTLINE)) != 0;
  if (left < right && effect) {
    if (left > 0) --left;
    if (right < areaW) ++right;
  }
  int w = right - left, h = areaH;
  int bearing = left < right ? margin - left : 0;
  if (left >= right) h = 0, w = 0;
  for (int y = 0; y < h; ++y)
    memcpy(map + (size_t)y * w, coverage + (size_t)y * areaW + left, (size_t)w);

  if ((mFontFlags & LICE_FONT_VERTICAL) && w > 0) {
    // Turned a quarter: clockwise for downward text, anticlockwise for upward.
    const bool upward = (mFontFlags & LICE_FONT_UPWARD) != 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        int nx = upward ? y : h - 1 - y;
        int ny = upward ? w - 1 - x : x;
        coverage[(size_t)ny * h + nx] = map[(size_t)y * w + x];
      }
    memcpy(map, coverage, (size_t)w * h);
    int t = w;
    w = h;
    h = t;
  }
  if (mFontFlags & (LICE_FONT_MONO | LICE_FONT_SHADOW | LICE_FONT_OUTLINE))
    Threshold(map, (size_t)w * h);
  if (effect) MarkEffect(map, w, h, (mFontFlags & LICE_FONT_OUTLINE) != 0);

  int offset = 0;
  bool stored = AppendToHeap(map, (size_t)w * h, offset);
  free(coverage);
  free(map);
  if (!stored) return false;
  record = LICE_GlyphRecord{offset, w, h, measuredW, record.code, bearing};
  return true;
}

int LICE_CachedFont::Advance(int code) {
  const LICE_GlyphRecord* record = Glyph(code);
  return record ? record->advance : 0;
}

// Run length of the line starting at p; *next is the start of the next line
// (end when this is the last one).
int LICE_CachedFont::MeasureLine(const char* p, const char* end, unsigned int flags,
                                 const char** next) {
  const unsigned char* q = (const unsigned char*)p;
  const unsigned char* e = (const unsigned char*)end;
  long long run = 0;
  while (q < e) {
    long c = NextChar(q, e);
    if (c == '\r') continue;
    if (c == '\n') {
      if (!(flags & LICE_TEXT_SINGLELINE)) break;
      c = ' ';
    }
    run += Advance((int)c);
  }
  *next = (const char*)q;
  return run > 0x3FFFFFFF ? 0x3FFFFFFF : (int)run;
}

void LICE_CachedFont::Measure(const char* text, int length, unsigned int flags, int& width,
                              int& height) {
  const char* end = text + length;
  int lines = 0, longest = 0;
  const char* p = text;
  do {
    const char* next = end;
    int run = MeasureLine(p, end, flags, &next);
    if (run > longest) longest = run;
    ++lines;
    // A line feed as the very last character still opens an (empty) line.
    if (next == end && next > p && next[-1] == '\n' && !(flags & LICE_TEXT_SINGLELINE)) ++lines;
    p = next;
  } while (p < end);
  long long across = (long long)lines * mLineHeight + (long long)(lines - 1) * mExtraLineSpacing;
  if (across > 0x3FFFFFFF) across = 0x3FFFFFFF;
  if (mFontFlags & LICE_FONT_VERTICAL) {
    width = (int)across;
    height = longest;
  } else {
    width = longest;
    height = (int)across;
  }
}

bool LICE_CachedFont::UseNativeDrawing(LICE_IBitmap* bitmap, unsigned int flags) const {
  if (!mFont || !backend::NativeTextAvailable()) return false;
  if (bitmap && bitmap->Extension(kNoNativeExtension, nullptr)) return false;
  if (mLineHeight > 255) return true;
  const int ownDrawingOnly = LICE_FONT_VERTICAL | LICE_FONT_UPWARD | LICE_FONT_ASCII_ONLY |
                             LICE_FONT_BLUR | LICE_FONT_INVERT | LICE_FONT_MONO | LICE_FONT_SHADOW |
                             LICE_FONT_OUTLINE;
  return (mFontFlags & LICE_FONT_PREFER_NATIVE) && backend::NativeTextPreferred() &&
         !(flags & (LICE_TEXT_NEEDALPHA | LICE_TEXT_COLOURALPHA)) &&
         !(mFontFlags & ownDrawingOnly) &&
         (mExtraLineSpacing == 0 || (flags & LICE_TEXT_SINGLELINE));
}

int LICE_CachedFont::DrawNative(LICE_IBitmap* bitmap, const char* text, int length, LICE_Rect* box,
                                unsigned int flags) {
  auto draw = [&](void* context, LICE_Rect* r, unsigned int f) {
    return backend::NativeDrawText(context, mFont, text, length, r, f, mTextColour, mBackMode,
                                   mBackColour);
  };
  if (flags & LICE_TEXT_MEASURE) {
    void* context = bitmap ? bitmap->DeviceContext() : nullptr;
    if (!context) {
      LICE_SysBitmap* scratch = Surface(gScratch, 1, 1, true);
      if (!scratch) return 0;
      context = scratch->DeviceContext();
    }
    draw(context, box, flags);
    return box->right - box->left;
  }
  if (void* context = bitmap->DeviceContext()) {
    LICE_Rect r = *box;
    return draw(context, &r, flags);
  }

  // No context of its own: draw into a copy of the area and compose it back.
  LICE_Rect area = *box;
  if (flags & LICE_TEXT_NOCLIP) {
    LICE_Rect m = *box;
    if (LICE_SysBitmap* scratch = Surface(gScratch, 1, 1, true))
      draw(scratch->DeviceContext(), &m, (flags | LICE_TEXT_MEASURE) & ~LICE_TEXT_NOCLIP);
    const int tw = m.right - m.left, th = m.bottom - m.top;
    int x = box->left, y = box->top;
    if (flags & LICE_TEXT_CENTRE)
      x = box->left + (box->right - box->left - tw) / 2;
    else if (flags & LICE_TEXT_RIGHT)
      x = box->right - tw;
    if (flags & LICE_TEXT_VCENTRE)
      y = box->top + (box->bottom - box->top - th) / 2;
    else if (flags & LICE_TEXT_BOTTOM)
      y = box->bottom - th;
    if (x < area.left) area.left = x;
    if (y < area.top) area.top = y;
    if (x + tw > area.right) area.right = x + tw;
    if (y + th > area.bottom) area.bottom = y + th;
  }
  if (area.left < 0) area.left = 0;
  if (area.top < 0) area.top = 0;
  if (area.right > bitmap->Width()) area.right = bitmap->Width();
  if (area.bottom > bitmap->Height()) area.bottom = bitmap->Height();
  const int aw = area.right - area.left, ah = area.bottom - area.top;
  if (aw < 1 || ah < 1) return 0;
  LICE_SysBitmap* surface = Surface(gNativeSurface, aw, ah, false);
  if (!surface || !surface->DeviceContext()) return 0;
  LICE_Composite(surface, bitmap, 0, 0, &area, 1.0f, LICE_COMPOSE_COPY);
  LICE_Rect local = {box->left - area.left, box->top - area.top, box->right - area.left,
                     box->bottom - area.top};
  int result = draw(surface->DeviceContext(), &local, flags);
  LICE_Rect back = {0, 0, aw, ah};
  LICE_Composite(bitmap, surface, area.left, area.top, &back, mOpacity, LICE_COMPOSE_COPY);
  return result;
}

int LICE_CachedFont::DrawText(LICE_IBitmap* bitmap, const char* text, int length, LICE_Rect* box,
                              unsigned int flags) {
  const bool measuring = (flags & LICE_TEXT_MEASURE) != 0;
  if (!text || !box || (!bitmap && !measuring)) return 0;
  if (length < 0) length = (int)strlen(text);

  if (UseNativeDrawing(bitmap, flags)) return DrawNative(bitmap, text, length, box, flags);

  const bool vertical = (mFontFlags & LICE_FONT_VERTICAL) != 0;
  int textW = 0, textH = 0;
  Measure(text, length, flags, textW, textH);
  if (measuring) {
    box->right = box->left + textW;
    box->bottom = box->top + textH;
    return vertical ? textH : textW;
  }

  float opacity = mOpacity;
  if (flags & LICE_TEXT_COLOURALPHA) opacity *= (float)LICE_PixelAlpha(mTextColour) / 255.0f;
  const int drawn = vertical ? textW : textH;
  if (!(opacity > 0.0f)) return drawn;

  const LICE_Rect* clip = (flags & LICE_TEXT_NOCLIP) ? nullptr : box;
  // 64-bit pen arithmetic: any box, however far out, only clips.
  const long long left = box->left, top = box->top, right = box->right, bottom = box->bottom;
  const long long boxW = right - left, boxH = bottom - top;
  const long long lineStep = (long long)mLineHeight + mExtraLineSpacing;
  const char* end = text + length;

  // "across" is the position of the current line, perpendicular to the text.
  long long across;
  if (!vertical) {
    across = top;
    if (flags & LICE_TEXT_VCENTRE)
      across = top + (boxH - textH) / 2;
    else if (flags & LICE_TEXT_BOTTOM)
      across = bottom - textH;
  } else {
    across = left;
    if (flags & LICE_TEXT_CENTRE)
      across = left + (boxW - textW) / 2;
    else if (flags & LICE_TEXT_RIGHT)
      across = right - textW;
  }

  const bool upward = (mFontFlags & LICE_FONT_UPWARD) != 0;
  const char* p = text;
  while (p < end) {
    const char* next = end;
    const int run = MeasureLine(p, end, flags, &next);
    long long pen;
    if (!vertical) {
      pen = left;
      if (flags & LICE_TEXT_CENTRE)
        pen = left + (boxW - run) / 2;
      else if (flags & LICE_TEXT_RIGHT)
        pen = right - run;
    } else {
      pen = top;
      if (flags & LICE_TEXT_VCENTRE)
        pen = top + (boxH - run) / 2;
      else if (flags & LICE_TEXT_BOTTOM)
        pen = bottom - run;
      if (upward) pen += run;
    }
    const unsigned char* q = (const unsigned char*)p;
    const unsigned char* lineEnd = (const unsigned char*)next;
    while (q < lineEnd) {
      long c = NextChar(q, lineEnd);
      if (c == '\r') continue;
      if (c == '\n') {
        if (!(flags & LICE_TEXT_SINGLELINE)) break;
        c = ' ';
      }
      const LICE_GlyphRecord* record = Glyph((int)c);
      if (!record) continue;
      if (!vertical) {
        DrawRecord(bitmap, *record, pen, across, clip, opacity);
        pen += record->advance;
      } else if (upward) {
        DrawRecord(bitmap, *record, across, pen, clip, opacity);
        pen -= record->advance;
      } else {
        DrawRecord(bitmap, *record, across, pen, clip, opacity);
        pen += record->advance;
      }
    }
    across += lineStep;
    p = next;
  }
  return drawn;
}

bool LICE_CachedFont::DrawGlyph(LICE_IBitmap* bitmap, int code, int x, int y,
                                const LICE_Rect* clip) {
  const LICE_GlyphRecord* record = Glyph(code);
  if (!record) return false;
  if (bitmap) DrawRecord(bitmap, *record, x, y, clip, mOpacity);
  return true;
}

bool LICE_CachedFont::DrawRecord(LICE_IBitmap* bitmap, const LICE_GlyphRecord& record, long long x,
                                 long long y, const LICE_Rect* clipRect, float opacity) {
  LICE_PixelWord* pixels = bitmap->Pixels();
  if (!pixels || bitmap->RowSpan() < bitmap->Width()) return false;
  ClipBox clip = Intersect(bitmap, clipRect);
  if (clip.Empty()) return true;

  const bool vertical = (mFontFlags & LICE_FONT_VERTICAL) != 0;
  const bool upward = vertical && (mFontFlags & LICE_FONT_UPWARD);
  // The character's cell and where its map lands, both from the pen.
  long long cellL = x, cellT = y, cellR, cellB, mapX = x, mapY = y;
  if (!vertical) {
    cellR = x + record.advance;
    cellB = y + mLineHeight;
    mapX = x - record.bearing;
  } else if (!upward) {
    cellR = x + mLineHeight;
    cellB = y + record.advance;
    mapY = y - record.bearing;
  } else {
    cellT = y - record.advance;
    cellR = x + mLineHeight;
    cellB = y;
    mapY = y - record.height + record.bearing;
  }

  if (mBackMode == LICE_BACKMODE_OPAQUE) {
    long long l = cellL > clip.left ? cellL : clip.left, t = cellT > clip.top ? cellT : clip.top;
    long long r = cellR < clip.right ? cellR : clip.right;
    long long b = cellB < clip.bottom ? cellB : clip.bottom;
    if (l < r && t < b)
      LICE_FillArea(bitmap, (int)l, (int)t, (int)(r - l), (int)(b - t), mBackColour, opacity,
                    mComposeMode & ~LICE_COMPOSE_SRCALPHA);
  }

  const unsigned char* map = GlyphCoverage(record);
  if (!map || record.width <= 0 || record.height <= 0) return true;

  // Each covered pixel is composed like a pixel of a solid image in the text
  // (or effect) colour, at the font's opacity scaled by the coverage.
  const int weight = lice_blend::OpacityWeight(opacity);
  if (!weight) return true;
  const int op = mComposeMode & LICE_COMPOSE_MASK;
  const bool sourceAlpha = (mComposeMode & LICE_COMPOSE_SRCALPHA) != 0;
  const bool effect = (mFontFlags & (LICE_FONT_SHADOW | LICE_FONT_OUTLINE)) != 0;
  const uint8_t text[4] = {
      (uint8_t)LICE_PixelBlue(mTextColour), (uint8_t)LICE_PixelGreen(mTextColour),
      (uint8_t)LICE_PixelRed(mTextColour), (uint8_t)LICE_PixelAlpha(mTextColour)};
  const uint8_t fx[4] = {
      (uint8_t)LICE_PixelBlue(mEffectColour), (uint8_t)LICE_PixelGreen(mEffectColour),
      (uint8_t)LICE_PixelRed(mEffectColour), (uint8_t)LICE_PixelAlpha(mEffectColour)};

  const long long x0 = mapX > clip.left ? mapX : clip.left;
  const long long y0 = mapY > clip.top ? mapY : clip.top;
  const long long x1 = mapX + record.width < clip.right ? mapX + record.width : clip.right;
  const long long y1 = mapY + record.height < clip.bottom ? mapY + record.height : clip.bottom;
  const ptrdiff_t span = bitmap->RowSpan();
  const bool bottomUp = bitmap->IsBottomUp();
  const long long height = bitmap->Height();
  for (long long py = y0; py < y1; ++py) {
    const unsigned char* cov = map + (size_t)(py - mapY) * record.width;
    LICE_PixelWord* row = pixels + (ptrdiff_t)(bottomUp ? height - 1 - py : py) * span;
    for (long long px = x0; px < x1; ++px) {
      const int c = cov[px - mapX];
      if (!c) continue;
      uint8_t* d = (uint8_t*)(row + px);
      if (effect) {
        lice_blend::ComposePixel(d, c == 255 ? text : fx, weight, op, sourceAlpha);
        continue;
      }
      const int w = weight * (c + (c >> 7)) / 256;
      if (w) lice_blend::ComposePixel(d, text, w, op, sourceAlpha);
    }
  }
  return true;
}
