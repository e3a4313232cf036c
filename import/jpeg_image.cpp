#include "import/jpeg_image.h"

#include "platform/translate.h"

#include <csetjmp>
#include <cstdio>
#include <vector>

// jpeglib.h needs FILE and size_t declared first.
#include <jerror.h>
#include <jpeglib.h>

namespace mirufo {
namespace {

// libjpeg reports fatal errors by calling error_exit, which must not return;
// it jumps back to the step that started the call. Only plain data lives on
// the stack of those steps.
struct TJpegErrorManager {
  jpeg_error_mgr Base;
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX] = {};
  bool EndedEarly = false;
};

void JpegErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<TJpegErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->Message);
  std::longjmp(err->Jump, 1);
}

// Warnings are tolerated (many files carry harmless junk), except the one
// that says the data ended before the picture did.
void JpegEmitMessage(j_common_ptr cinfo, int level) {
  auto* err = reinterpret_cast<TJpegErrorManager*>(cinfo->err);
  if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF)
    err->EndedEarly = true;
}

struct TJpegState {
  jpeg_decompress_struct Info;
  TJpegErrorManager Error;
};

bool ReadHeader(TJpegState& s, const std::uint8_t* data, std::size_t size) {
  if (setjmp(s.Error.Jump))
    return false;
  jpeg_mem_src(&s.Info, data, static_cast<unsigned long>(size));
  jpeg_read_header(&s.Info, TRUE);
  switch (s.Info.jpeg_color_space) {
  case JCS_CMYK:
  case JCS_YCCK:
    s.Info.out_color_space = JCS_CMYK;
    break;
  default:
    s.Info.out_color_space = JCS_EXT_BGR;
    break;
  }
  return true;
}

bool Start(TJpegState& s) {
  if (setjmp(s.Error.Jump))
    return false;
  jpeg_start_decompress(&s.Info);
  return true;
}

bool ReadRow(TJpegState& s, JSAMPROW row) {
  if (setjmp(s.Error.Jump))
    return false;
  // The memory source never suspends, so every call yields a row.
  if (jpeg_read_scanlines(&s.Info, &row, 1) != 1) {
    std::snprintf(s.Error.Message, sizeof s.Error.Message, "%s", "no row");
    return false;
  }
  return true;
}

bool Finish(TJpegState& s) {
  if (setjmp(s.Error.Jump))
    return false;
  jpeg_finish_decompress(&s.Info);
  return true;
}

} // namespace

const TGraphicClass TJPEGImage::Class{
    "TJPEGImage", []() -> std::unique_ptr<TGraphic> { return std::make_unique<TJPEGImage>(); }};

void TJPEGImage::LoadFromBytes(std::string_view bytes, const std::string& name) {
  if (bytes.size() < 3 || static_cast<std::uint8_t>(bytes[0]) != 0xFF ||
      static_cast<std::uint8_t>(bytes[1]) != 0xD8)
    RaiseInvalidGraphic(name, Tr("JPEG ファイルではありません"));
  TJpegState s;
  s.Info.err = jpeg_std_error(&s.Error.Base);
  s.Error.Base.error_exit = JpegErrorExit;
  s.Error.Base.emit_message = JpegEmitMessage;
  jpeg_create_decompress(&s.Info);
  struct TCleanup {
    jpeg_decompress_struct& Info;
    ~TCleanup() { jpeg_destroy_decompress(&Info); }
  } cleanup{s.Info};
  auto broken = [&]() {
    RaiseInvalidGraphic(name,
                        std::string(Tr("JPEG ファイルが壊れています (")) + s.Error.Message + ")");
  };

  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  if (!ReadHeader(s, data, bytes.size()))
    broken();
  CheckPictureSize(name, s.Info.image_width, s.Info.image_height);
  if (!Start(s))
    broken();
  const int width = static_cast<int>(s.Info.output_width);
  const int height = static_cast<int>(s.Info.output_height);
  CheckPictureSize(name, width, height);
  const bool cmyk = s.Info.out_color_space == JCS_CMYK;
  // Adobe applications store CMYK inverted (0 = full ink) and say so in
  // their APP14 marker.
  const bool inverted = cmyk && s.Info.saw_Adobe_marker;

  TBitmap out(width, height, pf24bit);
  std::vector<JSAMPLE> cmykRow(cmyk ? static_cast<std::size_t>(width) * 4 : 0);
  for (int y = 0; y < height; ++y) {
    if (!ReadRow(s, cmyk ? cmykRow.data() : out.ScanLine(y)))
      broken();
    if (s.Error.EndedEarly)
      RaiseInvalidGraphic(name, Tr("JPEG ファイルが途中で終わっています"));
    if (!cmyk)
      continue;
    std::uint8_t* d = out.ScanLine(y);
    for (int x = 0; x < width; ++x) {
      int c = cmykRow[4 * x], m = cmykRow[4 * x + 1], yy = cmykRow[4 * x + 2],
          k = cmykRow[4 * x + 3];
      if (!inverted) {
        c = 255 - c;
        m = 255 - m;
        yy = 255 - yy;
        k = 255 - k;
      }
      d[3 * x] = static_cast<std::uint8_t>((yy * k + 127) / 255);
      d[3 * x + 1] = static_cast<std::uint8_t>((m * k + 127) / 255);
      d[3 * x + 2] = static_cast<std::uint8_t>((c * k + 127) / 255);
    }
  }
  if (!Finish(s))
    broken();
  if (s.Error.EndedEarly)
    RaiseInvalidGraphic(name, Tr("JPEG ファイルが途中で終わっています"));
  picture_ = std::move(out);
}

} // namespace mirufo
