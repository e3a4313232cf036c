#include "import/spis.h"

#include "import/picture_formats.h"
#include "import/spi_bitmap.h"
#include "platform/folders.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fnmatch.h>

namespace mirufo {
namespace {

TSPIs* currentManager = nullptr;

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// Ordinary files of the folder whose names match the mask (case ignored),
// hidden files left out, sorted by name.
std::vector<std::filesystem::path> ListMatches(const std::filesystem::path& folder,
                                               const std::string& mask) {
  std::vector<std::filesystem::path> found;
  std::error_code ec;
  std::filesystem::directory_iterator it(folder, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    if (!it->is_regular_file(typeError))
      continue;
    std::string name = it->path().filename().string();
    if (name.starts_with('.'))
      continue;
    if (fnmatch(mask.c_str(), name.c_str(), FNM_CASEFOLD) == 0)
      found.push_back(it->path());
  }
  std::sort(found.begin(), found.end());
  return found;
}

} // namespace

TSPIs::TSPIs() {
  if (currentManager)
    throw ESPIDupCreateSPIs();
  currentManager = this;
}

TSPIs::~TSPIs() {
  Clear();
  if (currentManager == this)
    currentManager = nullptr;
}

TSPIs* TSPIs::Current() {
  return currentManager;
}

std::vector<std::filesystem::path> TSPIs::SearchFolders() const {
  std::vector<std::filesystem::path> folders;
  if (SearchOptions.contains(spsSusieDir))
    if (const char* dir = std::getenv("SUSIE_PLUGIN_DIR"); dir && *dir)
      folders.emplace_back(dir);
  if (SearchOptions.contains(spsAppDir))
    for (auto& folder : PluginFolders())
      folders.push_back(std::move(folder));
  if (SearchOptions.contains(spsCurrentDir)) {
    std::error_code ec;
    auto current = std::filesystem::current_path(ec);
    if (!ec)
      folders.push_back(current);
  }
  return folders;
}

void TSPIs::LoadPlugins(const std::string& pattern) {
  const std::filesystem::path patternPath(pattern);
  const std::string mask = patternPath.filename().string();
  std::vector<std::filesystem::path> folders;
  if (patternPath.has_parent_path())
    folders.push_back(patternPath.parent_path());
  else
    folders = SearchFolders();

  for (const auto& folder : folders) {
    for (const auto& file : ListMatches(folder, mask)) {
      std::error_code ec;
      auto full = std::filesystem::absolute(file, ec).lexically_normal();
      if (IndexOf(full.string()) >= 0)
        continue;
      bool accept = true;
      if (OnSearching)
        OnSearching(*this, full, accept);
      if (!accept)
        continue;
      std::unique_ptr<TSPI> spi = TSPI::Create(full);
      if (!spi)
        continue;
      accept = true;
      if (OnSearch)
        OnSearch(*this, *spi, accept);
      if (accept)
        Add(std::move(spi));
    }
  }
}

TSPI& TSPIs::Items(int index) const {
  if (index < 0 || index >= Count())
    throw ERangeError("TSPIs");
  return *plugins_[static_cast<std::size_t>(index)];
}

int TSPIs::IndexOf(const std::string& fileName) const {
  const std::string wanted = Lower(fileName);
  for (int i = 0; i < Count(); ++i)
    if (Lower(plugins_[static_cast<std::size_t>(i)]->FileName()) == wanted)
      return i;
  return -1;
}

void TSPIs::Add(std::unique_ptr<TSPI> spi) {
  Insert(Count(), std::move(spi));
}

void TSPIs::Insert(int index, std::unique_ptr<TSPI> spi) {
  if (index < 0 || index > Count())
    throw ERangeError("TSPIs");
  if (!spi)
    return;
  TSPI& added = *spi;
  plugins_.insert(plugins_.begin() + index, std::move(spi));
  RegisterFormats(added);
}

void TSPIs::Delete(int index) {
  if (index < 0 || index >= Count())
    throw ERangeError("TSPIs");
  plugins_.erase(plugins_.begin() + index);
}

void TSPIs::Clear() {
  plugins_.clear();
}

void TSPIs::RegisterFormats(TSPI& spi) {
  if (!dynamic_cast<TInSPI*>(&spi))
    return;
  for (std::size_t i = 0; i < spi.Extensions().size(); ++i) {
    // Split at ";" and take the patterns from the last to the first.
    std::vector<std::string> patterns;
    std::string_view text = spi.Extensions()[i];
    for (std::size_t start = 0;;) {
      std::size_t semicolon = text.find(';', start);
      patterns.emplace_back(text.substr(start, semicolon - start));
      if (semicolon == std::string_view::npos)
        break;
      start = semicolon + 1;
    }
    for (auto it = patterns.rbegin(); it != patterns.rend(); ++it) {
      std::size_t dot = it->find('.');
      std::string extension = dot == std::string::npos ? *it : it->substr(dot + 1);
      TGraphicClassRef graphicClass = &TSPIBitmap::Class;
      if (OnPictureRegister)
        OnPictureRegister(*this, spi, extension, spi.FormatNames()[i], graphicClass);
      if (graphicClass)
        TPictureFormats::Instance().Register(extension, spi.FormatNames()[i], graphicClass);
    }
  }
}

std::vector<TInSPI*> TSPIs::Candidates(const std::filesystem::path& fileName) const {
  std::string extension = fileName.extension().string();
  if (!extension.empty())
    extension = Lower(extension.substr(1));
  std::vector<TInSPI*> declaring, others;
  for (const auto& spi : plugins_) {
    auto* in = dynamic_cast<TInSPI*>(spi.get());
    if (!in)
      continue;
    bool declares = false;
    for (const std::string& text : in->Extensions()) {
      std::size_t dot = text.rfind('.');
      if (dot != std::string::npos && Lower(text.substr(dot + 1)) == extension)
        declares = true;
    }
    if (declares)
      declaring.insert(declaring.begin(), in);
    else
      others.push_back(in);
  }
  declaring.insert(declaring.end(), others.begin(), others.end());
  return declaring;
}

} // namespace mirufo
