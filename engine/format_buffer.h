// The last pipeline stage: colour reduction, encoding into the output file
// within a size limit, and the preview decoded from that file.
#pragma once

#include "engine/image_buffer_node.h"
#include "engine/standby_types.h"
#include "imaging/bitmap.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace mirufo {

// An encoded picture: the file bytes as its format's writer produced them.
// For JPEG the comment segment is not in Data; SaveWithComment adds it.
class TEncodedGraphic {
public:
  TEncodedGraphic(TImageFormat format, std::string data) : Format(format), Data(std::move(data)) {}
  const TImageFormat Format;
  const std::string Data;
};

// Encodes input by options within limit bytes (0 or less: no limit). For
// JPEG the quality drops by 10 while the file is over the limit and the
// quality above 10; for GIF, PNG8 and BMP the colour bits drop (above 8 to 8,
// then by one) while over and above 1. With options.BestFit and a limit the
// search finds the finest setting that fits instead: the highest JPEG
// quality from 1 to the start, or for GIF and PNG8 with an octree palette
// the most colours from 2 to the start (options.Colors holds a count that is
// not a power of two). On return options.Bits, options.JpegQuality and
// options.Colors hold the values of the attempt kept; reduced holds the
// picture handed to the encoder (created when empty), graphic the encoded
// picture and fileSize the length of the file SaveWithComment writes.
// graphic must be empty on entry ("Graphicはnilでなければなりません").
void EncodeImage(const TBitmap& input, std::unique_ptr<TBitmap>& reduced,
                 std::unique_ptr<TEncodedGraphic>& graphic, std::int64_t limit, bool copyright,
                 const std::string& comment, TFormatOptions& options, std::int32_t& fileSize);

// What EncodeImage leaves in options.Bits when nothing is over the limit:
// the palette formats start from at most 8 bits, JPEG and PNG24 are 24 bits,
// BMP2 is 1 bit. Used instead of the search when there is no limit.
void SettleFormatOptions(TFormatOptions& options);

// What the format stage computes from its input picture at options (no
// limit, no search): the picture handed to the encoder, the encoded picture,
// the length of the file and the file decoded again as the preview. A pure
// function of its arguments, so any thread may compute it.
struct TFormatResult {
  std::unique_ptr<TBitmap> Reduced;
  std::unique_ptr<TEncodedGraphic> Graphic;
  std::int32_t FileSize = 0;
  TBitmap Preview;
};
// Without preview, the picture handed to the encoder and the preview are
// left empty (a run that only saves the files).
TFormatResult MakeFormatResult(const TBitmap& input, const TFormatOptions& options,
                               bool preview = true);

// Appends the file bytes to stream: for JPEG with the comment segment (the
// copyright mark, then "," and the comment when both are present), every
// other format as its writer wrote it.
void SaveWithComment(const TEncodedGraphic& graphic, std::string& stream,
                     const std::string& comment, bool copyright);

// Appends the JPEG file with a COM segment holding text (UTF-8, written as
// CP932) right after the SOI marker and the JFIF APP0 segment. An empty text
// gives a segment of length 2.
void InsertJpegComment(const TEncodedGraphic& jpeg, std::string& stream, std::string_view text);
// The same for the bytes of a JPEG file.
void InsertJpegComment(std::string_view jpeg, std::string& stream, std::string_view text);

// The format stage.
class TFormatBuffer : public TImageBufferNode {
public:
  explicit TFormatBuffer(TStandbySpecification* target = nullptr);

  // Encodes the parent's bitmap by params without a limit and decodes the
  // file again into Bitmap. During a make run the encode may come finished
  // from the run's other threads.
  void Execute(const TStageParams& params) override;

  // Writes the file (with comment and copyright mark), replacing any
  // existing one; raises EInOutError when it cannot be written.
  void SaveToFile(const std::filesystem::path& fileName) const;
  // The file bytes as SaveToFile writes them.
  std::string FileBytes() const;

  const TBitmap* ReducedBitmap() const { return reducedBitmap_.get(); }
  const TEncodedGraphic* Graphic() const { return graphic_.get(); }
  std::int32_t FileSize() const { return fileSize_; }

private:
  std::unique_ptr<TBitmap> reducedBitmap_;
  std::unique_ptr<TEncodedGraphic> graphic_;
  std::int32_t fileSize_ = 0;
};

} // namespace mirufo
