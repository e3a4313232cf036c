#include "import/spi.h"

#include <algorithm>
#include <cstring>
#include <dlfcn.h>

namespace mirufo {
namespace {

template <typename F> F Lookup(void* library, const char* name) {
  return reinterpret_cast<F>(dlsym(library, name));
}

} // namespace

void TSPI::TLibraryCloser::operator()(void* handle) const {
  if (handle)
    dlclose(handle);
}

TSPI::TSPI(const std::filesystem::path& fileName) {
  std::error_code ec;
  auto full = std::filesystem::absolute(fileName, ec);
  fileName_ = (ec ? fileName : full.lexically_normal()).string();
  library_.reset(dlopen(fileName_.c_str(), RTLD_NOW | RTLD_LOCAL));
  if (!library_)
    throw ESPIFOpenErrorSPI(fileName_);
  void* lib = library_.get();
  getPluginInfo_ = Lookup<TSpiGetPluginInfo>(lib, "GetPluginInfo");
  configurationDlg_ = Lookup<TSpiConfigurationDlg>(lib, "ConfigurationDlg");
  isSupported_ = Lookup<TSpiIsSupported>(lib, "IsSupported");
  getPictureInfo_ = Lookup<TSpiGetPictureInfo>(lib, "GetPictureInfo");
  getPicture_ = Lookup<TSpiGetPicture>(lib, "GetPicture");
  getPreview_ = Lookup<TSpiGetPicture>(lib, "GetPreview");
  getArchiveInfo_ = Lookup<TSpiGetArchiveInfo>(lib, "GetArchiveInfo");
  getFileInfo_ = Lookup<TSpiGetFileInfo>(lib, "GetFileInfo");
  getFile_ = Lookup<TSpiGetFile>(lib, "GetFile");
  Require(reinterpret_cast<const void*>(getPluginInfo_), "GetPluginInfo");

  apiVersion_ = GetPluginInfo(0);
  description_ = GetPluginInfo(1);
  // Pairs of extension pattern and format name, while both are given. The
  // count is bounded so that a plug-in answering forever cannot hang us.
  for (int i = 2; i < 2 + 2 * 256; i += 2) {
    std::string pattern = GetPluginInfo(i);
    std::string formatName = pattern.empty() ? std::string() : GetPluginInfo(i + 1);
    if (pattern.empty() || formatName.empty())
      break;
    extensions_.push_back(std::move(pattern));
    formatNames_.push_back(std::move(formatName));
  }
}

TSPI::~TSPI() = default;

std::unique_ptr<TSPI> TSPI::Create(const std::filesystem::path& fileName) {
  try {
    std::string version = TSPI(fileName).APIVersion();
    if (version == "00IN")
      return std::make_unique<TInSPI>(fileName);
    if (version == "00AM")
      return std::make_unique<TAmSPI>(fileName);
    if (version == "00XN")
      return std::make_unique<TXnSPI>(fileName);
    return std::make_unique<TSPI>(fileName);
  } catch (const ESPIFOpenErrorSPI&) {
    return nullptr;
  } catch (const ESPIInvalidAPI&) {
    return nullptr;
  }
}

void TSPI::Require(const void* function, const char* name) const {
  if (!function)
    throw ESPIInvalidAPI(name, fileName_);
}

std::string TSPI::GetPluginInfo(int index) const {
  Require(reinterpret_cast<const void*>(getPluginInfo_), "GetPluginInfo");
  char buffer[256] = {};
  int length = getPluginInfo_(index, buffer, 255);
  if (length <= 0)
    return {};
  buffer[255] = '\0';
  return std::string(buffer, strnlen(buffer, static_cast<std::size_t>(std::min(length, 255))));
}

int TSPI::ConfigurationDlg(void* parent, int fnc) const {
  Require(reinterpret_cast<const void*>(configurationDlg_), "ConfigurationDlg");
  return configurationDlg_(parent, fnc);
}

int TSPI::IsSupported(const std::string& fileName, const void* head) const {
  Require(reinterpret_cast<const void*>(isSupported_), "IsSupported");
  return isSupported_(fileName.c_str(), head);
}

int TSPI::GetPictureInfo(const std::string& fileName, long offset, unsigned flag,
                         TSpiPictureInfo& info) const {
  Require(reinterpret_cast<const void*>(getPictureInfo_), "GetPictureInfo");
  return getPictureInfo_(fileName.c_str(), offset, flag, &info);
}

int TSPI::GetPicture(const std::string& fileName, long offset, unsigned flag, void** bitmapInfo,
                     void** bits, TSpiProgressCallback progress, long data) const {
  Require(reinterpret_cast<const void*>(getPicture_), "GetPicture");
  return getPicture_(fileName.c_str(), offset, flag, bitmapInfo, bits, progress, data);
}

int TSPI::GetPreview(const std::string& fileName, long offset, unsigned flag, void** bitmapInfo,
                     void** bits, TSpiProgressCallback progress, long data) const {
  Require(reinterpret_cast<const void*>(getPreview_), "GetPreview");
  return getPreview_(fileName.c_str(), offset, flag, bitmapInfo, bits, progress, data);
}

int TSPI::GetArchiveInfo(const std::string& fileName, long offset, unsigned flag,
                         void** info) const {
  Require(reinterpret_cast<const void*>(getArchiveInfo_), "GetArchiveInfo");
  return getArchiveInfo_(fileName.c_str(), offset, flag, info);
}

int TSPI::GetFileInfo(const std::string& fileName, long offset, const std::string& name,
                      unsigned flag, void* info) const {
  Require(reinterpret_cast<const void*>(getFileInfo_), "GetFileInfo");
  return getFileInfo_(fileName.c_str(), offset, name.c_str(), flag, info);
}

int TSPI::GetFile(const std::string& source, long offset, char* dest, unsigned flag,
                  TSpiProgressCallback progress, long data) const {
  Require(reinterpret_cast<const void*>(getFile_), "GetFile");
  return getFile_(source.c_str(), offset, dest, flag, progress, data);
}

TLoaderSPI::TLoaderSPI(const std::filesystem::path& fileName) : TSPI(fileName) {
  Require(reinterpret_cast<const void*>(isSupported_), "IsSupported");
}

TInSPI::TInSPI(const std::filesystem::path& fileName) : TLoaderSPI(fileName) {
  Require(reinterpret_cast<const void*>(getPictureInfo_), "GetPictureInfo");
  Require(reinterpret_cast<const void*>(getPicture_), "GetPicture");
}

TAmSPI::TAmSPI(const std::filesystem::path& fileName) : TLoaderSPI(fileName) {
  Require(reinterpret_cast<const void*>(getArchiveInfo_), "GetArchiveInfo");
  Require(reinterpret_cast<const void*>(getFileInfo_), "GetFileInfo");
  Require(reinterpret_cast<const void*>(getFile_), "GetFile");
}

} // namespace mirufo
