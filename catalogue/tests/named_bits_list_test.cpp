#include "catalogue/named_bits_list.h"
#include "fake_selection.h"
#include "platform/encoding.h"
#include "platform/errors.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace mirufo {
namespace {

using test::FakeSelection;
using test::ReadBytes;
using test::TempDir;
using test::UserHandset;
using test::WriteBytes;

// Writes UTF-8 text as CP932 bytes.
void WriteCp932(const std::filesystem::path& path, const std::string& utf8) {
  WriteBytes(path, Utf8ToCp932(utf8));
}

std::string ReadUtf8(const std::filesystem::path& path) {
  return Cp932ToUtf8(ReadBytes(path));
}

std::vector<std::size_t> Members(const TNamedBitsList& sets, std::size_t index) {
  std::vector<std::size_t> result;
  const TBits& flags = sets.GetFlags(index);
  for (std::size_t i = 0; i < flags.Size(); ++i)
    if (flags.Get(i))
      result.push_back(i);
  return result;
}

std::size_t At(const FakeSelection& handsets, const std::string& name,
               const std::string& screen = "") {
  int index = handsets.Find(name, screen);
  EXPECT_GE(index, 0) << name << " " << screen;
  return static_cast<std::size_t>(index);
}

TEST(Bits, GrowsOnSetAndReadsFalsePastTheEnd) {
  TBits bits;
  EXPECT_FALSE(bits.Get(5));
  bits.Set(3, false);
  EXPECT_EQ(bits.Size(), 0u);
  bits.Set(3, true);
  EXPECT_EQ(bits.Size(), 4u);
  EXPECT_FALSE(bits.Get(0));
  EXPECT_TRUE(bits.Get(3));
  bits.Set(1, true);
  bits.DeletePosition(0);
  EXPECT_TRUE(bits.Get(0));
  EXPECT_TRUE(bits.Get(2));
  EXPECT_EQ(bits.CountTrue(), 2u);
  bits.SetSize(1);
  EXPECT_EQ(bits.CountTrue(), 1u);
}

TEST(NamedBitsList, AddCleansNamesAndRenameKeepsThem) {
  TNamedBitsList sets;
  EXPECT_EQ(sets.Add("A\tB\rrest"), 0u);
  EXPECT_EQ(sets.GetName(0), "A B");
  EXPECT_EQ(sets.GetName(sets.Add("B\nrest")), "B");
  sets.Rename(0, " x\ty ");
  EXPECT_EQ(sets.GetName(0), " x\ty ");
  EXPECT_EQ(sets.MemberCount(0), 0u);
  try {
    sets.GetName(2);
    FAIL();
  } catch (const ERangeError& e) {
    EXPECT_STREQ(e.what(), "TNamedBitsList: インデックスが範囲を超えています");
  }
  EXPECT_THROW(sets.Delete(2), ERangeError);
}

TEST(NamedBitsList, IndexOfIgnoresLetterCase) {
  TNamedBitsList sets;
  sets.Add("Docomo");
  sets.Add("ＡＢＣ");
  sets.Add("docomo");
  EXPECT_EQ(sets.IndexOf("DOCOMO"), 0);
  EXPECT_EQ(sets.IndexOf("ａｂｃ"), 1);
  EXPECT_EQ(sets.IndexOf("ΑΒΓ"), -1);
  sets.Add("αβγ");
  EXPECT_EQ(sets.IndexOf("ΑΒΓ"), 3);
  EXPECT_EQ(sets.IndexOf("ABC"), -1); // half-width and full-width differ
}

TEST(MakeSetFile, TwoScreensRoundTripAsTwoMemberLines) {
  TempDir dir;
  FakeSelection handsets = FakeSelection::BuiltIn();
  std::size_t main = At(handsets, "F901iC", "メイン");
  std::size_t back = At(handsets, "F901iC", "背面");
  TNamedBitsList sets;
  sets.Add("A");
  sets.GetFlags(0).Set(main, true);
  sets.GetFlags(0).Set(back, true);
  sets.Add("空");
  SaveMakeSets(sets, dir / "makeset.txt", handsets);

  EXPECT_EQ(ReadUtf8(dir / "makeset.txt"), "MSET01\r\nA\r\n"
                                           "\tF901iC\t901i シリーズ\tメイン\r\n"
                                           "\tF901iC\t901i シリーズ\t背面\r\n"
                                           "空\r\n");
  TNamedBitsList back2;
  EXPECT_TRUE(LoadMakeSets(back2, dir / "makeset.txt", handsets).FileRead);
  ASSERT_EQ(back2.Count(), 2u);
  EXPECT_EQ(back2.GetName(0), "A");
  EXPECT_EQ(Members(back2, 0), (std::vector<std::size_t>{main, back}));
  EXPECT_EQ(back2.GetFlags(0).Size(), handsets.HandsetCount());
  EXPECT_EQ(back2.GetName(1), "空");
  EXPECT_EQ(back2.MemberCount(1), 0u);
}

TEST(MakeSetFile, UnknownMemberIsDroppedAndGoneAfterSave) {
  TempDir dir;
  FakeSelection handsets = FakeSelection::BuiltIn();
  WriteCp932(dir / "makeset.txt", "MSET01\r\nA\r\n\tP999X\tどこにもない\t\r\n\tSH901iC\t901i "
                                  "シリーズ\t\r\n\r\n   \r\n\tN901iC\r\n");
  TNamedBitsList sets;
  LoadMakeSets(sets, dir / "makeset.txt", handsets);
  ASSERT_EQ(sets.Count(), 1u);
  EXPECT_EQ(Members(sets, 0),
            (std::vector<std::size_t>{At(handsets, "SH901iC"), At(handsets, "N901iC")}));
  SaveMakeSets(sets, dir / "makeset.txt", handsets);
  EXPECT_EQ(ReadUtf8(dir / "makeset.txt").find("P999X"), std::string::npos);
}

TEST(MakeSetFile, PartialKeysMatchTheFirstHandsetOfThatName) {
  TempDir dir;
  TTanmatsuList list;
  list.LoadBuiltIn();
  list.Add(UserHandset("TK41"));
  FakeSelection handsets(list);
  std::size_t user = handsets.HandsetCount() - 1;
  std::size_t tuka = At(handsets, "TK41");
  ASSERT_LT(tuka, user);

  // A user handset is written with empty series and screen; trimming drops
  // them, so it reads back as the Tu-Ka handset of the same name.
  TNamedBitsList sets;
  sets.Add("U");
  sets.GetFlags(0).Set(user, true);
  SaveMakeSets(sets, dir / "makeset.txt", handsets);
  EXPECT_NE(ReadUtf8(dir / "makeset.txt").find("\tTK41\t\t\r\n"), std::string::npos);
  LoadMakeSets(sets, dir / "makeset.txt", handsets);
  EXPECT_EQ(Members(sets, 0), (std::vector<std::size_t>{tuka}));

  // Name and series without a screen: the first screen of that handset in
  // that series.
  WriteCp932(dir / "makeset.txt", "MSET01\r\nS\r\n\tSH900i\t900i シリーズ\r\n");
  LoadMakeSets(sets, dir / "makeset.txt", handsets);
  EXPECT_EQ(Members(sets, 0), (std::vector<std::size_t>{At(handsets, "SH900i", "待受画面")}));
}

TEST(MakeSetFile, WrongSignatureOrNoFileGivesTheDefaultSet) {
  TempDir dir;
  FakeSelection handsets = FakeSelection::BuiltIn();
  TNamedBitsList sets;
  for (const char* text : {"MSET01x\r\nA\r\n\tSH901iC\r\n", "MSET01", ""}) {
    WriteCp932(dir / "makeset.txt", text);
    LoadMakeSets(sets, dir / "makeset.txt", handsets);
    ASSERT_EQ(sets.Count(), 1u) << text;
    EXPECT_EQ(sets.GetName(0), "標準のセット");
    EXPECT_EQ(sets.GetFlags(0).Size(), handsets.HandsetCount());
  }
  TMakeSetsLoadResult result = LoadMakeSets(sets, dir / "missing.txt", handsets);
  EXPECT_TRUE(result.FileRead);
  ASSERT_EQ(sets.Count(), 1u);
  EXPECT_EQ(sets.GetName(0), "標準のセット");
}

TEST(MakeSetFile, UnreadableFileIsReportedNotSilentlyReplaced) {
  TempDir dir;
  FakeSelection handsets = FakeSelection::BuiltIn();
  std::filesystem::create_directory(dir / "makeset.txt");
  TNamedBitsList sets;
  TMakeSetsLoadResult result = LoadMakeSets(sets, dir / "makeset.txt", handsets);
  EXPECT_FALSE(result.FileRead);
  EXPECT_NE(result.Message.find("makeset.txt"), std::string::npos);
  ASSERT_EQ(sets.Count(), 1u);
  EXPECT_EQ(sets.GetName(0), "標準のセット");
}

TEST(MakeSetFile, OlderFormatIsReadAndWrittenBackAsCurrent) {
  TempDir dir;
  FakeSelection handsets = FakeSelection::BuiltIn();
  WriteCp932(dir / "makeset.txt", "A\t0110\r\nno tab here\r\n");
  TNamedBitsList sets;
  LoadMakeSets(sets, dir / "makeset.txt", handsets);
  ASSERT_EQ(sets.Count(), 1u);
  EXPECT_EQ(sets.GetName(0), "A");
  EXPECT_EQ(Members(sets, 0), (std::vector<std::size_t>{1, 2}));
  EXPECT_EQ(sets.GetFlags(0).Size(), handsets.HandsetCount());

  SaveMakeSets(sets, dir / "makeset.txt", handsets);
  TTanmatsuRecord r1 = handsets.GetHandset(1);
  TTanmatsuRecord r2 = handsets.GetHandset(2);
  EXPECT_EQ(ReadUtf8(dir / "makeset.txt"), "MSET01\r\nA\r\n\t" + r1.Name + "\t" + r1.Series + "\t" +
                                               r1.Screen + "\r\n\t" + r2.Name + "\t" + r2.Series +
                                               "\t" + r2.Screen + "\r\n");
}

TEST(MakeSetFile, OlderFormatNonDigitCountsAsNotAMember) {
  TempDir dir;
  FakeSelection handsets = FakeSelection::BuiltIn();
  WriteCp932(dir / "makeset.txt", "A\t1x9 1\r\nB\t01\r\n");
  TNamedBitsList sets;
  EXPECT_TRUE(LoadMakeSets(sets, dir / "makeset.txt", handsets).FileRead);
  ASSERT_EQ(sets.Count(), 2u);
  EXPECT_EQ(Members(sets, 0), (std::vector<std::size_t>{0, 2, 4}));
  EXPECT_EQ(Members(sets, 1), (std::vector<std::size_t>{1}));
}

TEST(MakeSetFile, NamesThatCannotStandOnALineAreWrittenSafely) {
  TempDir dir;
  FakeSelection handsets = FakeSelection::BuiltIn();
  TNamedBitsList sets;
  sets.Add("first");
  sets.GetFlags(0).Set(0, true);
  // A blank name (possible from the older format) and a name with a line
  // break must not merge their members into the set before them.
  sets.Add(" ");
  sets.GetFlags(1).Set(1, true);
  sets.Add("x");
  sets.Rename(2, "two\r\nlines");
  sets.GetFlags(2).Set(2, true);
  SaveMakeSets(sets, dir / "makeset.txt", handsets);

  TNamedBitsList back;
  LoadMakeSets(back, dir / "makeset.txt", handsets);
  ASSERT_EQ(back.Count(), 3u);
  EXPECT_EQ(Members(back, 0), (std::vector<std::size_t>{0}));
  EXPECT_EQ(back.GetName(1), "　");
  EXPECT_EQ(Members(back, 1), (std::vector<std::size_t>{1}));
  EXPECT_EQ(back.GetName(2), "two");
  EXPECT_EQ(Members(back, 2), (std::vector<std::size_t>{2}));
}

// The page's side: make sets wired to a working set whose batches report each
// tick back, as the main window does.
class MakeSetsTest : public ::testing::Test {
protected:
  MakeSetsTest() : handsets(FakeSelection::BuiltIn()), makeSets(handsets) {
    handsets.onChanged = [this](std::size_t i, bool s) { makeSets.SelectionChanged(i, s); };
  }

