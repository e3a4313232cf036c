// Wrappers of Susie plug-ins: one object per loaded plug-in library.
//
// TSPI loads the library, looks up the nine exports by name and reads the
// plug-in's information (API version, description, extension patterns and
// format names). Its descendants require the exports their API version
// needs. A missing export is an error only when required or called.
#pragma once

#include "import/susie_api.h"
#include "platform/errors.h"
#include "platform/translate.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace mirufo {

// The library cannot be loaded.
class ESPIFOpenErrorSPI : public EMirufoError {
public:
  explicit ESPIFOpenErrorSPI(const std::string& path)
      : EMirufoError(path + Tr(":Susie Pluginがロードできませんでした")) {}
};

// A required export is missing, or a missing export is called.
class ESPIInvalidAPI : public EMirufoError {
public:
  ESPIInvalidAPI(const std::string& function, const std::string& library)
      : EMirufoError(function + Tr("は[") + library + Tr("]では使えないSusie Plugin APIです")) {}
};

class TSPI {
public:
  // Loads the library; raises ESPIFOpenErrorSPI when it cannot be loaded and
  // ESPIInvalidAPI when it lacks "GetPluginInfo".
  explicit TSPI(const std::filesystem::path& fileName);
  virtual ~TSPI();
  TSPI(const TSPI&) = delete;
  TSPI& operator=(const TSPI&) = delete;

  // Loads the file as the wrapper its API version calls for ("00IN",
  // "00AM", "00XN", anything else a plain TSPI). A file that is not a
  // loadable plug-in gives null; other errors pass on.
  static std::unique_ptr<TSPI> Create(const std::filesystem::path& fileName);

  const std::string& FileName() const { return fileName_; }
  const std::string& APIVersion() const { return apiVersion_; }
  const std::string& Description() const { return description_; }
  // Parallel lists: extension pattern texts ("*.pi;*.pic") and format names.
  const std::vector<std::string>& Extensions() const { return extensions_; }
  const std::vector<std::string>& FormatNames() const { return formatNames_; }

  // The Susie calls. Each raises ESPIInvalidAPI when the export is missing.
  std::string GetPluginInfo(int index) const;
  int ConfigurationDlg(void* parent, int fnc) const;
  int IsSupported(const std::string& fileName, const void* head) const;
  int GetPictureInfo(const std::string& fileName, long offset, unsigned flag,
                     TSpiPictureInfo& info) const;
  int GetPicture(const std::string& fileName, long offset, unsigned flag, void** bitmapInfo,
                 void** bits, TSpiProgressCallback progress, long data) const;
  int GetPreview(const std::string& fileName, long offset, unsigned flag, void** bitmapInfo,
                 void** bits, TSpiProgressCallback progress, long data) const;
  int GetArchiveInfo(const std::string& fileName, long offset, unsigned flag, void** info) const;
  int GetFileInfo(const std::string& fileName, long offset, const std::string& name, unsigned flag,
                  void* info) const;
  int GetFile(const std::string& source, long offset, char* dest, unsigned flag,
              TSpiProgressCallback progress, long data) const;

  bool HasGetPreview() const { return getPreview_ != nullptr; }

protected:
  // Raises ESPIInvalidAPI when the export is missing.
  void Require(const void* function, const char* name) const;

private:
  struct TLibraryCloser {
    void operator()(void* handle) const;
  };

  std::unique_ptr<void, TLibraryCloser> library_;
  std::string fileName_;
  std::string apiVersion_;
  std::string description_;
  std::vector<std::string> extensions_;
  std::vector<std::string> formatNames_;

  TSpiGetPluginInfo getPluginInfo_ = nullptr;
  TSpiConfigurationDlg configurationDlg_ = nullptr;
  TSpiIsSupported isSupported_ = nullptr;
  TSpiGetPictureInfo getPictureInfo_ = nullptr;
  TSpiGetPicture getPicture_ = nullptr;
  TSpiGetPicture getPreview_ = nullptr;
  TSpiGetArchiveInfo getArchiveInfo_ = nullptr;
  TSpiGetFileInfo getFileInfo_ = nullptr;
  TSpiGetFile getFile_ = nullptr;

  friend class TLoaderSPI;
  friend class TInSPI;
  friend class TAmSPI;
};

// A plug-in that reads files: it must say which files it supports.
class TLoaderSPI : public TSPI {
public:
  explicit TLoaderSPI(const std::filesystem::path& fileName);
};

// A picture import plug-in ("00IN").
class TInSPI : public TLoaderSPI {
public:
  explicit TInSPI(const std::filesystem::path& fileName);
};

// An archive plug-in ("00AM").
class TAmSPI : public TLoaderSPI {
public:
  explicit TAmSPI(const std::filesystem::path& fileName);
};

// An export plug-in ("00XN").
class TXnSPI : public TSPI {
public:
  using TSPI::TSPI;
};

} // namespace mirufo
