#include "app/dialogs/about_dialog.h"

#include "output/standby_session.h"
#include "platform/translate.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#ifndef MIRUFO_VERSION
#define MIRUFO_VERSION "0"
#endif

namespace mirufo {
namespace {

// The libraries the program links, with their licences.
constexpr const char* kLicences[][2] = {
    {"Qt 6", "GNU LGPL v3"},
    {"libjpeg-turbo", "IJG License, Modified (3-clause) BSD License"},
    {"libpng", "PNG Reference Library License version 2"},
    {"zlib", "zlib License"},
    {"giflib", "MIT License"},
    {"FreeType", "FreeType License (FTL)"},
    {"Fontconfig", "MIT-style License"},
    {"IPAGothic (font, when installed)", "IPA Font License Agreement v1.0"},
};

QString Q(const char* text) {
  return QString::fromUtf8(Tr(text));
}

} // namespace

TAboutDialog::TAboutDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(Q("ミルフォについて"));
  text_ = QString("%1 %2\n%3 %4\n\n%5\n")
              .arg(Q(kApplicationTitle), QStringLiteral(MIRUFO_VERSION), Q("Qt バージョン"),
                   QString::fromLatin1(qVersion()), Q("使用しているライブラリとそのライセンス:"));
  for (const auto& licence : kLicences)
    text_ +=
        QString("  %1: %2\n").arg(QString::fromUtf8(licence[0]), QString::fromUtf8(licence[1]));
  auto* label = new QLabel(text_);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label);
  layout->addWidget(buttons);
}

} // namespace mirufo
