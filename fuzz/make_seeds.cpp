// Writes the hand-made seed files of every fuzz target into fuzz/corpus/.
// Run once after changing it (fuzz/run.sh does not need it): the seeds are
// kept in the repository so that every run starts from the same files.
#include "catalogue/named_bits_list.h"
#include "import/tests/test_encoders.h"
#include "platform/text_file.h"
#include "tests/support/built_in_selection.h"
#include "tests/support/picture_files.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

using namespace mirufo;
using test::PutLE16;
using test::PutLE32;

std::filesystem::path corpus;

void Seed(const std::string& target, const std::string& name, const std::string& bytes) {
  std::filesystem::path dir = corpus / target;
  std::filesystem::create_directories(dir);
  std::ofstream(dir / name, std::ios::binary).write(bytes.data(), static_cast<long>(bytes.size()));
}

// A BMP with a 40-byte information header; clrUsed as written, whatever
// the palette's size.
std::string Bmp(int width, int height, int bitCount, std::uint32_t compression,
                std::vector<TColor> palette, const std::string& bits, std::uint32_t clrUsed = 0) {
  test::BmpSpec spec;
  spec.Width = width;
  spec.Height = height;
  spec.Bits = bitCount;
  spec.Compression = compression;
  spec.Palette = std::move(palette);
  spec.Pixels = bits;
  spec.ColorsUsed = clrUsed;
  return test::MakeBmp(spec);
}

std::vector<TColor> Grey(int count) {
  std::vector<TColor> palette;
  for (int i = 0; i < count; ++i) {
    const auto v = static_cast<std::uint8_t>(i * 255 / std::max(count - 1, 1));
    palette.push_back(RGB(v, v, v));
  }
  return palette;
}

// The blocks a plug-in would return for a BMP file: the length of the
// information block (two bytes), the block, then the pixel block.
void SpiSeed(const std::string& name, const std::string& bmp) {
  const std::size_t offset = static_cast<unsigned char>(bmp[10]) |
                             (static_cast<std::size_t>(static_cast<unsigned char>(bmp[11])) << 8);
  std::string info = bmp.substr(14, offset - 14);
  std::string blocks;
  PutLE16(blocks, static_cast<std::uint32_t>(info.size()));
  Seed("spi_handles", name, blocks + info + bmp.substr(offset));
}

void BmpSeeds() {
  Seed("bmp", "mono-2x2.bmp",
       Bmp(2, 2, 1, 0, Grey(2), test::Bytes({0x80, 0, 0, 0, 0x40, 0, 0, 0})));
  Seed("bmp", "4bit-rle.bmp",
       Bmp(4, 2, 4, 2, Grey(16), test::Bytes({4, 0x12, 0, 0, 0, 4, 0x34, 0x56, 0, 1})));
  Seed("bmp", "8bit-rle-delta.bmp",
       Bmp(4, 3, 8, 1, Grey(4), test::Bytes({2, 1, 0, 2, 1, 1, 0, 3, 3, 0, 1, 2, 0, 0, 0, 1}), 4));
  Seed("bmp", "16bit-bitfields.bmp",
       test::MakeBmp({.Width = 2,
                      .Height = 1,
                      .Bits = 16,
                      .Compression = 3,
                      .Masks = {0xF800, 0x07E0, 0x001F},
                      .Pixels = test::Bytes({0x1F, 0, 0xE0, 0x07}),
                      .ColorsUsed = 0}));
  std::string topDown = Bmp(1, -2, 24, 0, {}, test::Bytes({1, 2, 3, 0, 4, 5, 6, 0}));
  Seed("bmp", "24bit-top-down.bmp", topDown);
  Seed("bmp", "32bit.bmp", Bmp(1, 1, 32, 0, {}, test::Bytes({10, 20, 30, 128})));
  SpiSeed("8bit-256-colours.bin",
          Bmp(3, 2, 8, 0, Grey(256), test::Bytes({0, 1, 255, 0, 9, 8, 7, 0})));
  SpiSeed("24bit-top-down.bin", topDown);
  SpiSeed("4bit-rle.bin",
          Bmp(4, 2, 4, 2, Grey(16), test::Bytes({4, 0x12, 0, 0, 0, 4, 0x34, 0x56, 0, 1})));
}

