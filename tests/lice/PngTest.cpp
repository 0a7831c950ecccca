#include "LICE_FileOpen.h"
#include "LICE_ImageLoader.h"
#include "LICE_MemBitmap.h"
#include "LICE_Png.h"
#include "LICE_SysBitmap.h"
#include "TestBitmaps.h"
#include "ScratchFolder.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <chrono>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// An image described by its samples, as the PNG stores them.
struct PngImage {
  int width = 0, height = 0, colourType = PNG_COLOR_TYPE_RGB_ALPHA, bitDepth = 8;
  bool interlaced = false;
  std::vector<unsigned> samples; // row-major, channels per pixel of the colour type
  std::vector<png_color> palette;
  std::vector<png_byte> paletteAlpha; // tRNS for palette images
  bool colourKey = false;             // tRNS for grey and RGB images
  png_color_16 key = {};

  int Channels() const {
    switch (colourType) {
    case PNG_COLOR_TYPE_GRAY:
    case PNG_COLOR_TYPE_PALETTE:
      return 1;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
      return 2;
    case PNG_COLOR_TYPE_RGB:
      return 3;
    default:
      return 4;
    }
  }
  unsigned Sample(int x, int y, int c) const {
    return samples[((size_t)y * width + x) * Channels() + c];
  }

  // The decoded pixel word by the PNG rules: sub-byte grey scaled to 8 bits,
  // 16-bit samples cut to their high byte, transparency from tRNS.
  LICE_PixelWord Expected(int x, int y) const {
    auto scale = [&](unsigned v) -> int {
      switch (bitDepth) {
      case 1:
        return (int)v * 255;
      case 2:
        return (int)v * 85;
      case 4:
        return (int)v * 17;
      case 16:
        return (int)(v >> 8);
      default:
        return (int)v;
      }
    };
    switch (colourType) {
    case PNG_COLOR_TYPE_GRAY: {
      int g = scale(Sample(x, y, 0));
      int a = colourKey && Sample(x, y, 0) == key.gray ? 0 : 255;
      return LICE_MakePixel(g, g, g, a);
    }
    case PNG_COLOR_TYPE_GRAY_ALPHA: {
      int g = scale(Sample(x, y, 0));
      return LICE_MakePixel(g, g, g, scale(Sample(x, y, 1)));
    }
    case PNG_COLOR_TYPE_RGB: {
      bool keyed = colourKey && Sample(x, y, 0) == key.red && Sample(x, y, 1) == key.green &&
                   Sample(x, y, 2) == key.blue;
      return LICE_MakePixel(scale(Sample(x, y, 0)), scale(Sample(x, y, 1)), scale(Sample(x, y, 2)),
                            keyed ? 0 : 255);
    }
    case PNG_COLOR_TYPE_PALETTE: {
      unsigned i = Sample(x, y, 0);
      const png_color& c = palette[i];
      int a = i < paletteAlpha.size() ? paletteAlpha[i] : 255;
      return LICE_MakePixel(c.red, c.green, c.blue, a);
    }
    default:
      return LICE_MakePixel(scale(Sample(x, y, 0)), scale(Sample(x, y, 1)), scale(Sample(x, y, 2)),
                            scale(Sample(x, y, 3)));
    }
  }
};

void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* out = (std::vector<unsigned char>*)png_get_io_ptr(png);
  out->insert(out->end(), data, data + length);
}
void NoFlush(png_structp) {}

// Packs the rows as the PNG stores them (sub-byte samples first in the high
// bits, 16-bit samples big-endian).
std::vector<std::vector<png_byte>> PackRows(const PngImage& img) {
  std::vector<std::vector<png_byte>> rows(img.height);
  const int perRow = img.width * img.Channels();
  for (int y = 0; y < img.height; ++y) {
    std::vector<png_byte>& row = rows[y];
    row.assign(((size_t)perRow * img.bitDepth + 7) / 8, 0);
    for (int k = 0; k < perRow; ++k) {
      unsigned v = img.samples[(size_t)y * perRow + k];
      if (img.bitDepth == 16) {
        row[2 * k] = (png_byte)(v >> 8);
        row[2 * k + 1] = (png_byte)v;
      } else if (img.bitDepth == 8) {
        row[k] = (png_byte)v;
      } else {
        size_t bit = (size_t)k * img.bitDepth;
        row[bit / 8] |= (png_byte)(v << (8 - img.bitDepth - bit % 8));
      }
    }
  }
  return rows;
}

