#include "import/graphic.h"

#include "platform/limits.h"
#include "platform/text_file.h"
#include "platform/translate.h"

namespace mirufo {

void TGraphic::LoadFromFile(const std::filesystem::path& fileName) {
  std::string bytes = ReadFileBytes(fileName, Limits().MaxPictureFileBytes);
  LoadFromBytes(bytes, fileName.string());
}

void TGraphic::LoadFromBytes(std::string_view, const std::string& name) {
  RaiseInvalidGraphic(name, Tr("この形式はファイルからしか読めません"));
}

void TGraphic::Progress(TLoadStage stage, std::uint8_t percent, const std::string& message) const {
  if (OnProgress)
    OnProgress(this, stage, percent, false, TRect{}, message);
}

void RaiseInvalidGraphic(const std::string& name, const std::string& what) {
  throw EInvalidGraphic(name + ": " + what);
}

void CheckPictureSize(const std::string& name, std::int64_t width, std::int64_t height) {
  if (width <= 0 || height <= 0)
    RaiseInvalidGraphic(name, Tr("画像の大きさが不正です (") + std::to_string(width) + " x " +
                                  std::to_string(height) + ")");
  if (!IsAllowedBitmapSize(width, height))
    RaiseInvalidGraphic(name, Tr("画像が大きすぎます (") + std::to_string(width) + " x " +
                                  std::to_string(height) + ")");
}

} // namespace mirufo
