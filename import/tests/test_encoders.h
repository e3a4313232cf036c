// PNG and JPEG files made in memory for the reader tests, through the same
// libraries the readers use.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <png.h>
#include <string>
#include <vector>

namespace mirufo::test {

struct PngSpec {
  int Width = 1;
  int Height = 1;
  int ColorType = PNG_COLOR_TYPE_RGB;
  int BitDepth = 8;
  bool Interlace = false;
  std::vector<std::string> Rows; // packed as the colour type and depth say
  std::vector<png_color> Palette;
  std::vector<png_byte> PaletteAlpha; // tRNS for palette pictures
  bool HasTransparentColour = false;  // tRNS for grey and RGB pictures
  png_color_16 TransparentColour{};
};

inline void AppendPng(png_structp png, png_bytep data, png_size_t length) {
  static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<char*>(data), length);
}

inline std::string MakePng(const PngSpec& s) {
  std::string out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::abort();
  }
  png_set_write_fn(png, &out, AppendPng, nullptr);
  png_set_IHDR(png, info, static_cast<png_uint_32>(s.Width), static_cast<png_uint_32>(s.Height),
               s.BitDepth, s.ColorType, s.Interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!s.Palette.empty())
    png_set_PLTE(png, info, s.Palette.data(), static_cast<int>(s.Palette.size()));
  if (!s.PaletteAlpha.empty())
    png_set_tRNS(png, info, s.PaletteAlpha.data(), static_cast<int>(s.PaletteAlpha.size()),
                 nullptr);
  if (s.HasTransparentColour)
    png_set_tRNS(png, info, nullptr, 0, &s.TransparentColour);
  png_write_info(png, info);
  std::vector<png_bytep> rows;
  for (const std::string& row : s.Rows)
    rows.push_back(reinterpret_cast<png_bytep>(const_cast<char*>(row.data())));
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

enum class JpegKind { Colour, Grey, CmykAdobe, CmykPlain };

// A width x height JPEG, every pixel the given samples (3 for colour, 1 for
// grey, 4 for CMYK as stored in the file).
inline std::string MakeJpeg(int width, int height, JpegKind kind, std::vector<int> samples,
                            bool progressive = false) {
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &buffer, &size);
  c.image_width = static_cast<JDIMENSION>(width);
  c.image_height = static_cast<JDIMENSION>(height);
  c.input_components = static_cast<int>(samples.size());
  c.in_color_space = kind == JpegKind::Colour ? JCS_RGB
                     : kind == JpegKind::Grey ? JCS_GRAYSCALE
                                              : JCS_CMYK;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 100, TRUE);
  if (kind == JpegKind::CmykPlain)
    c.write_Adobe_marker = FALSE;
  if (progressive)
    jpeg_simple_progression(&c);
  jpeg_start_compress(&c, TRUE);
  std::vector<JSAMPLE> row(static_cast<std::size_t>(width) * samples.size());
  for (std::size_t i = 0; i < row.size(); ++i)
    row[i] = static_cast<JSAMPLE>(samples[i % samples.size()]);
  while (c.next_scanline < c.image_height) {
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&c, &r, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::string out(reinterpret_cast<char*>(buffer), size);
  std::free(buffer);
  return out;
}

} // namespace mirufo::test