// Encodes with libpng itself, so the decoder is checked against the reference
// encoder for every colour type and depth.
std::vector<unsigned char> Encode(const PngImage& img) {
  std::vector<unsigned char> out;
  std::vector<std::vector<png_byte>> rows = PackRows(img);
  std::vector<png_bytep> rowPointers(img.height);
  for (int y = 0; y < img.height; ++y)
    rowPointers[y] = rows[y].data();

  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    ADD_FAILURE() << "test encoder failed";
    return {};
  }
  png_set_write_fn(png, &out, AppendBytes, NoFlush);
  png_set_IHDR(png, info, img.width, img.height, img.bitDepth, img.colourType,
               img.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!img.palette.empty()) png_set_PLTE(png, info, img.palette.data(), (int)img.palette.size());
  if (!img.paletteAlpha.empty())
    png_set_tRNS(png, info, img.paletteAlpha.data(), (int)img.paletteAlpha.size(), nullptr);
  if (img.colourKey) png_set_tRNS(png, info, nullptr, 0, &img.key);
  png_write_info(png, info);
  if (img.interlaced) png_set_interlace_handling(png);
  png_write_image(png, rowPointers.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

PngImage RandomImage(int w, int h, int colourType, int depth, uint32_t seed,
                     bool interlaced = false) {
  PngImage img;
  img.width = w;
  img.height = h;
  img.colourType = colourType;
  img.bitDepth = depth;
  img.interlaced = interlaced;
  TestRandom rnd(seed);
  const unsigned maxSample = (1u << depth) - 1;
  if (colourType == PNG_COLOR_TYPE_PALETTE) {
    for (unsigned i = 0; i <= maxSample; ++i)
      img.palette.push_back(
          png_color{(png_byte)rnd.Next(), (png_byte)rnd.Next(), (png_byte)rnd.Next()});
  }
  img.samples.resize((size_t)w * h * img.Channels());
  for (unsigned& s : img.samples)
    s = rnd.Next() & maxSample;
  return img;
}

void ExpectPixels(const PngImage& img, LICE_IBitmap* b, const char* what) {
  ASSERT_NE(b, nullptr) << what;
  ASSERT_EQ(b->Width(), img.width) << what;
  ASSERT_EQ(b->Height(), img.height) << what;
  for (int y = 0; y < img.height; ++y)
    for (int x = 0; x < img.width; ++x) {
      int stored = b->IsBottomUp() ? img.height - 1 - y : y;
      ASSERT_EQ(b->Pixels()[(size_t)stored * b->RowSpan() + x], img.Expected(x, y))
          << what << " at " << x << "," << y;
    }
}

void ExpectDecodes(const PngImage& img, const char* what) {
  std::vector<unsigned char> bytes = Encode(img);
  std::unique_ptr<LICE_IBitmap> b(LICE_DecodePngMemory(bytes.data(), bytes.size()));
  ExpectPixels(img, b.get(), what);
}

TEST(PngDecode, TrueColourWithAndWithoutAlpha) {
  PngImage rgba = RandomImage(73, 5, PNG_COLOR_TYPE_RGB_ALPHA, 8, 1);
  ExpectDecodes(rgba, "rgba8");
  std::vector<unsigned char> bytes = Encode(rgba);
  std::unique_ptr<LICE_IBitmap> b(LICE_DecodePngMemory(bytes.data(), bytes.size()));
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->RowSpan(), 76);
  ExpectDecodes(RandomImage(19, 7, PNG_COLOR_TYPE_RGB, 8, 2), "rgb8");
  ExpectDecodes(RandomImage(9, 4, PNG_COLOR_TYPE_RGB, 16, 3), "rgb16");
  ExpectDecodes(RandomImage(9, 4, PNG_COLOR_TYPE_RGB_ALPHA, 16, 4), "rgba16");
}

