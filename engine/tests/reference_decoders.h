// Readers for the tests that go straight to libjpeg, libpng and giflib, so
// that every file the engine writes is checked by a decoder that is not the
// engine's own. Each returns false when the library refuses the file.
#pragma once

#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>
#include <string>
#include <utility>
#include <vector>

namespace mirufo::test {

struct TRgbImage {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint8_t> Rgb; // 3 bytes a pixel, rows top-down, no padding
  std::uint8_t R(int x, int y) const { return Rgb[(static_cast<std::size_t>(y) * Width + x) * 3]; }
  std::uint8_t G(int x, int y) const {
    return Rgb[(static_cast<std::size_t>(y) * Width + x) * 3 + 1];
  }
  std::uint8_t B(int x, int y) const {
    return Rgb[(static_cast<std::size_t>(y) * Width + x) * 3 + 2];
  }
};

// ---- libjpeg ----

struct TRefJpegError {
  jpeg_error_mgr Manager;
  std::jmp_buf Jump;
};

inline void RefJpegErrorExit(j_common_ptr info) {
  std::longjmp(reinterpret_cast<TRefJpegError*>(info->err)->Jump, 1);
}

inline void RefJpegSilent(j_common_ptr) {}

struct TRefJpegInfo {
  bool Progressive = false;
  std::vector<std::string> Comments; // COM segments, raw bytes
};

inline bool RefDecodeJpegInto(const std::string& bytes, jpeg_decompress_struct& info,
                              TRgbImage& out, TRefJpegInfo& extra) {
  TRefJpegError error;
  info.err = jpeg_std_error(&error.Manager);
  error.Manager.error_exit = RefJpegErrorExit;
  error.Manager.output_message = RefJpegSilent;
  if (setjmp(error.Jump) != 0) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  jpeg_save_markers(&info, JPEG_COM, 0xFFFF);
  jpeg_read_header(&info, TRUE);
  extra.Progressive = info.progressive_mode;
  for (jpeg_saved_marker_ptr m = info.marker_list; m; m = m->next)
    if (m->marker == JPEG_COM)
      extra.Comments.emplace_back(reinterpret_cast<const char*>(m->data), m->data_length);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  out.Width = static_cast<int>(info.output_width);
  out.Height = static_cast<int>(info.output_height);
  out.Rgb.assign(static_cast<std::size_t>(out.Width) * out.Height * 3, 0);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = out.Rgb.data() + static_cast<std::size_t>(info.output_scanline) * out.Width * 3;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

inline bool RefDecodeJpeg(const std::string& bytes, TRgbImage& out, TRefJpegInfo* extra = nullptr) {
  jpeg_decompress_struct info{};
  TRefJpegInfo local;
  bool ok = RefDecodeJpegInto(bytes, info, out, local);
  if (extra)
    *extra = std::move(local);
  return ok;
}

// ---- libpng ----

struct TRefPngInfo {
  int BitDepth = 0;
  int ColorType = 0;
  bool Interlaced = false;
  std::vector<png_color> Palette;
  std::vector<std::pair<std::string, std::string>> Texts; // keyword, raw text bytes
  bool HasTime = false;
  std::vector<std::uint8_t> Indexes; // palette images: one index a pixel
};

struct TRefPngSource {
  const std::string* Bytes;
  std::size_t Position;
};

inline void RefPngRead(png_structp png, png_bytep data, png_size_t length) {
  auto* source = static_cast<TRefPngSource*>(png_get_io_ptr(png));
  if (source->Bytes->size() - source->Position < length)
    png_error(png, "eof");
  std::memcpy(data, source->Bytes->data() + source->Position, length);
  source->Position += length;
}

inline void RefPngError(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}

inline void RefPngWarning(png_structp, png_const_charp) {}

inline bool RefDecodePngWith(png_structp png, png_infop info, const std::string& bytes,
                             TRgbImage& out, TRefPngInfo& extra,
                             std::vector<std::vector<std::uint8_t>>& rows) {
  TRefPngSource source{&bytes, 0};
  if (setjmp(png_jmpbuf(png)) != 0)
    return false;
  png_set_read_fn(png, &source, RefPngRead);
  png_read_info(png, info);
  out.Width = static_cast<int>(png_get_image_width(png, info));
  out.Height = static_cast<int>(png_get_image_height(png, info));
  extra.BitDepth = png_get_bit_depth(png, info);
  extra.ColorType = png_get_color_type(png, info);
  extra.Interlaced = png_get_interlace_type(png, info) == PNG_INTERLACE_ADAM7;
  png_colorp palette = nullptr;
  int count = 0;
  if (png_get_PLTE(png, info, &palette, &count) != 0)
    extra.Palette.assign(palette, palette + count);
  if (extra.ColorType == PNG_COLOR_TYPE_PALETTE)
    png_set_packing(png); // one index a byte
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  rows.assign(static_cast<std::size_t>(out.Height),
              std::vector<std::uint8_t>(png_get_rowbytes(png, info)));
  std::vector<png_bytep> pointers;
  for (auto& row : rows)
    pointers.push_back(row.data());
  png_read_image(png, pointers.data());
  png_read_end(png, info);
  png_textp texts = nullptr;
  int textCount = 0;
  png_get_text(png, info, &texts, &textCount);
  for (int i = 0; i < textCount; ++i)
    extra.Texts.emplace_back(texts[i].key, std::string(texts[i].text, texts[i].text_length));
  png_timep time = nullptr;
  extra.HasTime = png_get_tIME(png, info, &time) != 0;
  return true;
}

inline bool RefDecodePng(const std::string& bytes, TRgbImage& out, TRefPngInfo& extra) {
  png_structp png =
      png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, RefPngError, RefPngWarning);
  png_infop info = png_create_info_struct(png);
  std::vector<std::vector<std::uint8_t>> rows;
  bool ok = RefDecodePngWith(png, info, bytes, out, extra, rows);
  png_destroy_read_struct(&png, &info, nullptr);
  if (!ok)
    return false;
  out.Rgb.assign(static_cast<std::size_t>(out.Width) * out.Height * 3, 0);
  for (int y = 0; y < out.Height; ++y)
    for (int x = 0; x < out.Width; ++x) {
      std::uint8_t* p = &out.Rgb[(static_cast<std::size_t>(y) * out.Width + x) * 3];
      if (extra.ColorType == PNG_COLOR_TYPE_PALETTE) {
        std::uint8_t index = rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
        extra.Indexes.push_back(index);
        png_color c = index < extra.Palette.size() ? extra.Palette[index] : png_color{0, 0, 0};
        p[0] = c.red, p[1] = c.green, p[2] = c.blue;
      } else {
        std::memcpy(p, &rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x) * 3], 3);
      }
    }
  return true;
}

