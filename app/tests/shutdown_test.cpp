// Start-up and shutdown with the user's files: what is written at exit, in
// which order, and what is left alone because it could not be read.
#include "app/main_form.h"
#include "app/mirufo_program.h"
#include "app_test_support.h"
#include "catalogue/tanmatsu_list.h"
#include "output/tanmatsu_option_list.h"
#include "platform/ini_file.h"

#include <sys/stat.h>

namespace mirufo {
namespace {

TUserFilePaths PathsIn(const QTemporaryDir& dir) {
  const std::filesystem::path folder = dir.path().toStdString();
  return {folder / "mirufo.ini", folder / "tanmatsu_user.lst", folder / "makeset.txt"};
}

struct timespec ModifiedAt(const std::filesystem::path& path) {
  struct stat st {};
  stat(path.c_str(), &st);
  return st.st_mtim;
}

bool NotLater(const struct timespec& a, const struct timespec& b) {
  return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec <= b.tv_nsec);
}

} // namespace

class TShutdownTest : public QObject {
  Q_OBJECT

private slots:
  void exitWritesTheSettingsThenTheUserList() {
    QTemporaryDir dir;
    const TUserFilePaths paths = PathsIn(dir);
    test::WriteFile(paths.Settings, "[Future]\r\nKey=kept\r\n");
    {
      test::TMessageRecorder messages;
      TMirufoProgram program(paths);
      TForm1& form = program.Form();
      form.Session().WorkingSet().AddHandset(test::UserHandset("MINE"));
      form.Session().SetComment("とっておき");
      form.Session().SetKDDICopyright(false);
      form.ShowPlaced();
      form.move(50, 40);
      form.resize(700, 520);
      QVERIFY(messages.Messages.empty());
    }
    TIniFile ini(paths.Settings);
    QCOMPARE(ini.ReadString("Future", "Key", ""), std::string("kept"));
    QCOMPARE(ini.ReadString("Standby", "Comment", ""), std::string("とっておき"));
    QCOMPARE(ini.ReadString("Standby", "KDDICopyright", ""), std::string("0"));
    QCOMPARE(ini.ReadInteger("General", "FormPosition.X", 0), 50);
    QCOMPARE(ini.ReadInteger("General", "FormPosition.XSize", 0), 750);
    QCOMPARE(ini.ReadInteger("General", "FormPosition.YSize", 0), 560);
    QVERIFY(NotLater(ModifiedAt(paths.Settings), ModifiedAt(paths.HandsetList)));

    TTanmatsuList list;
    list.LoadFromFile(paths.HandsetList);
    QCOMPARE(int(list.Count()), 1);
    QCOMPARE(list.Get(0).Name, std::string("MINE"));

    // The next start brings the user's handset and the window back.
    test::TMessageRecorder messages;
    TMirufoProgram again(paths);
    QCOMPARE(again.Form().Session().WorkingSet().HandsetCount(), std::size_t{288});
    QCOMPARE(again.Form().pos(), QPoint(50, 40));
    QCOMPARE(again.Form().size(), QSize(700, 520));
    QVERIFY(!again.Form().Session().KDDICopyright());
    QVERIFY(messages.Messages.empty());
  }

  void anUnreadableUserListStaysByteForByte() {
    QTemporaryDir dir;
    const TUserFilePaths paths = PathsIn(dir);
    const std::string broken = "これは端末リストではありません\r\nabc\r\n";
    test::WriteFile(paths.HandsetList, broken);
    test::TMessageRecorder messages;
    {
      TMirufoProgram program(paths);
      QCOMPARE(int(messages.Messages.size()), 1);
      QCOMPARE(messages.Messages[0].Title, std::string("エラー"));
      QVERIFY(messages.Messages[0].Text.find("tanmatsu_user.lst") != std::string::npos);
      QCOMPARE(program.Form().Session().WorkingSet().HandsetCount(), std::size_t{287});
      program.Form().Session().WorkingSet().AddHandset(test::UserHandset("NEW"));
    }
    QCOMPARE(test::ReadFile(paths.HandsetList), broken);
    // The user is told at exit that the file was left alone.
    QCOMPARE(int(messages.Messages.size()), 2);
    QVERIFY(messages.Messages[1].Text.find("上書きしませんでした") != std::string::npos);
    // The settings were read, so they are written.
    QVERIFY(std::filesystem::exists(paths.Settings));
  }
};

} // namespace mirufo

MIRUFO_QTEST_MAIN(mirufo::TShutdownTest)
#include "shutdown_test.moc"