  // Sets named as given, set k holding handset k only.
  void MakeSetsNamed(std::initializer_list<const char*> names) {
    TNamedBitsList& sets = makeSets.Sets();
    sets.Clear();
    for (const char* name : names) {
      std::size_t index = sets.Add(name);
      sets.GetFlags(index).SetSize(handsets.HandsetCount());
      sets.GetFlags(index).Set(index, true);
    }
  }

  FakeSelection handsets;
  TMakeSets makeSets;
};

TEST_F(MakeSetsTest, ApplyingTicksExactlyTheMembersAndKeepsThemInStep) {
  MakeSetsNamed({"A", "B"});
  makeSets.SetCurrentIndex(1);
  makeSets.ApplyCurrent();
  EXPECT_EQ(handsets.Ticked(), (std::vector<std::size_t>{1}));
  EXPECT_EQ(handsets.batches, 1);
  EXPECT_EQ(makeSets.TabCaption(1), "B(1)");

  handsets.ApplySelection({false, true, true});
  EXPECT_EQ(Members(makeSets.Sets(), 1), (std::vector<std::size_t>{1, 2}));
  EXPECT_EQ(Members(makeSets.Sets(), 0), (std::vector<std::size_t>{0}));
  makeSets.SelectSet(0);
  EXPECT_EQ(handsets.Ticked(), (std::vector<std::size_t>{0}));
}

TEST_F(MakeSetsTest, SavedIndexOutOfRangeGivesTheFirstSet) {
  MakeSetsNamed({"A", "B"});
  for (long long saved : {-1LL, 2LL, 1LL << 40}) {
    makeSets.SetCurrentIndex(saved);
    EXPECT_EQ(makeSets.CurrentIndex(), 0u) << saved;
  }
  makeSets.SetCurrentIndex(1);
  EXPECT_EQ(makeSets.CurrentIndex(), 1u);
}

TEST_F(MakeSetsTest, NewSetTakesTheSmallestFreeNumberAndUnticksAll) {
  MakeSetsNamed({"新しいセット1", "新しいセット3"});
  std::size_t index = makeSets.NewSet();
  EXPECT_EQ(makeSets.Sets().GetName(index), "新しいセット2");
  EXPECT_EQ(makeSets.CurrentIndex(), index);
  EXPECT_TRUE(handsets.Ticked().empty());
  EXPECT_EQ(makeSets.Sets().GetFlags(index).Size(), handsets.HandsetCount());
  EXPECT_EQ(makeSets.Sets().GetName(makeSets.NewSet()), "新しいセット4");
}

TEST_F(MakeSetsTest, CloneCopiesMembersUnderANewName) {
  MakeSetsNamed({"A", "B"});
  makeSets.SelectSet(1);
  std::size_t index = makeSets.CloneSet();
  EXPECT_EQ(index, 2u);
  EXPECT_EQ(makeSets.Sets().GetName(2), "コピー ～ B");
  EXPECT_EQ(Members(makeSets.Sets(), 2), (std::vector<std::size_t>{1}));
  EXPECT_EQ(makeSets.CurrentIndex(), 2u);
  EXPECT_EQ(handsets.Ticked(), (std::vector<std::size_t>{1}));
  EXPECT_EQ(makeSets.Sets().GetName(makeSets.CloneSet()), "コピー ～ コピー ～ B");
}

TEST_F(MakeSetsTest, RenameRefusesBlankAndKeepsTextAsEntered) {
  MakeSetsNamed({"A"});
  TSetRenamePrompt prompt = makeSets.RenamePrompt();
  EXPECT_EQ(prompt.Caption, "名前の変更");
  EXPECT_EQ(prompt.Prompt, "新しい名前を入力してください");
  EXPECT_EQ(prompt.Text, "A");
  EXPECT_FALSE(makeSets.RenameSet(" \t "));
  EXPECT_EQ(makeSets.Sets().GetName(0), "A");
  EXPECT_TRUE(makeSets.RenameSet(" 旅行 "));
  EXPECT_EQ(makeSets.Sets().GetName(0), " 旅行 ");
}

TEST_F(MakeSetsTest, TheLastSetCannotBeDeleted) {
  MakeSetsNamed({"A"});
  EXPECT_FALSE(makeSets.CanDeleteSet());
  TSetMessage message = makeSets.DeleteSetMessage();
  EXPECT_EQ(message.Kind, smError);
  EXPECT_EQ(message.Text, "最低一つのセットが必要です。最後のセットは削除できません");
  EXPECT_EQ(message.Buttons, (std::vector<std::string>{"勉強になりました"}));
  EXPECT_FALSE(makeSets.DeleteCurrentSet());
  EXPECT_EQ(makeSets.Sets().Count(), 1u);
}

TEST_F(MakeSetsTest, DeletingMovesToTheRightNeighbourOrTheNewLast) {
  MakeSetsNamed({"A", "B", "C"});
  makeSets.SelectSet(1);
  TSetMessage message = makeSets.DeleteSetMessage();
  EXPECT_EQ(message.Kind, smQuestion);
  EXPECT_EQ(message.Text, "B を削除してもよろしいですか？");
  EXPECT_EQ(message.Buttons, (std::vector<std::string>{"いいと思う", "いや間違えた"}));

  ASSERT_TRUE(makeSets.DeleteCurrentSet());
  EXPECT_EQ(makeSets.CurrentIndex(), 1u);
  EXPECT_EQ(makeSets.Sets().GetName(1), "C");
  EXPECT_EQ(handsets.Ticked(), (std::vector<std::size_t>{2}));

  ASSERT_TRUE(makeSets.DeleteCurrentSet());
  EXPECT_EQ(makeSets.CurrentIndex(), 0u);
  EXPECT_EQ(makeSets.Sets().GetName(0), "A");
  EXPECT_EQ(handsets.Ticked(), (std::vector<std::size_t>{0}));
}

TEST_F(MakeSetsTest, AddedHandsetJoinsOnlyTheCurrentSet) {
  MakeSetsNamed({"A", "B"});
  makeSets.SelectSet(0);
  std::size_t added = handsets.AddHandset(UserHandset("MINE"));
  makeSets.HandsetAdded(added);
  EXPECT_EQ(Members(makeSets.Sets(), 0), (std::vector<std::size_t>{0, added}));
  EXPECT_EQ(Members(makeSets.Sets(), 1), (std::vector<std::size_t>{1}));
  // Applying the set again leaves the new handset ticked.
  makeSets.ApplyCurrent();
  EXPECT_EQ(handsets.Ticked(), (std::vector<std::size_t>{0, added}));
}

TEST_F(MakeSetsTest, DeletedHandsetLeavesLaterMembershipsOnTheirHandsets) {
  TempDir dir;
  std::size_t a = handsets.AddHandset(UserHandset("UA"));
  std::size_t b = handsets.AddHandset(UserHandset("UB"));
  MakeSetsNamed({"S", "T"});
  makeSets.Sets().GetFlags(0).Set(b, true);
  makeSets.Sets().GetFlags(1).Set(a, true);

  handsets.DeleteHandset(a);
  makeSets.HandsetDeleted(a);
  EXPECT_EQ(Members(makeSets.Sets(), 0), (std::vector<std::size_t>{0, a}));
  EXPECT_EQ(Members(makeSets.Sets(), 1), (std::vector<std::size_t>{1}));
  makeSets.Save(dir / "makeset.txt");
  std::string text = ReadUtf8(dir / "makeset.txt");
  EXPECT_NE(text.find("\tUB\t\t"), std::string::npos);
  EXPECT_EQ(text.find("UA"), std::string::npos);
}

TEST_F(MakeSetsTest, LoadStartsAtTheFirstSetWithEveryHandsetStillTicked) {
  TempDir dir;
  WriteCp932(dir / "makeset.txt", "MSET01\r\nA\r\n\tSH901iC\r\nB\r\n");
  makeSets.SetCurrentIndex(0);
  EXPECT_TRUE(makeSets.Load(dir / "makeset.txt").FileRead);
  EXPECT_EQ(makeSets.Sets().Count(), 2u);
  EXPECT_EQ(makeSets.TabCaption(0), "A(1)");
  EXPECT_EQ(makeSets.TabCaption(1), "B(0)");
  EXPECT_EQ(handsets.Ticked().size(), handsets.HandsetCount());
  makeSets.ApplyCurrent();
  EXPECT_EQ(handsets.Ticked(), (std::vector<std::size_t>{At(handsets, "SH901iC")}));
}

} // namespace
} // namespace mirufo
