#include "platform/errors.h"
#include "platform/ini_file.h"
#include "tests/support/test_support.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace mirufo {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

TEST(IniFileTest, MissingFileGivesDefaultsAndIsCreatedByTheWriteBack) {
  TempDir dir;
  std::filesystem::path path = dir / "sub" / "mirufo.ini";
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadString("Save", "Folder", "def"), "def");
  EXPECT_EQ(ini.ReadInteger("Save", "Folder", 7), 7);
  EXPECT_TRUE(ini.ReadBool("Save", "Folder", true));
  EXPECT_FALSE(ini.ValueExists("Save", "Folder"));
  ini.WriteString("Save", "Folder", "C:\\out");
  ini.WriteInteger("Save", "Count", -3);
  ini.WriteBool("Save", "HTML.Save", false);
  ini.UpdateFile();
  EXPECT_EQ(ReadBytes(path), "[Save]\r\nFolder=C:\\out\r\nCount=-3\r\nHTML.Save=0\r\n\r\n");
}

TEST(IniFileTest, WriteBackKeepsUnknownKeysSectionsAndOrder) {
  TempDir dir;
  std::filesystem::path path = dir / "a.ini";
  WriteBytes(path, "; made by hand\r\n"
                   "[General]\r\n"
                   "FormPosition.X = 10\r\n"
                   "FutureKey=kept\r\n"
                   "\r\n"
                   "; a comment\r\n"
                   "no equals sign\r\n"
                   "[Standby]\n"
                   "  Calendar.Draw=1  \n"
                   "Calendar.FontName=\x82\x6c\x82\x72 UI Gothic\n");
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadInteger("General", "FormPosition.X", 0), 10);
  EXPECT_EQ(ini.ReadString("Standby", "Calendar.FontName", ""), "ＭＳ UI Gothic");
  EXPECT_FALSE(ini.ValueExists("General", "; a comment"));
  EXPECT_FALSE(ini.ValueExists("General", "no equals sign"));
  ini.WriteInteger("General", "FormPosition.X", 32);
  ini.WriteString("Standby", "Comment", "新しい");
  ini.WriteString("Save", "Folder", "x");
  ini.UpdateFile();
  EXPECT_EQ(ini.Text(), ReadBytes(path));
  EXPECT_EQ(TIniFile("a.ini", ini.Text()).Text(), ini.Text());
  EXPECT_EQ(ReadBytes(path), "; made by hand\r\n"
                             "\r\n"
                             "[General]\r\n"
                             "FormPosition.X=32\r\n"
                             "FutureKey=kept\r\n"
                             "; a comment\r\n"
                             "no equals sign\r\n"
                             "\r\n"
                             "[Standby]\r\n"
                             "Calendar.Draw=1\r\n"
                             "Calendar.FontName=\x82\x6c\x82\x72 UI Gothic\r\n"
                             "Comment=\x90\x56\x82\xb5\x82\xa2\r\n"
                             "\r\n"
                             "[Save]\r\n"
                             "Folder=x\r\n"
                             "\r\n");
  // A second load sees exactly what was written.
  TIniFile again(path);
  EXPECT_EQ(again.ReadString("General", "FutureKey", ""), "kept");
  EXPECT_EQ(again.ReadString("Standby", "Comment", ""), "新しい");
}

TEST(IniFileTest, NamesIgnoreLetterCaseAndDuplicateSectionsMerge) {
  TempDir dir;
  std::filesystem::path path = dir / "a.ini";
  WriteBytes(path, "[save]\r\nFolder=one\r\n[Other]\r\nk=v\r\n[SAVE]\r\nFileName=two\r\n");
  TIniFile ini(path);
  EXPECT_TRUE(ini.SectionExists("Save"));
  EXPECT_EQ(ini.ReadString("Save", "folder", ""), "one");
  EXPECT_EQ(ini.ReadString("sAvE", "FILENAME", ""), "two");
  ini.WriteString("Save", "FOLDER", "three");
  ini.UpdateFile();
  EXPECT_EQ(ReadBytes(path),
            "[save]\r\nFolder=three\r\nFileName=two\r\n\r\n[Other]\r\nk=v\r\n\r\n");
}

TEST(IniFileTest, PresentEmptyValueIsReturnedNotTheDefault) {
  TempDir dir;
  std::filesystem::path path = dir / "a.ini";
  WriteBytes(path, "[Save]\r\nHTML.Title=\r\nNumber= \r\n");
  TIniFile ini(path);
  EXPECT_TRUE(ini.ValueExists("Save", "HTML.Title"));
  EXPECT_EQ(ini.ReadString("Save", "HTML.Title", "default"), "");
  EXPECT_EQ(ini.ReadInteger("Save", "Number", 5), 5);
}