TEST(PngDecode, SemiTransparentRedIsNotPremultiplied) {
  PngImage img;
  img.width = img.height = 1;
  img.samples = {255, 0, 0, 128};
  std::vector<unsigned char> bytes = Encode(img);
  std::unique_ptr<LICE_IBitmap> b(LICE_DecodePngMemory(bytes.data(), bytes.size()));
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->Pixels()[0], 0x80FF0000u);
}

TEST(PngDecode, GreyAtEveryDepth) {
  for (int depth : {1, 2, 4, 8, 16}) {
    std::string what = "grey" + std::to_string(depth);
    ExpectDecodes(RandomImage(13, 6, PNG_COLOR_TYPE_GRAY, depth, 10 + depth), what.c_str());
  }
  ExpectDecodes(RandomImage(11, 3, PNG_COLOR_TYPE_GRAY_ALPHA, 8, 20), "grey+alpha8");
  ExpectDecodes(RandomImage(11, 3, PNG_COLOR_TYPE_GRAY_ALPHA, 16, 21), "grey+alpha16");
}

TEST(PngDecode, PaletteWithAndWithoutTransparency) {
  for (int depth : {1, 2, 4, 8}) {
    PngImage img = RandomImage(15, 5, PNG_COLOR_TYPE_PALETTE, depth, 30 + depth);
    std::string what = "palette" + std::to_string(depth);
    ExpectDecodes(img, what.c_str());
    // tRNS for only the first entries: the rest stay opaque.
    size_t n = img.palette.size() > 2 ? img.palette.size() - 1 : 1;
    for (size_t i = 0; i < n; ++i)
      img.paletteAlpha.push_back((png_byte)(i * 37 + 5));
    what += "+tRNS";
    ExpectDecodes(img, what.c_str());
  }
}

TEST(PngDecode, ColourKeyTransparency) {
  PngImage grey = RandomImage(8, 8, PNG_COLOR_TYPE_GRAY, 8, 40);
  grey.colourKey = true;
  grey.key.gray = (png_uint_16)grey.samples[5];
  ExpectDecodes(grey, "grey8 key");

  PngImage rgb = RandomImage(8, 8, PNG_COLOR_TYPE_RGB, 8, 41);
  rgb.colourKey = true;
  rgb.samples[3 * 9 + 0] = 1, rgb.samples[3 * 9 + 1] = 2, rgb.samples[3 * 9 + 2] = 3;
  rgb.key.red = 1, rgb.key.green = 2, rgb.key.blue = 3;
  ExpectDecodes(rgb, "rgb8 key");

  PngImage rgb16 = RandomImage(5, 5, PNG_COLOR_TYPE_RGB, 16, 42);
  rgb16.colourKey = true;
  rgb16.key.red = (png_uint_16)rgb16.samples[0];
  rgb16.key.green = (png_uint_16)rgb16.samples[1];
  rgb16.key.blue = (png_uint_16)rgb16.samples[2];
  ExpectDecodes(rgb16, "rgb16 key");
}

TEST(PngDecode, InterlacedImages) {
  ExpectDecodes(RandomImage(13, 11, PNG_COLOR_TYPE_RGB_ALPHA, 8, 50, true), "rgba8 adam7");
  PngImage pal = RandomImage(9, 7, PNG_COLOR_TYPE_PALETTE, 4, 51, true);
  pal.paletteAlpha = {0, 128, 255, 7};
  ExpectDecodes(pal, "palette4 adam7");
  ExpectDecodes(RandomImage(17, 5, PNG_COLOR_TYPE_GRAY, 1, 52, true), "grey1 adam7");
  ExpectDecodes(RandomImage(6, 9, PNG_COLOR_TYPE_GRAY_ALPHA, 16, 53, true), "grey+alpha16 adam7");
  ExpectDecodes(RandomImage(1, 1, PNG_COLOR_TYPE_RGB, 8, 54, true), "1x1 adam7");
}

