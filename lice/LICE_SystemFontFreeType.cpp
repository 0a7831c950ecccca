// System fonts outside Windows: fontconfig picks the installed face closest to
// the requested one (for instance a sans face for "Verdana"), FreeType renders
// it. Sizes follow the Win32 conventions the editor's text styles are written
// for: a positive height is the cell height (ascent plus descent), so the line
// height equals it exactly, as GDI reports it.
#include "LICE_FontBackend.h"
#include "LICE_SysBitmap.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

#include <cstdlib>
#include <mutex>
#include <new>

namespace {

struct FreeTypeFont {
  FT_Face face;
  int lineHeight;
  int ascent;
  bool emboldened; // bold asked for, face is not bold
  bool mono;
};

// One FreeType library and one font configuration of our own for all faces,
// created with the first and released with the last. A private configuration
// leaves the host's (a plug-in shares its process) untouched and can be freed
// completely. Fonts may be made on any thread.
std::mutex gLibraryLock;
FT_Library gLibrary = nullptr;
FcConfig* gConfig = nullptr;
int gFaces = 0;

FT_Int32 LoadFlags(const FreeTypeFont* f) {
  return FT_LOAD_DEFAULT | (f->mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
}

bool Drawable(long code) {
  return code >= 0x20 && !(code >= 0x7F && code < 0xA0);
}

// Loads the glyph outline into the face's slot, emboldened if needed.
bool LoadGlyph(FreeTypeFont* f, long code) {
  if (FT_Load_Char(f->face, (FT_ULong)code, LoadFlags(f)) != 0) return false;
  if (f->emboldened) FT_GlyphSlot_Embolden(f->face->glyph);
  return true;
}

void ReleaseFace(FT_Face face) {
  std::lock_guard<std::mutex> guard(gLibraryLock);
  if (face) FT_Done_Face(face);
  if (--gFaces == 0) {
    FT_Done_FreeType(gLibrary);
    gLibrary = nullptr;
    FcConfigDestroy(gConfig);
    gConfig = nullptr;
  }
}

} // namespace

LICE_FontHandle LICE_CreateSystemFont(const char* face, int height, int weight, bool italic,
                                      int escapement, int quality) {
  (void)escapement; // rotated text is a Windows-only feature
  const int openTypeWeight = weight <= 0 ? 400 : (weight > 1000 ? 1000 : weight);
  FT_Face ftFace = nullptr;
  {
    std::lock_guard<std::mutex> guard(gLibraryLock);
    if (gFaces == 0) {
      if (FT_Init_FreeType(&gLibrary) != 0) gLibrary = nullptr;
      gConfig = FcInitLoadConfigAndFonts();
      if (!gLibrary || !gConfig) {
        if (gLibrary) FT_Done_FreeType(gLibrary);
        if (gConfig) FcConfigDestroy(gConfig);
        gLibrary = nullptr;
        gConfig = nullptr;
        return nullptr;
      }
    }
    ++gFaces; // released below by ReleaseFace when anything fails

    FcPattern* pattern = FcPatternCreate();
    FcPattern* match = nullptr;
    if (pattern) {
      FcPatternAddString(pattern, FC_FAMILY, (const FcChar8*)(face && *face ? face : "sans-serif"));
      FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(openTypeWeight));
      FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
      FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
      FcConfigSubstitute(gConfig, pattern, FcMatchPattern);
      FcDefaultSubstitute(pattern);
      FcResult result = FcResultNoMatch;
      match = FcFontMatch(gConfig, pattern, &result);
      FcPatternDestroy(pattern);
    }
    FcChar8* file = nullptr;
    int index = 0;
    if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
      FcPatternGetInteger(match, FC_INDEX, 0, &index);
      if (FT_New_Face(gLibrary, (const char*)file, index, &ftFace) != 0) ftFace = nullptr;
    }
    if (match) FcPatternDestroy(match);
  }
  if (!ftFace || !FT_IS_SCALABLE(ftFace) || ftFace->ascender - ftFace->descender <= 0) {
    ReleaseFace(ftFace);
    return nullptr;
  }

  FreeTypeFont* f = new (std::nothrow) FreeTypeFont();
  if (!f) {
    ReleaseFace(ftFace);
    return nullptr;
  }
  f->face = ftFace;
  f->mono = quality == 3;
  f->emboldened = openTypeWeight >= 600 && !(ftFace->style_flags & FT_STYLE_FLAG_BOLD);
  if (italic && !(ftFace->style_flags & FT_STYLE_FLAG_ITALIC)) {
    FT_Matrix shear = {0x10000, 0x0366A, 0, 0x10000}; // about 12 degrees slant
    FT_Set_Transform(ftFace, &shear, nullptr);
  }

  const long unitsAsc = ftFace->ascender, unitsTotal = ftFace->ascender - ftFace->descender;
  // Beyond this a font is no text at all; it also keeps the arithmetic in range.
  const int kLargest = 16384;
  int cell =
      height == 0 ? 12 : (height > kLargest ? kLargest : (height < -kLargest ? -kLargest : height));
  FT_Error error;
  if (cell > 0) {
    FT_Size_RequestRec request = {FT_SIZE_REQUEST_TYPE_CELL, 0, (FT_Long)cell * 64, 0, 0};
    error = FT_Request_Size(ftFace, &request);
    f->lineHeight = cell;
    f->ascent = (int)((cell * unitsAsc + unitsTotal / 2) / unitsTotal);
  } else {
    error = FT_Set_Pixel_Sizes(ftFace, 0, (FT_UInt)-cell);
    const FT_Size_Metrics& m = ftFace->size->metrics;
    f->ascent = (int)((m.ascender + 63) >> 6);
    f->lineHeight = f->ascent + (int)((-m.descender + 63) >> 6);
  }
  if (error != 0) {
    LICE_DestroySystemFont(f);
    return nullptr;
  }
  return f;
}