TEST(IniFileTest, NumbersAndBooleans) {
  TempDir dir;
  std::filesystem::path path = dir / "a.ini";
  WriteBytes(path, "[N]\r\n"
                   "hex=0x1F\r\nHEX2=0XfF\r\nwide=0xFFFFFFFF\r\ntoowide=0x100000000\r\n"
                   "neg=-42\r\nplus=+7\r\nmax=2147483647\r\nmin=-2147483648\r\n"
                   "over=2147483648\r\nword=abc\r\ntail=12a\r\nbare=0x\r\nfloat=1.5\r\n"
                   "b0=0x0\r\nb2=2\r\nbx=yes\r\n");
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadInteger("N", "hex", 0), 31);
  EXPECT_EQ(ini.ReadInteger("N", "HEX2", 0), 255);
  EXPECT_EQ(ini.ReadInteger("N", "wide", 0), -1);
  EXPECT_EQ(ini.ReadInteger("N", "neg", 0), -42);
  EXPECT_EQ(ini.ReadInteger("N", "plus", 0), 7);
  EXPECT_EQ(ini.ReadInteger("N", "max", 0), 2147483647);
  EXPECT_EQ(ini.ReadInteger("N", "min", 0), -2147483647 - 1);
  for (const char* bad : {"toowide", "over", "word", "tail", "bare", "float"})
    EXPECT_EQ(ini.ReadInteger("N", bad, 99), 99) << bad;
  EXPECT_FALSE(ini.ReadBool("N", "b0", true));
  EXPECT_TRUE(ini.ReadBool("N", "b2", false));
  EXPECT_TRUE(ini.ReadBool("N", "bx", true));
  EXPECT_FALSE(ini.ReadBool("N", "bx", false));
}

TEST(IniFileTest, ValueWithLineBreakStaysOneLine) {
  TempDir dir;
  std::filesystem::path path = dir / "a.ini";
  TIniFile ini(path);
  ini.WriteString("S", "k", "one\r\n[Injected]\nx=1");
  ini.UpdateFile();
  TIniFile again(path);
  EXPECT_FALSE(again.SectionExists("Injected"));
  EXPECT_EQ(again.ReadString("S", "k", ""), "one  [Injected] x=1");
}

TEST(IniFileTest, FileThatIsNotCp932TextIsRefusedAndLeftAlone) {
  TempDir dir;
  std::filesystem::path binary = dir / "bin.ini";
  std::string bytes("[S]\r\nk=v\r\n\x01\x00\x02", 12);
  WriteBytes(binary, bytes);
  EXPECT_THROW(TIniFile{binary}, EInOutError);
  EXPECT_EQ(ReadBytes(binary), bytes);

  std::filesystem::path broken = dir / "broken.ini";
  WriteBytes(broken, "[S]\r\nk=\x82\r\n");
  try {
    TIniFile ini(broken);
    FAIL() << "no error";
  } catch (const EInOutError& e) {
    std::string message = e.what();
    EXPECT_NE(message.find("broken.ini"), std::string::npos);
    EXPECT_NE(message.find("2 行目"), std::string::npos);
  }
}

TEST(IniFileTest, UnwritableFileRaisesAndKeepsTheOldContent) {
  TempDir dir;
  std::filesystem::path folder = dir / "ro";
  std::filesystem::create_directory(folder);
  std::filesystem::path path = folder / "a.ini";
  WriteBytes(path, "[S]\r\nk=old\r\n");
  TIniFile ini(path);
  ini.WriteString("S", "k", "new");
  std::filesystem::permissions(folder, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::owner_exec);
  bool canWrite = access(folder.c_str(), W_OK) == 0; // root ignores permissions
  if (!canWrite) {
    EXPECT_THROW(ini.UpdateFile(), EInOutError);
  }
  std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
  if (!canWrite) {
    EXPECT_EQ(ReadBytes(path), "[S]\r\nk=old\r\n");
  }

  // A file where the folder should be cannot be written either.
  WriteBytes(dir / "plain", "x");
  TIniFile nested(dir / "plain" / "a.ini");
  nested.WriteString("S", "k", "v");
  EXPECT_THROW(nested.UpdateFile(), EInOutError);

  // A folder in place of the file is refused when loading.
  std::filesystem::create_directory(dir / "dir.ini");
  EXPECT_THROW(TIniFile{dir / "dir.ini"}, EInOutError);
}

TEST(IniFileTest, DeleteKeyAndDefaultPath) {
  TempDir dir;
  TIniFile ini(dir / "a.ini");
  ini.WriteString("S", "a", "1");
  ini.WriteString("S", "b", "2");
  ini.DeleteKey("s", "A");
  EXPECT_FALSE(ini.ValueExists("S", "a"));
  EXPECT_TRUE(ini.ValueExists("S", "b"));
  EXPECT_EQ(DefaultSettingsPath().filename(), "mirufo.ini");
  EXPECT_EQ(DefaultSettingsPath().parent_path(), test::HomeDir());
}

} // namespace
} // namespace mirufo