TEST(PngDecode, IntoACallersBitmap) {
  PngImage img = RandomImage(21, 6, PNG_COLOR_TYPE_RGB_ALPHA, 8, 60);
  std::vector<unsigned char> bytes = Encode(img);

  LICE_MemBitmap mem(3, 3);
  EXPECT_EQ(LICE_DecodePngMemory(bytes.data(), bytes.size(), &mem), &mem);
  ExpectPixels(img, &mem, "mem target");

  LICE_SysBitmap sys(100, 100);
  EXPECT_EQ(LICE_DecodePngMemory(bytes.data(), bytes.size(), &sys), &sys);
  ExpectPixels(img, &sys, "sys target");

  // A bottom-up bitmap of the right size gets its rows the other way round.
  GuardedBitmap flipped(21, 6, 24, true);
  EXPECT_EQ(LICE_DecodePngMemory(bytes.data(), bytes.size(), &flipped), &flipped);
  ExpectPixels(img, &flipped, "bottom-up target");
  EXPECT_TRUE(flipped.GuardsIntact());

  // One that cannot take the size is refused and left alone.
  GuardedBitmap wrong(5, 5, 8);
  EXPECT_EQ(LICE_DecodePngMemory(bytes.data(), bytes.size(), &wrong), nullptr);
  EXPECT_EQ(wrong.At(0, 0), 0u);
  EXPECT_TRUE(wrong.GuardsIntact());
}

TEST(PngDecode, ShortOrForeignDataIsRefused) {
  std::vector<unsigned char> bytes = Encode(RandomImage(4, 4, PNG_COLOR_TYPE_RGB, 8, 70));
  EXPECT_EQ(LICE_DecodePngMemory(bytes.data(), 7), nullptr);
  EXPECT_EQ(LICE_DecodePngMemory(bytes.data(), 0), nullptr);
  EXPECT_EQ(LICE_DecodePngMemory(nullptr, 100), nullptr);
  std::vector<unsigned char> foreign = bytes;
  foreign[0] = 0x88;
  EXPECT_EQ(LICE_DecodePngMemory(foreign.data(), foreign.size()), nullptr);
  foreign = bytes;
  foreign[4] = 0x0A; // damaged line-ending check bytes
  EXPECT_EQ(LICE_DecodePngMemory(foreign.data(), foreign.size()), nullptr);
  EXPECT_EQ(LICE_DecodePngMemory(bytes.data(), 8), nullptr); // signature only
}

// Offset just past the end of the last IDAT chunk.
size_t ImageDataEnd(const std::vector<unsigned char>& png) {
  size_t pos = 8, end = 0;
  while (pos + 8 <= png.size()) {
    size_t length = (size_t)png[pos] << 24 | png[pos + 1] << 16 | png[pos + 2] << 8 | png[pos + 3];
    if (memcmp(&png[pos + 4], "IDAT", 4) == 0) end = pos + 12 + length;
    pos += 12 + length;
  }
  return end;
}

TEST(PngDecode, TruncatedDataFailsCleanly) {
  PngImage img = RandomImage(12, 9, PNG_COLOR_TYPE_RGB_ALPHA, 8, 80);
  std::vector<unsigned char> bytes = Encode(img);
  const size_t dataEnd = ImageDataEnd(bytes);
  ASSERT_GT(dataEnd, 40u);
  LICE_MemBitmap target(2, 2);
  for (size_t n = 8; n < bytes.size(); ++n) {
    std::vector<unsigned char> cut(bytes.begin(), bytes.begin() + n);
    std::unique_ptr<LICE_IBitmap> b(LICE_DecodePngMemory(cut.data(), cut.size()));
    if (n < dataEnd) {
      EXPECT_EQ(b, nullptr) << "cut at " << n;
      // A caller's bitmap is neither returned nor deleted.
      EXPECT_EQ(LICE_DecodePngMemory(cut.data(), cut.size(), &target), nullptr) << n;
    } else {
      // Everything the picture needs is there; the trailer is not read.
      ExpectPixels(img, b.get(), "complete image data");
    }
  }
  target.Resize(1, 1); // still the caller's, still usable
  EXPECT_NE(target.Pixels(), nullptr);
}