// An icon with one 32-bit BMP entry (colour image and AND mask) and one PNG
// entry.
void IconSeeds() {
  std::string dib;
  PutLE32(dib, 40);
  PutLE32(dib, 2);
  PutLE32(dib, 4); // colour and mask
  PutLE16(dib, 1);
  PutLE16(dib, 32);
  for (int i = 0; i < 6; ++i)
    PutLE32(dib, 0);
  dib += test::Bytes({1, 2, 3, 255, 4, 5, 6, 0, 7, 8, 9, 128, 10, 11, 12, 255});
  dib += test::Bytes({0x40, 0, 0, 0, 0x80, 0, 0, 0});
  test::PngSpec spec;
  spec.Width = 1;
  spec.Height = 1;
  spec.ColorType = PNG_COLOR_TYPE_RGB_ALPHA;
  spec.Rows = {std::string("\x10\x20\x30\x80", 4)};
  std::string png = test::MakePng(spec);
  std::string file;
  PutLE16(file, 0);
  PutLE16(file, 1);
  PutLE16(file, 2);
  const std::uint32_t first = 6 + 2 * 16;
  auto entry = [&](int w, int h, std::uint32_t size, std::uint32_t offset) {
    file += static_cast<char>(w);
    file += static_cast<char>(h);
    file += std::string(2, '\0');
    PutLE16(file, 1);
    PutLE16(file, 32);
    PutLE32(file, size);
    PutLE32(file, offset);
  };
  entry(2, 2, static_cast<std::uint32_t>(dib.size()), first);
  entry(1, 1, static_cast<std::uint32_t>(png.size()),
        first + static_cast<std::uint32_t>(dib.size()));
  Seed("ico", "bmp-and-png.ico", file + dib + png);
}

// The palette of the MAG seeds: byte i is i * 5.
std::string MagPalette(bool colours256) {
  std::string palette(colours256 ? 768 : 48, '\0');
  for (std::size_t i = 0; i < palette.size(); ++i)
    palette[i] = static_cast<char>(i * 5);
  return palette;
}

void MagSeeds() {
  test::MagSpec sixteen;
  sixteen.Palette = MagPalette(false);
  sixteen.Y2 = 3;
  sixteen.FlagA = test::Bytes({0xC0});
  sixteen.FlagB = test::Bytes({0x12, 0x30});
  sixteen.Pixels = test::Bytes({0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF});
  Seed("mag", "16-colours.mag", test::MakeMag(sixteen));
  test::MagSpec full;
  full.Colours256 = true;
  full.Palette = MagPalette(true);
  full.X2 = 3;
  full.Y2 = 1;
  full.FlagA = test::Bytes({0x80});
  full.FlagB = test::Bytes({0x01});
  full.Pixels = test::Bytes({1, 2, 3, 4, 5, 6, 7, 8});
  Seed("mag", "256-colours.mag", test::MakeMag(full));
}

void PngSeeds() {
  test::PngSpec rgb;
  rgb.Width = 2;
  rgb.Height = 2;
  rgb.Rows = {std::string("\xFF\0\0\0\xFF\0", 6), std::string("\0\0\xFF\x80\x80\x80", 6)};
  Seed("png", "rgb.png", test::MakePng(rgb));
  test::PngSpec palette;
  palette.Width = 4;
  palette.Height = 1;
  palette.ColorType = PNG_COLOR_TYPE_PALETTE;
  palette.BitDepth = 2;
  palette.Palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 9, 9}};
  palette.PaletteAlpha = {0, 128};
  palette.Rows = {std::string("\x1B", 1)};
  Seed("png", "palette-trns.png", test::MakePng(palette));
  test::PngSpec grey;
  grey.Width = 3;
  grey.Height = 3;
  grey.ColorType = PNG_COLOR_TYPE_GRAY;
  grey.BitDepth = 16;
  grey.Interlace = true;
  grey.Rows = std::vector<std::string>(3, std::string("\x12\x34\x56\x78\x9A\xBC", 6));
  grey.HasTransparentColour = true;
  grey.TransparentColour.gray = 0x1234;
  Seed("png", "grey16-interlaced.png", test::MakePng(grey));
}

void JpegSeeds() {
  Seed("jpeg", "colour.jpg", test::MakeJpeg(9, 7, test::JpegKind::Colour, {200, 100, 50}));
  Seed("jpeg", "grey.jpg", test::MakeJpeg(8, 8, test::JpegKind::Grey, {77}));
  Seed("jpeg", "progressive.jpg", test::MakeJpeg(17, 3, test::JpegKind::Colour, {1, 2, 3}, true));
  Seed("jpeg", "cmyk-adobe.jpg", test::MakeJpeg(4, 4, test::JpegKind::CmykAdobe, {10, 20, 30, 40}));
}

// Q0 inputs: a byte choosing ".fal" (even) or ".ipr" (odd), the side file's
// length and text, then the pixels.
void Q0Seeds() {
  auto q0 = [](bool fal, const std::string& side, const std::string& pixels) {
    return std::string(1, fal ? '\0' : '\1') + static_cast<char>(side.size()) + side + pixels;
  };
  Seed("q0", "fal-2x2.bin", q0(true, "F_ALL\r\n2 2 0 0\r\n", std::string(12, '\x40')));
  Seed("q0", "ipr-derived-height.bin", q0(false, "2\n", std::string(18, '\x7F')));
  Seed("q0", "bad-fal.bin", q0(true, "F_AL1\r\n1 1 \r\n", "abc"));
}

