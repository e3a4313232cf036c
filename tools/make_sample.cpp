// mirufo-sample: writes the deterministic sample picture as a 24-bit PNG.
//   mirufo-sample OUT.png [WIDTH HEIGHT [SEED]]
#include "tools/sample_picture.h"

#include <cstdio>
#include <cstdlib>
#include <png.h>
#include <string>

namespace {

bool WritePng(const char* path, const mirufo::TBitmap& picture) {
  FILE* file = std::fopen(path, "wb");
  if (!file)
    return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(picture.Width()),
               static_cast<png_uint_32>(picture.Height()), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_set_bgr(png);
  for (int y = 0; y < picture.Height(); ++y)
    png_write_row(png, const_cast<png_bytep>(picture.ScanLine(y)));
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return std::fclose(file) == 0;
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 4 && argc != 5) {
    std::fprintf(stderr, "usage: mirufo-sample OUT.png [WIDTH HEIGHT [SEED]]\n");
    return 2;
  }
  int width = argc >= 4 ? std::atoi(argv[2]) : 1600;
  int height = argc >= 4 ? std::atoi(argv[3]) : 1200;
  auto seed = static_cast<std::uint32_t>(argc == 5 ? std::strtoul(argv[4], nullptr, 10) : 1);
  if (width <= 0 || height <= 0 || !mirufo::IsAllowedBitmapSize(width, height)) {
    std::fprintf(stderr, "mirufo-sample: bad size\n");
    return 2;
  }
  if (!WritePng(argv[1], mirufo::MakeSamplePicture(width, height, seed))) {
    std::fprintf(stderr, "mirufo-sample: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
