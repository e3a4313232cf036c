// JPEG encoding through libjpeg.
//
// libjpeg reports errors by calling error_exit, which must not return. We
// jump back with longjmp to the function that set the jump point. Those
// functions hold only plain C data, so the jump skips no destructor; the
// C++ callers own the libjpeg objects through guards and turn a failure into
// an exception.
#include "engine/codecs.h"
#include "platform/errors.h"
#include "platform/translate.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <jpeglib.h>

namespace mirufo {
namespace {

struct TJpegError {
  jpeg_error_mgr Manager;
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

[[noreturn]] void JpegErrorExit(j_common_ptr info) {
  auto* error = reinterpret_cast<TJpegError*>(info->err);
  (*info->err->format_message)(info, error->Message);
  std::longjmp(error->Jump, 1);
}

// Warnings (corrupt but readable data) are not worth a message.
void JpegOutputMessage(j_common_ptr) {}

void InitError(TJpegError& error) {
  jpeg_std_error(&error.Manager);
  error.Manager.error_exit = JpegErrorExit;
  error.Manager.output_message = JpegOutputMessage;
  error.Message[0] = '\0';
}

struct TCompressGuard {
  jpeg_compress_struct Info{};
  TJpegError Error{};
  unsigned char* Buffer = nullptr;
  unsigned long Size = 0;
  bool Created = false;
  ~TCompressGuard() {
    if (Created)
      jpeg_destroy_compress(&Info);
    std::free(Buffer);
  }
};

// Returns false with the message in guard.Error when libjpeg fails.
bool Compress(TCompressGuard& guard, const TBitmap& picture, int quality, bool progressive,
              bool optimize) {
  if (setjmp(guard.Error.Jump) != 0)
    return false;
  jpeg_create_compress(&guard.Info);
  guard.Created = true;
  jpeg_mem_dest(&guard.Info, &guard.Buffer, &guard.Size);
  guard.Info.image_width = static_cast<JDIMENSION>(picture.Width());
  guard.Info.image_height = static_cast<JDIMENSION>(picture.Height());
  const bool is32 = picture.PixelFormat() == pf32bit;
  guard.Info.input_components = is32 ? 4 : 3;
  guard.Info.in_color_space = is32 ? JCS_EXT_BGRX : JCS_EXT_BGR;
  jpeg_set_defaults(&guard.Info);
  guard.Info.write_JFIF_header = TRUE;
  jpeg_set_quality(&guard.Info, quality, TRUE);
  // Huffman tables fitted to this picture: a second pass over the
  // coefficients, standard baseline data that every decoder reads.
  guard.Info.optimize_coding = optimize ? TRUE : FALSE;
  if (progressive)
    jpeg_simple_progression(&guard.Info);
  jpeg_start_compress(&guard.Info, TRUE);
  while (guard.Info.next_scanline < guard.Info.image_height) {
    JSAMPROW row =
        const_cast<JSAMPROW>(picture.ScanLine(static_cast<int>(guard.Info.next_scanline)));
    jpeg_write_scanlines(&guard.Info, &row, 1);
  }
  jpeg_finish_compress(&guard.Info);
  return true;
}

} // namespace

std::string EncodeJpeg(const TBitmap& picture, int quality, bool progressive, bool optimize) {
  if (picture.Empty())
    throw EMirufoError(Tr("JPEGの書き込みに失敗しました: 画像が空です"));
  if (quality < 1)
    quality = 1;
  if (quality > 100)
    quality = 100;
  const TBitmap* input = &picture;
  TBitmap converted;
  if (picture.PixelFormat() != pf24bit && picture.PixelFormat() != pf32bit) {
    converted = picture;
    converted.SetPixelFormat(pf24bit);
    input = &converted;
  }
  TCompressGuard guard;
  InitError(guard.Error);
  guard.Info.err = &guard.Error.Manager;
  if (!Compress(guard, *input, quality, progressive, optimize))
    throw EMirufoError(std::string(Tr("JPEGの書き込みに失敗しました: ")) + guard.Error.Message);
  std::string bytes(reinterpret_cast<const char*>(guard.Buffer), guard.Size);
  // The comment segment goes in right after SOI and the JFIF APP0 segment;
  // make sure the writer produced exactly that layout.
  static const unsigned char kHead[] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0};
  if (bytes.size() < kJpegHeaderBytes || std::memcmp(bytes.data(), kHead, sizeof kHead) != 0)
    throw EMirufoError(Tr("JPEGの書き込みに失敗しました: JFIFヘッダがありません"));
  return bytes;
}

} // namespace mirufo
