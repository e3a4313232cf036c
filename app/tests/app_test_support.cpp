#include "app_test_support.h"

#include "tests/support/test_handset.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace mirufo::test {

TMessageRecorder::TMessageRecorder() {
  SetMessageHook([this](const TMessageRequest& request) {
    Messages.push_back(request);
    return request.Plan.DefaultResult != mrNone ? request.Plan.DefaultResult
                                                : request.Plan.EscapeResult;
  });
}

TMessageRecorder::~TMessageRecorder() {
  SetMessageHook(nullptr);
}

TBitmap Picture() {
  TBitmap b(64, 48);
  b.Fill(0x00336699);
  return b;
}

TTanmatsuRecord UserHandset(const char* name, int width, int height) {
  TTanmatsuRecord r = test::Screen(name, width, height, ifBMP, 24);
  r.Carrier = crUser;
  return r;
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::filesystem::path Home() {
  return std::getenv("MIRUFO_HOME");
}

int RunTests(QObject& tests, int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM"))
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QTemporaryDir home;
  setenv("MIRUFO_HOME", home.path().toLocal8Bit().constData(), 1);
  // The cases check the program's Japanese texts, whatever the language of
  // the shell; a test of another language sets MIRUFO_TEST_KEEP_LANGUAGE.
  if (!std::getenv("MIRUFO_TEST_KEEP_LANGUAGE")) {
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"})
      unsetenv(name);
    setenv("LANG", "C.UTF-8", 1);
  }
  QApplication app(argc, argv);
  return QTest::qExec(&tests, argc, argv);
}

} // namespace mirufo::test
