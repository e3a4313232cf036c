#include "app/pages/page_caption.h"

#include <QLabel>
#include <QVBoxLayout>

namespace mirufo {

void ShowPageCaption(QWidget& page, const std::string& caption) {
  auto* label = new QLabel(QString::fromStdString(caption));
  label->setObjectName("lblCaption");
  label->setAlignment(Qt::AlignCenter);
  QFont font = label->font();
  font.setPointSize(font.pointSize() * 2);
  label->setFont(font);
  auto* layout = qobject_cast<QVBoxLayout*>(page.layout());
  if (!layout)
    layout = new QVBoxLayout(&page);
  layout->addWidget(label, 1);
}

} // namespace mirufo
