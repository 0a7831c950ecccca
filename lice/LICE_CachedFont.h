#pragma once

#include "LICE_IFont.h"

#include <cstddef>

// One cached character. Coverage maps live in the font's glyph heap.
struct LICE_GlyphRecord {
  int heapOffset; // offset + 1 of the coverage map; 0 not rendered yet, -1 renders to nothing
  int width;      // coverage map size
  int height;
  int advance; // pen movement
  int code;    // character code
  int bearing; // the map starts at pen - bearing (along the run for vertical text)
};

// Draws text from coverage maps rendered once per character with the system
// font into a shared scratch surface. Each covered pixel is then composed like
// a pixel of a solid image in the text colour (LICE_Composite's rule for the
// font's compose mode) at the font's opacity scaled by the coverage. Codes
// 0-127 sit in a direct table, others in a list sorted by code. Where the
// system's own text drawing is preferred and usable it is used instead.
// Fonts and their shared surfaces are used from one thread (the editor's).
class LICE_CachedFont : public LICE_IFont {
public:
  LICE_CachedFont();
  ~LICE_CachedFont() override;
  LICE_CachedFont(const LICE_CachedFont&) = delete;
  LICE_CachedFont& operator=(const LICE_CachedFont&) = delete;

  void SetSystemFont(LICE_FontHandle font, int flags = 0) override;
  LICE_PixelWord SetTextColour(LICE_PixelWord colour) override;
  LICE_PixelWord SetBackColour(LICE_PixelWord colour) override;
  LICE_PixelWord SetEffectColour(LICE_PixelWord colour) override;
  int SetBackMode(int mode) override;
  void SetCombine(int mode, float opacity) override;
  int DrawText(LICE_IBitmap* bitmap, const char* text, int length, LICE_Rect* box,
               unsigned int flags) override;
  LICE_PixelWord TextColour() const override { return mTextColour; }
  LICE_FontHandle SystemFont() const override { return mFont; }
  int LineHeight() const override { return mLineHeight; }
  // Draws one character with its pen position at (x, y), clipped to clip (and
  // the bitmap). False when the character cannot be rendered.
  virtual bool DrawGlyph(LICE_IBitmap* bitmap, int code, int x, int y, const LICE_Rect* clip);

  // Extra pixels between lines.
  void SetExtraLineSpacing(int pixels) { mExtraLineSpacing = pixels; }
  int FontFlags() const { return mFontFlags; }
  // The cached record of a character, without rendering it; none if absent.
  const LICE_GlyphRecord* FindGlyph(int code) const;
  // Bytes of coverage maps held.
  size_t GlyphHeapBytes() const { return mHeapUsed; }
  // Coverage map of a rendered record (width x height bytes), or none.
  const unsigned char* GlyphCoverage(const LICE_GlyphRecord& record) const;

private:
  LICE_GlyphRecord* Glyph(int code);
  bool Render(LICE_GlyphRecord& record);
  bool AppendToHeap(const unsigned char* map, size_t bytes, int& offset);
  bool InsertSorted(const LICE_GlyphRecord& record, LICE_GlyphRecord*& inserted);
  void ResetCache();
  int Advance(int code);
  void Measure(const char* text, int length, unsigned int flags, int& width, int& height);
  int MeasureLine(const char* p, const char* end, unsigned int flags, const char** next);
  bool UseNativeDrawing(LICE_IBitmap* bitmap, unsigned int flags) const;
  int DrawNative(LICE_IBitmap* bitmap, const char* text, int length, LICE_Rect* box,
                 unsigned int flags);
  bool DrawRecord(LICE_IBitmap* bitmap, const LICE_GlyphRecord& record, long long x, long long y,
                  const LICE_Rect* clip, float opacity);

  LICE_PixelWord mTextColour = 0;
  LICE_PixelWord mBackColour = 0xFFFFFFFF;
  LICE_PixelWord mEffectColour = 0xFFFFFFFF;
  int mBackMode = LICE_BACKMODE_TRANSPARENT;
  int mComposeMode = 0;
  float mOpacity = 1.0f;
  int mFontFlags = 0;
  int mLineHeight = 0;
  int mExtraLineSpacing = 0;
  LICE_GlyphRecord mDirect[128];
  LICE_GlyphRecord* mSorted = nullptr; // codes from 128 up, ascending
  int mSortedCount = 0;
  size_t mSortedCapacity = 0; // records
  unsigned char* mHeap = nullptr;
  size_t mHeapUsed = 0;
  size_t mHeapCapacity = 0;
  LICE_FontHandle mFont = nullptr;
};