// The chunk types of a PNG file in file order, with their data lengths.
inline std::vector<std::pair<std::string, std::uint32_t>> PngChunks(const std::string& bytes) {
  std::vector<std::pair<std::string, std::uint32_t>> chunks;
  std::size_t at = 8;
  while (at + 8 <= bytes.size()) {
    auto byte = [&](std::size_t i) {
      return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i]));
    };
    std::uint32_t length =
        (byte(at) << 24) | (byte(at + 1) << 16) | (byte(at + 2) << 8) | byte(at + 3);
    chunks.emplace_back(bytes.substr(at + 4, 4), length);
    at += 12 + length;
  }
  return chunks;
}

// ---- giflib ----

struct TRefGifInfo {
  int ColorCount = 0;
  std::vector<GifColorType> Colors;
  std::vector<std::uint8_t> Indexes;
  int MinCodeSize = 0;
};

inline int RefGifRead(GifFileType* gif, GifByteType* data, int length) {
  auto* source = static_cast<TRefPngSource*>(gif->UserData);
  std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(length),
                                        source->Bytes->size() - source->Position);
  std::memcpy(data, source->Bytes->data() + source->Position, n);
  source->Position += n;
  return static_cast<int>(n);
}

inline bool RefDecodeGif(const std::string& bytes, TRgbImage& out, TRefGifInfo& extra) {
  TRefPngSource source{&bytes, 0};
  int error = 0;
  GifFileType* gif = DGifOpen(&source, RefGifRead, &error);
  if (!gif)
    return false;
  bool ok = DGifSlurp(gif) == GIF_OK && gif->ImageCount >= 1;
  if (ok) {
    const SavedImage& image = gif->SavedImages[0];
    const ColorMapObject* map =
        image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
    ok = map != nullptr;
    if (ok) {
      out.Width = image.ImageDesc.Width;
      out.Height = image.ImageDesc.Height;
      extra.ColorCount = map->ColorCount;
      extra.Colors.assign(map->Colors, map->Colors + map->ColorCount);
      extra.Indexes.assign(image.RasterBits,
                           image.RasterBits + static_cast<std::size_t>(out.Width) * out.Height);
      for (std::uint8_t index : extra.Indexes) {
        GifColorType c = index < map->ColorCount ? map->Colors[index] : GifColorType{0, 0, 0};
        out.Rgb.push_back(c.Red);
        out.Rgb.push_back(c.Green);
        out.Rgb.push_back(c.Blue);
      }
    }
  }
  DGifCloseFile(gif, &error);
  return ok;
}

} // namespace mirufo::test