// A chunk length that points far beyond the data fails at the end of the
// data, not after libpng has been fed gigabytes of padding (which took most
// of a second even in the release build).
TEST(PngDecode, ChunkLongerThanTheDataFailsAtOnce) {
  std::vector<unsigned char> bytes = Encode(RandomImage(12, 9, PNG_COLOR_TYPE_RGB_ALPHA, 8, 82));
  size_t pos = 8;
  while (pos + 8 <= bytes.size() && memcmp(&bytes[pos + 4], "IDAT", 4) != 0)
    pos += 12 +
           ((size_t)bytes[pos] << 24 | bytes[pos + 1] << 16 | bytes[pos + 2] << 8 | bytes[pos + 3]);
  ASSERT_LT(pos + 8, bytes.size());
  const unsigned char huge[4] = {0x7F, 0xFF, 0xFF, 0xFF};
  memcpy(&bytes[pos], huge, 4);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(LICE_DecodePngMemory(bytes.data(), bytes.size()), nullptr);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(seconds, 0.1);
}

TEST(PngDecode, ChecksumErrorsFailCleanly) {
  std::vector<unsigned char> bytes = Encode(RandomImage(12, 9, PNG_COLOR_TYPE_RGB, 8, 81));
  const size_t ihdrCrc = 8 + 8 + 13;
  const size_t dataEnd = ImageDataEnd(bytes);
  for (size_t at : {ihdrCrc, ihdrCrc + 3, dataEnd - 1, dataEnd - 6, (size_t)8 + 8 + 4}) {
    std::vector<unsigned char> bad = bytes;
    bad[at] ^= 0x40;
    EXPECT_EQ(LICE_DecodePngMemory(bad.data(), bad.size()), nullptr) << "byte " << at;
  }
}

void PutChunk(std::vector<unsigned char>& out, const char* type,
              const std::vector<unsigned char>& data) {
  const uint32_t n = (uint32_t)data.size();
  const unsigned char length[4] = {(unsigned char)(n >> 24), (unsigned char)(n >> 16),
                                   (unsigned char)(n >> 8), (unsigned char)n};
  out.insert(out.end(), length, length + 4);
  size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  uLong crc = crc32(0, &out[start], (uInt)(out.size() - start));
  for (int s = 24; s >= 0; s -= 8)
    out.push_back((unsigned char)(crc >> s));
}

// A well-formed header for an image of any declared size, with a little data.
std::vector<unsigned char> DeclaredSize(uint32_t w, uint32_t h) {
  std::vector<unsigned char> out = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
  std::vector<unsigned char> ihdr;
  for (uint32_t v : {w, h})
    for (int s = 24; s >= 0; s -= 8)
      ihdr.push_back((unsigned char)(v >> s));
  ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});
  PutChunk(out, "IHDR", ihdr);
  unsigned char raw[4 * (1 + 4 * 4)] = {}; // enough rows for the 4 x 4 case
  unsigned char packed[128];
  uLongf packedLength = sizeof(packed);
  compress(packed, &packedLength, raw, sizeof(raw));
  PutChunk(out, "IDAT", std::vector<unsigned char>(packed, packed + packedLength));
  PutChunk(out, "IEND", {});
  return out;
}

