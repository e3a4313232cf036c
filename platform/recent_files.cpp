#include "platform/recent_files.h"

#include "platform/ini_file.h"

#include <algorithm>
#include <utility>

namespace mirufo {
namespace {

bool SameText(std::string_view a, std::string_view b) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [&](char x, char y) { return lower(x) == lower(y); });
}

std::string ItemKey(std::string_view key, std::size_t index) {
  return std::string(key) + ".Items[" + std::to_string(index) + "]";
}

std::string CountKey(std::string_view key) {
  return std::string(key) + ".Count";
}

} // namespace

void TRecentFiles::Add(const std::string& path) {
  auto found = std::find_if(items_.begin(), items_.end(),
                            [&](const std::string& item) { return SameText(item, path); });
  if (found == items_.end()) {
    items_.insert(items_.begin(), path);
  } else {
    *found = path;
    std::iter_swap(items_.begin(), found);
  }
  if (items_.size() > kRecentFileCount)
    items_.resize(kRecentFileCount);
}

void TRecentFiles::Remove(std::size_t index) {
  if (index < items_.size())
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
}

void TRecentFiles::Load(const TIniFile& ini, std::string_view section, std::string_view key) {
  items_.clear();
  if (!ini.ValueExists(section, CountKey(key)))
    return;
  const int count = ini.ReadInteger(section, CountKey(key), 0);
  const int limit = std::min(count, static_cast<int>(kRecentFileCount));
  for (int i = 0; i < limit; ++i) {
    std::string item = ini.ReadString(section, ItemKey(key, static_cast<std::size_t>(i)), "");
    if (!item.empty())
      items_.push_back(std::move(item));
  }
}

void TRecentFiles::Save(TIniFile& ini, std::string_view section, std::string_view key) const {
  const int old = ini.ReadInteger(section, CountKey(key), 0);
  ini.WriteInteger(section, CountKey(key), static_cast<int>(items_.size()));
  for (std::size_t i = 0; i < items_.size(); ++i)
    ini.WriteString(section, ItemKey(key, i), items_[i]);
  const std::size_t stale = static_cast<std::size_t>(std::clamp(old, 0, 64));
  for (std::size_t i = items_.size(); i < stale; ++i)
    ini.DeleteKey(section, ItemKey(key, i));
}

} // namespace mirufo
