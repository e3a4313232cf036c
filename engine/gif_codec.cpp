// GIF files: the LZW writer through giflib and our own run-length code
// stream writer.
#include "engine/codecs.h"
#include "platform/errors.h"
#include "platform/translate.h"

#include <algorithm>
#include <cstring>
#include <gif_lib.h>
#include <memory>
#include <vector>

namespace mirufo {
namespace {

[[noreturn]] void WriteFailed(const char* reason) {
  throw EMirufoError(std::string(Tr("GIFの書き込みに失敗しました: ")) + reason);
}

// Bits of the colour table: the smallest power of two that holds the
// palette and every index the pixel format can express that is in use.
int TableBits(const TBitmap& picture) {
  std::size_t entries = std::max<std::size_t>(picture.Palette().size(), 2);
  entries = std::min<std::size_t>(entries, 256);
  int bits = 1;
  while ((std::size_t{1} << bits) < entries)
    ++bits;
  return bits;
}

// The colour table padded with black to 2^bits entries.
std::vector<GifColorType> ColorTable(const TBitmap& picture, int bits) {
  std::vector<GifColorType> table(std::size_t{1} << bits, GifColorType{0, 0, 0});
  for (std::size_t i = 0; i < table.size() && i < picture.Palette().size(); ++i) {
    const TRGBQuad& q = picture.Palette()[i];
    table[i] = GifColorType{q.Red, q.Green, q.Blue};
  }
  return table;
}

// Palette indexes of one row, cut to the table so that a stray index stays
// inside it.
void RowIndexes(const TBitmap& picture, int y, int tableBits, std::vector<GifPixelType>& out) {
  const int mask = (1 << tableBits) - 1;
  for (int x = 0; x < picture.Width(); ++x)
    out[static_cast<std::size_t>(x)] = static_cast<GifPixelType>(picture.GetIndex(x, y) & mask);
}

// Packs variable-width codes, least significant bit first, into data
// sub-blocks of at most 255 bytes.
class TCodeWriter {
public:
  explicit TCodeWriter(std::string& out) : out_(out) {}
  void Put(unsigned code, int width) {
    bits_ |= static_cast<std::uint64_t>(code) << count_;
    count_ += width;
    while (count_ >= 8) {
      PutByte(static_cast<std::uint8_t>(bits_ & 0xFF));
      bits_ >>= 8;
      count_ -= 8;
    }
  }
  void Finish() {
    if (count_ > 0)
      PutByte(static_cast<std::uint8_t>(bits_ & 0xFF));
    bits_ = 0;
    count_ = 0;
    FlushBlock();
    out_.push_back('\0'); // block terminator
  }

private:
  void PutByte(std::uint8_t byte) {
    block_[blockLength_++] = static_cast<char>(byte);
    if (blockLength_ == 255)
      FlushBlock();
  }
  void FlushBlock() {
    if (blockLength_ == 0)
      return;
    out_.push_back(static_cast<char>(blockLength_));
    out_.append(block_, blockLength_);
    blockLength_ = 0;
  }
  std::string& out_;
  std::uint64_t bits_ = 0;
  int count_ = 0;
  char block_[255] = {};
  std::size_t blockLength_ = 0;
};

void Put16(std::string& out, unsigned value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

// The run-length stream: every pixel is a literal code. A decoder adds a
// table entry for each code after the first that follows a clear code, and
// widens its codes when the table reaches the next power of two; a clear
// code after every 2^m - 2 literals keeps the table below that point, so
// every code is m + 1 bits wide and the string table is never referenced.
std::string EncodeRle(const TBitmap& picture) {
  const int tableBits = TableBits(picture);
  const int minCodeSize = std::max(2, tableBits);
  const unsigned clearCode = 1u << minCodeSize;
  const unsigned endCode = clearCode + 1;
  const int codeWidth = minCodeSize + 1;
  const int literalsPerClear = (1 << minCodeSize) - 2;

  std::string out = "GIF89a";
  Put16(out, static_cast<unsigned>(picture.Width()));
  Put16(out, static_cast<unsigned>(picture.Height()));
  out.push_back(static_cast<char>(0x80 | ((tableBits - 1) << 4) | (tableBits - 1)));
  out.push_back('\0'); // background colour index
  out.push_back('\0'); // no aspect ratio
  for (const GifColorType& c : ColorTable(picture, tableBits)) {
    out.push_back(static_cast<char>(c.Red));
    out.push_back(static_cast<char>(c.Green));
    out.push_back(static_cast<char>(c.Blue));
  }
  out.push_back(',');
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, static_cast<unsigned>(picture.Width()));
  Put16(out, static_cast<unsigned>(picture.Height()));
  out.push_back('\0'); // no local table, not interlaced
  out.push_back(static_cast<char>(minCodeSize));

  TCodeWriter codes(out);
  std::vector<GifPixelType> row(static_cast<std::size_t>(picture.Width()));
  int sinceClear = literalsPerClear; // forces a clear code first
  for (int y = 0; y < picture.Height(); ++y) {
    RowIndexes(picture, y, tableBits, row);
    for (GifPixelType index : row) {
      if (sinceClear == literalsPerClear) {
        codes.Put(clearCode, codeWidth);
        sinceClear = 0;
      }
      codes.Put(index, codeWidth);
      ++sinceClear;
    }
  }
  codes.Put(endCode, codeWidth);
  codes.Finish();
  out.push_back(';');
  return out;
}

int WriteToString(GifFileType* gif, const GifByteType* data, int length) {
  auto* out = static_cast<std::string*>(gif->UserData);
  try {
    out->append(reinterpret_cast<const char*>(data), static_cast<std::size_t>(length));
  } catch (...) {
    return 0;
  }
  return length;
}

struct TMapDeleter {
  void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

std::string EncodeLzw(const TBitmap& picture) {
  const int tableBits = TableBits(picture);
  std::vector<GifColorType> table = ColorTable(picture, tableBits);
  std::unique_ptr<ColorMapObject, TMapDeleter> map(
      GifMakeMapObject(static_cast<int>(table.size()), table.data()));
  if (!map)
    throw EOutOfResources(Tr("GIFの書き込みに失敗しました: メモリが足りません"));
  std::vector<GifPixelType> row(static_cast<std::size_t>(picture.Width()));
  std::string out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, WriteToString, &error);
  if (!gif)
    WriteFailed(GifErrorString(error));
  EGifSetGifVersion(gif, true);
  bool ok =
      EGifPutScreenDesc(gif, picture.Width(), picture.Height(), tableBits, 0, map.get()) ==
          GIF_OK &&
      EGifPutImageDesc(gif, 0, 0, picture.Width(), picture.Height(), false, nullptr) == GIF_OK;
  for (int y = 0; ok && y < picture.Height(); ++y) {
    RowIndexes(picture, y, tableBits, row);
    ok = EGifPutLine(gif, row.data(), picture.Width()) == GIF_OK;
  }
  if (!ok)
    error = gif->Error;
  int closeError = 0;
  if (EGifCloseFile(gif, &closeError) != GIF_OK && ok) {
    ok = false;
    error = closeError;
  }
  if (!ok)
    WriteFailed(GifErrorString(error));
  return out;
}

} // namespace

std::string EncodeGif(const TBitmap& picture, TGifCodeStream stream) {
  if (picture.Empty())
    WriteFailed(Tr("画像が空です"));
  if (BitsPerPixel(picture.PixelFormat()) > 8)
    WriteFailed(Tr("パレット画像ではありません"));
  if (picture.Width() > 0xFFFF || picture.Height() > 0xFFFF)
    WriteFailed(Tr("画像が大きすぎます"));
  return stream == gcLZW ? EncodeLzw(picture) : EncodeRle(picture);
}

} // namespace mirufo
