// What the desktop program's tests share: a main that gives the process its
// own data folder and runs without a display, a recorder that answers the
// program's messages, and small pictures and handsets.
#pragma once

#include "app/cute_message_dlg.h"
#include "catalogue/tanmatsu_record.h"
#include "imaging/bitmap.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <string>
#include <vector>

namespace mirufo::test {

// Answers every message with its default button (or Esc answer) and keeps
// them for the test to look at.
class TMessageRecorder {
public:
  TMessageRecorder();
  ~TMessageRecorder();
  std::vector<TMessageRequest> Messages;
};

// A 64 × 48 picture of one colour.
TBitmap Picture();
// A user handset with a BMP screen of the given size.
TTanmatsuRecord UserHandset(const char* name, int width = 120, int height = 80);

std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& bytes);
// The process's data folder.
std::filesystem::path Home();

int RunTests(QObject& tests, int argc, char** argv);

} // namespace mirufo::test

// A QtTest main: offscreen unless told otherwise, and a fresh MIRUFO_HOME.
#define MIRUFO_QTEST_MAIN(TestClass)                                                               \
  int main(int argc, char** argv) {                                                                \
    TestClass tests;                                                                               \
    return mirufo::test::RunTests(tests, argc, argv);                                              \
  }
