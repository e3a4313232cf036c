// The caption of a recent-file menu item: "&<n> " and the path shortened to
// a width by the shared path-shortening rule, its ampersands doubled.
#pragma once

#include <QString>
#include <functional>
#include <string>

namespace mirufo {

QString RecentFileCaption(std::size_t number, const std::string& path, int maxWidth,
                          const std::function<int(const std::string&)>& textWidth);

} // namespace mirufo
