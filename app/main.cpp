// mirufo: the desktop program.
#include "app/main_form.h"
#include "app/mirufo_application.h"
#include "app/mirufo_program.h"
#include "platform/translate.h"

#include <cstdio>
#include <cstring>

#ifndef MIRUFO_VERSION
#define MIRUFO_VERSION "0"
#endif

namespace {

// --help and --version answer before Qt starts, so that they work without a
// display; every other argument is Qt's.
bool AnswerInformationOption(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("mirufo %s\n", MIRUFO_VERSION);
      return true;
    }
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::printf("%s: mirufo [%s]\n       mirufo --help | --version\n%s\n", mirufo::Tr("使い方"),
                  mirufo::Tr("Qt のオプション"),
                  mirufo::Tr("ひとつの画像から携帯電話の待受画像を作ります。詳しくは man mirufo "
                             "とヘルプページを見てください。"));
      return true;
    }
  }
  return false;
}

} // namespace

int main(int argc, char** argv) {
  if (AnswerInformationOption(argc, argv))
    return 0;
  mirufo::TMirufoApplication application(argc, argv);
  int status = 0;
  {
    mirufo::TMirufoProgram program;
    program.Form().ShowPlaced();
    status = application.exec();
  }
  return status;
}