// A GIF whose code stream holds only literal codes (9 bits, a clear code
// before the table would widen them), so no LZW encoder is needed.
std::string Gif(int width, int height, bool interlaced, bool localMap) {
  std::string file = "GIF89a";
  PutLE16(file, static_cast<std::uint32_t>(width));
  PutLE16(file, static_cast<std::uint32_t>(height));
  file += localMap ? test::Bytes({0x00, 0, 0}) : test::Bytes({0xF7, 0, 0});
  std::string map;
  for (int i = 0; i < 256; ++i)
    map += std::string{static_cast<char>(i), static_cast<char>(255 - i), static_cast<char>(i / 2)};
  if (!localMap)
    file += map;
  file += test::Bytes({0x21, 0xF9, 4, 1, 0, 0, 5, 0}); // transparency on index 5
  file += ",";
  PutLE16(file, 0);
  PutLE16(file, 0);
  PutLE16(file, static_cast<std::uint32_t>(width));
  PutLE16(file, static_cast<std::uint32_t>(height));
  file += static_cast<char>((localMap ? 0x87 : 0) | (interlaced ? 0x40 : 0));
  if (localMap)
    file += map;
  file += '\x08';
  std::string stream;
  std::uint32_t acc = 0;
  int bits = 0;
  auto put = [&](std::uint32_t code) {
    acc |= code << bits;
    bits += 9;
    while (bits >= 8) {
      stream += static_cast<char>(acc & 0xFF);
      acc >>= 8;
      bits -= 8;
    }
  };
  put(256);
  for (int i = 0; i < width * height; ++i) {
    if (i % 250 == 249)
      put(256);
    put(static_cast<std::uint32_t>(i * 37 % 256));
  }
  put(257);
  if (bits > 0)
    stream += static_cast<char>(acc & 0xFF);
  for (std::size_t at = 0; at < stream.size(); at += 255) {
    std::string block = stream.substr(at, 255);
    file += static_cast<char>(block.size()) + block;
  }
  return file + std::string(1, '\0') + ";";
}

void GifSeeds() {
  Seed("gif", "global-map.gif", Gif(5, 3, false, false));
  Seed("gif", "interlaced-local-map.gif", Gif(4, 9, true, true));
}

void TextSeeds() {
  test::TBuiltInSelection handsets;
  TTanmatsuList user;
  for (std::size_t i = 0; i < 3; ++i)
    user.Add(handsets.List().Stored(i * 40));
  user.AssignCaches(handsets.List());
  Seed("tanmatsu_list", "tl2-written.lst", user.SaveToText());
  Seed("tanmatsu_list", "tl2-reordered.lst",
       "TL2\r\nbit\tname\tformat\tsupportformats\twidth\theight\tcache\tbps\tcachename\tnew\r\n"
       "16\tA\t1\t0100000001\t120\t130\t10\t9600\t\tx\r\n8\tB\t0\t1\t96\t72\t0\t2400000\tKB\r\n"
       "cache\r\nKB\t12.5\r\n");
  Seed("tanmatsu_list", "tl1.lst",
       "TL1\nname\tformat\tsupportformats\twidth\theight\tbit\tcache\tbps\tcachename\n"
       "old\t1\t010000\t120\t130\t12\t10\t9600\tignored\n");

  TNamedBitsList sets;
  sets.Add(std::string(kDefaultSetName));
  sets.GetFlags(0).Set(3, true);
  sets.GetFlags(0).Set(100, true);
  sets.Add("二つ目");
  sets.GetFlags(1).Set(200, true);
  Seed("named_bits_list", "mset01-written.txt", LinesToCp932Text(sets.SaveToLines(handsets)));
  Seed("named_bits_list", "old-format.txt", "A\t0110\r\nB\t1000000001\r\n");

  Seed("ini_file", "settings.ini",
       "; kept\r\n[General]\r\nFormPosition.X = 5000\r\nFormPosition.Y=-50\r\n\r\n"
       "[Standby]\r\nComment=powered by \x83\x7E\x83\x8B\x83\x74\x83\x48\r\nKDDICopyright=0x0\r\n"
       "Calendar.Calen.MonthLabels[0]=Jan\r\n[save]\r\nHTML.Title=\r\nFolder=/tmp\r\n");

  auto templ = [](std::uint32_t serial, const std::string& text) {
    std::string out;
    PutLE32(out, serial);
    return out + test::Bytes({240, 64, 16, 1}) + text;
  };
  Seed("standby_file_name", "default.bin", templ(7, "$tn_$sn3$ex"));
  Seed("standby_file_name", "every-variable.bin",
       templ(12345, "$FN-$Tn-$ts-$tw$th-$mw$mh-$mb$mc-$mf.$EX_$sn9$$x$"));
  Seed("standby_file_name", "forbidden.bin", templ(0xFFFFFFFF, "a/b\\c:d*e?\"<>|;,\t$sn0"));
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_seeds CORPUS_FOLDER\n");
    return 2;
  }
  corpus = argv[1];
  BmpSeeds();
  IconSeeds();
  MagSeeds();
  PngSeeds();
  JpegSeeds();
  Q0Seeds();
  GifSeeds();
  TextSeeds();
  return 0;
}