TEST(PngDecode, OversizedImagesAreRefusedBeforeAllocating) {
  std::vector<unsigned char> fits = DeclaredSize(4, 4);
  std::unique_ptr<LICE_IBitmap> ok(LICE_DecodePngMemory(fits.data(), fits.size()));
  EXPECT_NE(ok, nullptr); // the crafted stream itself is sound

  for (auto size : {std::make_pair(8193u, 8192u), std::make_pair(100000u, 100000u),
                    std::make_pair(70000u, 1000u), std::make_pair(0x7FFFFFFFu, 1u),
                    std::make_pair(0u, 5u), std::make_pair(0x80000000u, 0x80000000u)}) {
    std::vector<unsigned char> bytes = DeclaredSize(size.first, size.second);
    LICE_MemBitmap target(3, 3);
    target.Pixels()[0] = 0x12345678;
    EXPECT_EQ(LICE_DecodePngMemory(bytes.data(), bytes.size(), &target), nullptr) << size.first;
    EXPECT_EQ(target.Width(), 3);
    EXPECT_EQ(target.Height(), 3);
    EXPECT_EQ(target.Pixels()[0], 0x12345678u);
    EXPECT_EQ(LICE_DecodePngMemory(bytes.data(), bytes.size()), nullptr);
  }
}

TEST(PngDecode, DamagedStreamsNeverCrash) {
  std::vector<unsigned char> bytes = Encode(RandomImage(16, 16, PNG_COLOR_TYPE_PALETTE, 4, 90));
  TestRandom rnd(4321);
  for (int n = 0; n < 600; ++n) {
    std::vector<unsigned char> bad = bytes;
    int flips = rnd.Range(1, 4);
    for (int k = 0; k < flips; ++k)
      bad[rnd.Range(8, (int)bad.size() - 1)] ^= (unsigned char)rnd.Range(1, 255);
    std::unique_ptr<LICE_IBitmap> b(LICE_DecodePngMemory(bad.data(), bad.size()));
    if (b) {
      EXPECT_GE(b->Width(), 1);
      EXPECT_LE((long long)b->Width() * b->Height(), LICE_PNG_MAX_PIXELS);
    }
  }
  for (int n = 0; n < 300; ++n) {
    std::vector<unsigned char> noise(bytes.begin(), bytes.begin() + 8);
    int length = rnd.Range(0, 200);
    for (int k = 0; k < length; ++k)
      noise.push_back((unsigned char)rnd.Next());
    std::unique_ptr<LICE_IBitmap> b(LICE_DecodePngMemory(noise.data(), noise.size()));
    EXPECT_EQ(b, nullptr);
  }
}

// Files of this process only, in a folder removed when the process ends.
std::string TempPath(const char* name) {
  static const ScratchFolder folder("tolven-png");
  // Joined as bytes: the names are UTF-8, which a Windows path would re-encode.
  return folder.Path().string() + "/" + name;
}

bool WriteFile(const std::string& path, const std::vector<unsigned char>& bytes) {
  FILE* f = LICE_OpenFileUtf8(path.c_str(), "wb");
  if (!f) return false;
  bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return fclose(f) == 0 && ok;
}

TEST(PngFile, DecodesFromAUtf8Path) {
  PngImage img = RandomImage(10, 3, PNG_COLOR_TYPE_PALETTE, 2, 100);
  img.paletteAlpha = {9, 250};
  const std::string path = TempPath("lice_\xC3\xA9t\xC3\xA9_\xE2\x82\xAC.png");
  ASSERT_TRUE(WriteFile(path, Encode(img)));
  std::unique_ptr<LICE_IBitmap> b(LICE_DecodePngFile(path.c_str()));
  ExpectPixels(img, b.get(), "file");

  GuardedBitmap flipped(10, 3, 12, true);
  EXPECT_EQ(LICE_DecodePngFile(path.c_str(), &flipped), &flipped);
  ExpectPixels(img, &flipped, "file into bottom-up bitmap");
  remove(path.c_str());
}