void LICE_DestroySystemFont(LICE_FontHandle font) {
  if (!font) return;
  FreeTypeFont* f = (FreeTypeFont*)font;
  ReleaseFace(f->face);
  delete f;
}

namespace lice_font_backend {

int LineHeight(LICE_SysBitmap*, LICE_FontHandle font) {
  return font ? ((FreeTypeFont*)font)->lineHeight : 0;
}

void PrepareScratch(LICE_SysBitmap*) {}

bool MeasureChar(LICE_SysBitmap*, LICE_FontHandle font, long code, int* width, int* height) {
  FreeTypeFont* f = (FreeTypeFont*)font;
  *width = *height = 0;
  if (!f) return false;
  if (Drawable(code)) {
    if (!LoadGlyph(f, code)) return false;
    *width = (int)((f->face->glyph->advance.x + 32) >> 6);
  }
  *height = f->lineHeight;
  return true;
}

void DrawCharWhite(LICE_SysBitmap* scratch, LICE_FontHandle font, long code, int x) {
  FreeTypeFont* f = (FreeTypeFont*)font;
  LICE_PixelWord* pixels = scratch ? scratch->Pixels() : nullptr;
  if (!f || !pixels || !Drawable(code) || !LoadGlyph(f, code)) return;
  FT_GlyphSlot slot = f->face->glyph;
  if (FT_Render_Glyph(slot, f->mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0) return;
  const FT_Bitmap& bm = slot->bitmap;
  const int span = scratch->RowSpan(), w = scratch->Width(), h = scratch->Height();
  const int pitch = bm.pitch < 0 ? -bm.pitch : bm.pitch;
  for (unsigned r = 0; r < bm.rows; ++r) {
    const int dy = f->ascent - slot->bitmap_top + (int)r;
    if (dy < 0 || dy >= h) continue;
    const unsigned char* src = bm.buffer + (size_t)pitch * (bm.pitch < 0 ? bm.rows - 1 - r : r);
    for (unsigned c = 0; c < bm.width; ++c) {
      const int dx = x + slot->bitmap_left + (int)c;
      if (dx < 0 || dx >= w) continue;
      int v;
      if (bm.pixel_mode == FT_PIXEL_MODE_MONO)
        v = (src[c >> 3] & (0x80 >> (c & 7))) ? 255 : 0;
      else if (bm.pixel_mode == FT_PIXEL_MODE_GRAY)
        v = bm.num_grays > 1 ? src[c] * 255 / (bm.num_grays - 1) : src[c];
      else
        continue;
      LICE_PixelWord& p = pixels[(size_t)dy * span + dx];
      // White ink over the black cell: keep the brighter where glyph parts meet.
      if (v > LICE_PixelRed(p)) p = LICE_MakePixel(v, v, v, 255);
    }
  }
}

bool NativeTextAvailable() {
  return false;
}

bool NativeTextPreferred() {
  return false;
}

int NativeDrawText(void*, LICE_FontHandle, const char*, int, LICE_Rect*, unsigned int,
                   LICE_PixelWord, int, LICE_PixelWord) {
  return 0;
}

} // namespace lice_font_backend
