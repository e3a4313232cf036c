// The Q0 reader: raw full-colour pictures (".q0", ".rgb") whose bytes are
// red, green, blue per pixel, rows from the top, with the size kept in a side
// file of the same name: ".fal" for ".q0", ".ipr" for ".rgb".
//
// A ".fal" file whose first line does not start with "F_ALL" is reported
// through OnMessage ("FAL ファイルが不正です"; the desktop program beeps and
// shows it as an error with one OK button) and the load ends without a
// picture and without an error; the text is also kept in LastMessage() for
// callers without a window. A pixel file shorter than the size asks for is refused.
#pragma once

#include "import/graphic.h"

namespace mirufo {

class TQ0Bitmap : public TGraphic {
public:
  static const TGraphicClass Class;
  static constexpr const char* kDescription = "フルカラーベタ";
  static constexpr const char* kBadFalMessage = "FAL ファイルが不正です";

  void LoadFromFile(const std::filesystem::path& fileName) override;

  const std::string& LastMessage() const { return lastMessage_; }

private:
  std::string lastMessage_;
};

// Width and height from a size text: blank-separated numbers; the height
// counts only when a blank follows it. A part that is not a number is 0.
struct TQ0Size {
  std::int64_t Width = 0;
  std::int64_t Height = 0;
};
TQ0Size ParseQ0SizeText(std::string_view text);

// The size to use for a pixel file of length bytes when the side file gave
// width and height (0 = not given).
TQ0Size ResolveQ0Size(TQ0Size given, std::uint64_t length);

} // namespace mirufo