TEST(PngFile, MissingOrBrokenFilesFailCleanly) {
  EXPECT_EQ(LICE_DecodePngFile(TempPath("lice_no_such_file.png").c_str()), nullptr);
  EXPECT_EQ(LICE_DecodePngFile(nullptr), nullptr);

  std::vector<unsigned char> bytes = Encode(RandomImage(30, 30, PNG_COLOR_TYPE_RGB, 8, 101));
  const std::string path = TempPath("lice_broken.png");
  ASSERT_TRUE(
      WriteFile(path, std::vector<unsigned char>(bytes.begin(), bytes.begin() + bytes.size() / 2)));
  LICE_MemBitmap target(2, 2);
  EXPECT_EQ(LICE_DecodePngFile(path.c_str()), nullptr);
  EXPECT_EQ(LICE_DecodePngFile(path.c_str(), &target), nullptr);

  std::vector<unsigned char> foreign = bytes;
  foreign[1] = 'Q';
  ASSERT_TRUE(WriteFile(path, foreign));
  EXPECT_EQ(LICE_DecodePngFile(path.c_str()), nullptr);

  std::vector<unsigned char> bad = bytes;
  bad[8 + 8 + 13] ^= 1; // header checksum
  ASSERT_TRUE(WriteFile(path, bad));
  EXPECT_EQ(LICE_DecodePngFile(path.c_str()), nullptr);
  remove(path.c_str());
}

TEST(PngFile, LoaderListRecognisesPngNames) {
  LICE_ImageLoader* loader = LICE_ImageLoaders();
  ASSERT_NE(loader, nullptr);
  ASSERT_NE(loader->describe, nullptr);
  EXPECT_STREQ(loader->describe(), "PNG files (*.PNG)");

  PngImage img = RandomImage(5, 5, PNG_COLOR_TYPE_RGB, 8, 110);
  std::vector<unsigned char> bytes = Encode(img);
  const std::string png = TempPath("lice_loader.PnG"), other = TempPath("lice_loader.png.dat");
  ASSERT_TRUE(WriteFile(png, bytes));
  ASSERT_TRUE(WriteFile(other, bytes));

  std::unique_ptr<LICE_IBitmap> b(loader->load(png.c_str(), true, nullptr));
  ExpectPixels(img, b.get(), "loader");
  EXPECT_EQ(loader->load(other.c_str(), true, nullptr), nullptr);
  std::unique_ptr<LICE_IBitmap> unchecked(loader->load(other.c_str(), false, nullptr));
  ExpectPixels(img, unchecked.get(), "loader without name check");
  // The extension is looked for after the last separator only.
  EXPECT_EQ(loader->load("dir.png/picture", true, nullptr), nullptr);
  EXPECT_EQ(loader->load("dir.png\\picture", true, nullptr), nullptr);
  EXPECT_EQ(loader->load("picture.pn", true, nullptr), nullptr);
  EXPECT_EQ(loader->load("png", true, nullptr), nullptr);
  remove(png.c_str());
  remove(other.c_str());
}

TEST(PngWrite, RoundTripsThroughTheDecoder) {
  LICE_MemBitmap b(13, 7);
  TestRandom rnd(120);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 13; ++x)
      b.Pixels()[y * b.RowSpan() + x] = rnd.Next();
  const std::string path = TempPath("lice_written_\xC3\xBC.png");
  ASSERT_TRUE(LICE_WritePng(path.c_str(), &b));
  std::unique_ptr<LICE_IBitmap> back(LICE_DecodePngFile(path.c_str()));
  ASSERT_NE(back, nullptr);
  ASSERT_EQ(back->Width(), 13);
  ASSERT_EQ(back->Height(), 7);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 13; ++x)
      ASSERT_EQ(back->Pixels()[y * back->RowSpan() + x], b.Pixels()[y * b.RowSpan() + x]);

  ASSERT_TRUE(LICE_WritePng(path.c_str(), &b, false));
  back.reset(LICE_DecodePngFile(path.c_str()));
  ASSERT_NE(back, nullptr);
  for (int x = 0; x < 13; ++x)
    EXPECT_EQ(back->Pixels()[x], b.Pixels()[x] | 0xFF000000u);
  remove(path.c_str());

  LICE_MemBitmap empty;
  EXPECT_FALSE(LICE_WritePng(path.c_str(), &empty));
  EXPECT_FALSE(LICE_WritePng(TempPath("no_such_dir/x.png").c_str(), &b));
}

} // namespace
