// The user's files across one run: read at start-up, written back at
// shutdown, never overwritten after a failed read, and every failure told.
#include "output/tanmatsu_option_list.h"
#include "output/user_files.h"
#include "platform/errors.h"
#include "platform/text_file.h"
#include "test_fifo.h"
#include "test_handset.h"
#include "test_support.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace mirufo {
namespace {

namespace fs = std::filesystem;

TTanmatsuRecord UserHandset(const char* name) {
  TTanmatsuRecord r = test::UserHandset(name);
  r.SetCacheName("自前");
  return r;
}

TTanmatsuRecord BuiltInHandset(const char* name) {
  TTanmatsuRecord r = UserHandset(name);
  r.Carrier = crDoCoMo;
  r.SetCacheName("");
  return r;
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class UserFiles : public testing::Test {
protected:
  UserFiles()
      : files(TUserFilePaths{dir / "mirufo.ini", dir / "tanmatsu_user.lst", dir / "makeset.txt"}) {}

  // A user list with one handset and one named capacity.
  void WriteGoodList() {
    TTanmatsuList list;
    list.Add(UserHandset("MyPhone"));
    list.AddCache({"自前", 12.5f});
    list.SaveToFile(files.Paths().HandsetList);
  }

  // Start-up as the desktop program does it: the built-in handsets, then the
  // user's list, the settings and the make sets.
  void StartUp() {
    workingSet.AddHandset(BuiltInHandset("SH901iC"));
    files.LoadHandsets(workingSet);
    TIniFile ini = files.OpenSettings();
    comment = ini.ReadString("Standby", "Comment", "default");
    files.LoadMakeSets(sets);
  }

  void ShutDown() {
    files.SaveSettings([&](TIniFile& ini) { ini.WriteString("Standby", "Comment", comment); });
    files.SaveMakeSets(sets);
    files.SaveHandsets(workingSet);
  }

  test::TempDir dir;
  TUserFiles files;
  TTanmatsuOptionList workingSet;
  TMakeSets sets{workingSet};
  std::string comment;
};

TEST_F(UserFiles, FirstRunWithoutFilesWritesAllThree) {
  StartUp();
  EXPECT_TRUE(files.HandsetsLoaded() && files.SettingsLoaded() && files.MakeSetsLoaded());
  EXPECT_EQ(comment, "default");
  workingSet.AddHandset(UserHandset("Added"));
  comment = "mine";
  ShutDown();
  EXPECT_TRUE(files.Messages().empty());

  TTanmatsuList saved;
  saved.LoadFromFile(files.Paths().HandsetList);
  ASSERT_EQ(saved.Count(), 1u); // only the user-defined handset
  EXPECT_EQ(saved.Stored(0).Name, "Added");
  EXPECT_EQ(TIniFile(files.Paths().Settings).ReadString("Standby", "Comment", ""), "mine");
  EXPECT_TRUE(fs::is_regular_file(files.Paths().MakeSets));
}

TEST_F(UserFiles, ListAndCapacitiesComeBackNextRun) {
  WriteGoodList();
  StartUp();
  ASSERT_EQ(workingSet.HandsetCount(), 2u);
  EXPECT_EQ(workingSet.GetHandset(1).Carrier, crUser);
  EXPECT_FLOAT_EQ(workingSet.GetHandset(1).Cache, 12.5f);
  ShutDown();
  TTanmatsuList saved;
  saved.LoadFromFile(files.Paths().HandsetList);
  ASSERT_EQ(saved.Count(), 1u);
  EXPECT_EQ(saved.Stored(0).Name, "MyPhone");
  EXPECT_GE(saved.FindCache("自前"), 0);
}

// Each way the user's handset list can fail to load: nothing of it reaches
// the working set, its write-back is skipped with a message, and the file
// stays byte for byte; the other two files are still written.
TEST_F(UserFiles, HandsetListThatFailedToLoadIsNeverOverwritten) {
  const std::vector<std::pair<const char*, std::string>> broken = {
      {"bad number",
       "TL2\r\nname\tformat\tsupportformats\twidth\theight\tbit\tcache\tbps\t"
       "cachename\r\nA\t1\t1\t120\t130\t16\t10\t9600\t\r\nB\t1\t01x\t1\t1\t1\t1\t1\t\r\n"},
      {"short TL1 line", "TL1\nname\tformat\nA\t1\n\nB\t2\n"},
      {"not a list", "TL2x\r\nsomething else\r\n"},
      {"not text at all", std::string("\x89PNG\r\n\x1a\n\0\0", 10)},
  };
  for (const auto& [what, bytes] : broken) {
    SCOPED_TRACE(what);
    test::TempDir run;
    TUserFiles files({run / "mirufo.ini", run / "tanmatsu_user.lst", run / "makeset.txt"});
    TTanmatsuOptionList workingSet;
    TMakeSets sets(workingSet);
    test::WriteBytes(files.Paths().HandsetList, bytes);

    TUserFileResult loaded = files.LoadHandsets(workingSet);
    EXPECT_FALSE(loaded.Ok);
    EXPECT_TRUE(Contains(loaded.Message, "tanmatsu_user.lst"));
    EXPECT_EQ(workingSet.HandsetCount(), 0u);
    EXPECT_FALSE(files.HandsetsLoaded());
    files.LoadMakeSets(sets);

    workingSet.AddHandset(UserHandset("New"));
    TUserFileResult saved = files.SaveHandsets(workingSet);
    EXPECT_FALSE(saved.Ok);
    EXPECT_TRUE(Contains(saved.Message, "tanmatsu_user.lst"));
    EXPECT_TRUE(Contains(saved.Message, kNotWrittenBackMessage));
    EXPECT_EQ(test::ReadBytes(files.Paths().HandsetList), bytes);

    EXPECT_TRUE(
        files.SaveSettings([](TIniFile& ini) { ini.WriteBool("Standby", "KDDICopyright", true); })
            .Ok);
    EXPECT_TRUE(files.SaveMakeSets(sets).Ok);
    EXPECT_EQ(files.Messages().size(), 2u); // the failed read and the skipped write
  }
}

TEST_F(UserFiles, SettingsThatFailedToLoadGiveDefaultsAndAreNeverOverwritten) {
  const std::string bytes("[Standby]\r\nComment=kept\0\r\n", 26);
  test::WriteBytes(files.Paths().Settings, bytes);
  StartUp();
  EXPECT_FALSE(files.SettingsLoaded());
  EXPECT_EQ(comment, "default");
  ASSERT_EQ(files.Messages().size(), 1u);
  EXPECT_TRUE(Contains(files.Messages()[0], "mirufo.ini"));
  // Later components read defaults too, and the failure is told once.
  EXPECT_EQ(files.OpenSettings().ReadInteger("Save", "Folder", 7), 7);
  EXPECT_EQ(files.Messages().size(), 1u);

  ShutDown();
  EXPECT_EQ(test::ReadBytes(files.Paths().Settings), bytes);
  ASSERT_EQ(files.Messages().size(), 2u);
  EXPECT_TRUE(Contains(files.Messages()[1], kNotWrittenBackMessage));
  EXPECT_TRUE(fs::is_regular_file(files.Paths().HandsetList));
}

TEST_F(UserFiles, MakeSetsThatFailedToLoadAreNeverOverwritten) {
  fs::create_directory(files.Paths().MakeSets);
  test::WriteBytes(files.Paths().MakeSets / "inside", "kept");
  StartUp();
  EXPECT_FALSE(files.MakeSetsLoaded());
  EXPECT_EQ(sets.Sets().Count(), 1u); // the default set stands in
  ShutDown();
  EXPECT_TRUE(fs::is_directory(files.Paths().MakeSets));
  EXPECT_EQ(test::ReadBytes(files.Paths().MakeSets / "inside"), "kept");
  ASSERT_EQ(files.Messages().size(), 2u);
  EXPECT_TRUE(Contains(files.Messages()[1], "makeset.txt"));
  EXPECT_TRUE(Contains(files.Messages()[1], kNotWrittenBackMessage));
}

TEST(UserFilesFolder, ADataFolderThatIsAFileIsToldOnceAndNeverWritten) {
  test::TempDir dir;
  const fs::path home = dir / "home";
  test::WriteBytes(home, "not a folder");
  TUserFiles files({home / "mirufo.ini", home / "tanmatsu_user.lst", home / "makeset.txt"});
  EXPECT_TRUE(files.DataFolderUnread());
  TTanmatsuOptionList workingSet;
  TMakeSets sets{workingSet};
  EXPECT_FALSE(files.LoadHandsets(workingSet).Ok);
  EXPECT_EQ(files.OpenSettings().ReadString("Standby", "Comment", "default"), "default");
  EXPECT_FALSE(files.LoadMakeSets(sets).Ok);
  EXPECT_EQ(sets.Sets().Count(), 1u); // the default set stands in
  EXPECT_FALSE(files.SaveSettings([](TIniFile& ini) { ini.WriteString("S", "K", "v"); }).Ok);
  EXPECT_FALSE(files.SaveMakeSets(sets).Ok);
  EXPECT_FALSE(files.SaveHandsets(workingSet).Ok);
  // One message, naming the folder and saying nothing is written; the file
  // standing there is untouched.
  ASSERT_EQ(files.Messages().size(), 1u);
  EXPECT_TRUE(Contains(files.Messages()[0], home.string()));
  EXPECT_TRUE(Contains(files.Messages()[0], kUnreadDataFolderMessage));
  EXPECT_EQ(test::ReadBytes(home), "not a folder");
}

// Write-backs after a good start-up that still fail: each is reported and
// leaves the old content as it was.
TEST_F(UserFiles, WriteThatRunsOutOfSpaceIsReportedAndKeepsTheOldFile) {
  WriteGoodList();
  const std::string oldList = test::ReadBytes(files.Paths().HandsetList);
  test::WriteBytes(files.Paths().Settings, "[Standby]\r\nComment=old\r\n");
  StartUp();
  for (int i = 0; i < 200; ++i)
    workingSet.AddHandset(UserHandset("Many"));

  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small{oldList.size() + 16, saved.rlim_max};
  setrlimit(RLIMIT_FSIZE, &small);
  TUserFileResult result = files.SaveHandsets(workingSet);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_FALSE(result.Ok);
  EXPECT_TRUE(Contains(result.Message, "tanmatsu_user.lst"));
  EXPECT_EQ(test::ReadBytes(files.Paths().HandsetList), oldList);
  EXPECT_EQ(files.Messages().back(), result.Message);
}

TEST_F(UserFiles, FileThatBecameAFolderIsReported) {
  StartUp();
  fs::create_directory(files.Paths().HandsetList);
  fs::create_directory(files.Paths().Settings);
  TUserFileResult list = files.SaveHandsets(workingSet);
  TUserFileResult settings = files.SaveSettings([](TIniFile&) {});
  EXPECT_FALSE(list.Ok);
  EXPECT_FALSE(settings.Ok);
  EXPECT_TRUE(Contains(list.Message, "tanmatsu_user.lst"));
  EXPECT_TRUE(Contains(settings.Message, "mirufo.ini"));
  EXPECT_TRUE(fs::is_directory(files.Paths().HandsetList));
  EXPECT_EQ(files.Messages().size(), 2u);
}

// A pipe in place of a user file used to hang start-up; it is a file that
// could not be read, named in the message, and is never written over.
TEST_F(UserFiles, PipesAreFilesThatCouldNotBeRead) {
  test::TTestFifo list(files.Paths().HandsetList);
  test::TTestFifo settings(files.Paths().Settings);
  test::TTestFifo makeSets(files.Paths().MakeSets);
  ASSERT_TRUE(list.Created() && settings.Created() && makeSets.Created());
  StartUp();
  EXPECT_FALSE(files.HandsetsLoaded());
  EXPECT_FALSE(files.SettingsLoaded());
  EXPECT_FALSE(files.MakeSetsLoaded());
  ASSERT_EQ(files.Messages().size(), 3u);
  EXPECT_TRUE(Contains(files.Messages()[0], "tanmatsu_user.lst: 通常のファイルではありません"));
  EXPECT_TRUE(Contains(files.Messages()[1], "mirufo.ini: 通常のファイルではありません"));
  EXPECT_TRUE(Contains(files.Messages()[2], "makeset.txt: 通常のファイルではありません"));
  ShutDown();
  EXPECT_EQ(fs::status(files.Paths().HandsetList).type(), fs::file_type::fifo);
}

TEST_F(UserFiles, UnwritableFolderIsReportedAndKeepsTheOldFiles) {
  test::WriteBytes(files.Paths().Settings, "[Standby]\r\nComment=old\r\n");
  test::WriteBytes(files.Paths().MakeSets, "MSET01\r\nold set\r\n");
  StartUp();
  fs::permissions(dir.Path(), fs::perms(0555));
  // The write-backs run as a user without root's rights over permissions.
  pid_t pid = fork();
  if (pid == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
      _exit(99);
    bool settingsFailed =
        !files.SaveSettings([](TIniFile& ini) { ini.WriteString("Standby", "Comment", "new"); }).Ok;
    bool setsFailed = !files.SaveMakeSets(sets).Ok;
    _exit(settingsFailed && setsFailed && files.Messages().size() == 2 ? 0 : 1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  fs::permissions(dir.Path(), fs::perms(0700));
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(test::ReadBytes(files.Paths().Settings), "[Standby]\r\nComment=old\r\n");
  EXPECT_EQ(test::ReadBytes(files.Paths().MakeSets), "MSET01\r\nold set\r\n");
}

} // namespace
} // namespace mirufo
