#include "app/pages/recent_file_caption.h"

#include "output/save_run.h"

namespace mirufo {

QString RecentFileCaption(std::size_t number, const std::string& path, int maxWidth,
                          const std::function<int(const std::string&)>& textWidth) {
  const QString shown = QString::fromStdString(ShortenPath(path, maxWidth, textWidth));
  return QStringLiteral("&%1 ").arg(number) + QString(shown).replace(u'&', QStringLiteral("&&"));
}

} // namespace mirufo
