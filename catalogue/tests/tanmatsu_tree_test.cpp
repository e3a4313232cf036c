#include "catalogue/tanmatsu_tree.h"
#include "fake_selection.h"
#include "platform/errors.h"

#include <gtest/gtest.h>

namespace mirufo {
namespace {

using test::FakeSelection;
using test::UserHandset;

std::vector<std::string> Captions(const TTanmatsuTreeNodeList& nodes) {
  std::vector<std::string> result;
  for (const TTanmatsuTreeNode* node : nodes)
    result.push_back(node->Caption());
  return result;
}

TTanmatsuTreeNode* Path(TTanmatsuTreeNode& root, std::initializer_list<const char*> captions) {
  TTanmatsuTreeNode* node = &root;
  for (const char* caption : captions) {
    node = node->FindChild(caption);
    EXPECT_NE(node, nullptr) << caption;
    if (node == nullptr)
      return nullptr;
  }
  return node;
}

// A tree over the handsets whose leaves answer from the ticks, with no node
// selected on the page.
class TreeTest : public ::testing::Test {
protected:
  explicit TreeTest(FakeSelection h = FakeSelection::BuiltIn()) : handsets(std::move(h)) {
    root = CreateTanmatsuTree(handsets, [this](const TTanmatsuTreeNode& node) {
      return HandsetsCheckState(node, handsets, selected, listed);
    });
  }

  FakeSelection handsets;
  const TTanmatsuTreeNode* selected = nullptr;
  std::vector<std::size_t> listed;
  std::unique_ptr<TTanmatsuTreeNode> root;
};

TEST_F(TreeTest, BuiltInCatalogueGivesFourCarriersInOrder) {
  EXPECT_EQ(root->Caption(), "すべて");
  EXPECT_EQ(Captions(root->Children()),
            (std::vector<std::string>{"NTT DoCoMo", "au by KDDI", "Tu-Ka", "Vodafone"}));
  TTanmatsuTreeNode* tuka = root->FindChild("Tu-Ka");
  ASSERT_EQ(tuka->Children().Count(), 25u);
  for (const TTanmatsuTreeNode* handset : tuka->Children()) {
    EXPECT_FALSE(handset->HasChildren());
    EXPECT_EQ(handset->Level(), 2);
    EXPECT_EQ(handset->NameFilter(), handset->Caption());
  }
  EXPECT_EQ(Captions(root->FindChild("NTT DoCoMo")->Children()),
            (std::vector<std::string>{
                "901i シリーズ", "700i シリーズ", "900i シリーズ", "880i シリーズ", "FOMA シリーズ",
                "506i シリーズ", "253i シリーズ", "252i シリーズ", "505i シリーズ", "504i シリーズ",
                "251i シリーズ", "213i シリーズ", "212i シリーズ", "211i シリーズ", "その他"}));
  TTanmatsuTreeNode* f901 = Path(*root, {"NTT DoCoMo", "901i シリーズ", "F901iC"});
  ASSERT_NE(f901, nullptr);
  EXPECT_EQ(f901->Level(), 3);
  // One node for both screens of F901iC and of P901i: seven records, five nodes.
  EXPECT_EQ(f901->Parent()->Children().Count(), 5u);
  EXPECT_EQ(root->Level(), 0);
}

TEST(TreeBuild, UserHandsetsGetOneCarrierNodeWithoutChildren) {
  TTanmatsuList list;
  list.LoadBuiltIn();
  list.Add(UserHandset("A"));
  list.Add(UserHandset("B"));
  FakeSelection handsets(list);
  auto root = CreateTanmatsuTree(handsets, {});
  ASSERT_EQ(root->Children().Count(), 5u);
  TTanmatsuTreeNode* user = root->Children()[4];
  EXPECT_EQ(user->Caption(), "ユーザー定義");
  EXPECT_EQ(user->CarrierFilter(), "ユーザー定義");
  EXPECT_FALSE(user->HasChildren());
  EXPECT_TRUE(user->Matches(handsets.GetHandset(handsets.HandsetCount() - 1)));
  EXPECT_FALSE(user->Matches(handsets.GetHandset(0)));
}

TEST_F(TreeTest, NodesMatchOnTheirOwnFilterOnly) {
  TTanmatsuTreeNode* sh900in700 = Path(*root, {"NTT DoCoMo", "700i シリーズ", "SH900i"});
  ASSERT_NE(sh900in700, nullptr);
  EXPECT_EQ(MatchingHandsets(*sh900in700, handsets).size(), 3u);
  EXPECT_EQ(MatchingHandsets(*root->FindChild("Tu-Ka"), handsets).size(), 25u);
  EXPECT_EQ(MatchingHandsets(*root, handsets).size(), handsets.HandsetCount());
  EXPECT_EQ(root->FindChild("missing"), nullptr);
  EXPECT_EQ(root->FindChild("ntt docomo"), nullptr); // exact, case-sensitive
}

TEST_F(TreeTest, PartlyTickedHandsetMakesItsSeriesPartlyChecked) {
  handsets.SetAll(false);
  handsets.SetTick(static_cast<std::size_t>(handsets.Find("F901iC", "メイン")), true);
  root->UpdateAll();
  TTanmatsuTreeNode* series = Path(*root, {"NTT DoCoMo", "901i シリーズ"});
  EXPECT_EQ(series->FindChild("F901iC")->CheckState(), cbGrayed);
  EXPECT_EQ(series->CheckState(), cbGrayed);
  EXPECT_EQ(series->Parent()->CheckState(), cbGrayed);
  EXPECT_EQ(root->CheckState(), cbGrayed);
  EXPECT_EQ(series->FindChild("SH901iC")->CheckState(), cbUnchecked);
  EXPECT_EQ(root->FindChild("Tu-Ka")->CheckState(), cbUnchecked);
}

TEST_F(TreeTest, SeriesStateFollowsItsChildren) {
  TTanmatsuTreeNode* series = Path(*root, {"NTT DoCoMo", "901i シリーズ"});
  std::vector<std::size_t> members = MatchingHandsets(*series, handsets);
  handsets.SetAll(false);
  for (std::size_t i : members)
    handsets.SetTick(i, true);
  root->UpdateAll();
  EXPECT_EQ(series->CheckState(), cbChecked);
  handsets.SetTick(members.front(), false);
  root->UpdateAll();
  EXPECT_EQ(series->CheckState(), cbGrayed);
  for (std::size_t i : members)
    handsets.SetTick(i, false);
  root->UpdateAll();
  EXPECT_EQ(series->CheckState(), cbUnchecked);
}

TEST(TreeState, LeafWithoutCallbackFails) {
  TTanmatsuTreeNode root;
  try {
    root.UpdateCheckState(false);
    FAIL();
  } catch (const EMirufoError& e) {
    EXPECT_STREQ(e.what(), "イベントが割り当てられていないため、チェック状態を更新できません");
  }
  // A node with children never asks the callback.
  root.AddChild("x", tfCarrier, "x")->SetCheckState(cbChecked);
  root.UpdateCheckState(false);
  EXPECT_EQ(root.CheckState(), cbChecked);
}

TEST(TreeState, ChildrenCopyTheCallbackAndStateRisesUpwards) {
  int calls = 0;
  TTanmatsuTreeNode root([&](const TTanmatsuTreeNode& node) {
    ++calls;
    return node.Caption() == "on" ? cbChecked : cbUnchecked;
  });
  TTanmatsuTreeNode* a = root.AddChild("a", tfCarrier, "a");
  TTanmatsuTreeNode* on = a->AddChild("on", tfName, "on");
  a->AddChild("off", tfName, "off")->SetCheckState(cbChecked);
  on->UpdateCheckState(true);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(on->CheckState(), cbChecked);
  EXPECT_EQ(a->CheckState(), cbChecked);
  EXPECT_EQ(root.CheckState(), cbChecked);

  a->SetCheckState(cbUnchecked);
  a->PropagateState();
  EXPECT_EQ(on->CheckState(), cbUnchecked);
  on->UpdateCheckState(false);
  EXPECT_EQ(a->CheckState(), cbUnchecked); // not upwards
}

TEST_F(TreeTest, FirstVisibleTreeIsTheRootAloneAndExpansionShowsRowsInOrder) {
  TTanmatsuTreeNodeList rows;
  root->FillRows(rows);
  EXPECT_EQ(Captions(rows), (std::vector<std::string>{"すべて"}));
  EXPECT_TRUE(root->HasChildren());
  EXPECT_FALSE(root->IsExpanded());

  root->SetExpanded(true);
  TTanmatsuTreeNode* docomo = root->FindChild("NTT DoCoMo");
  docomo->SetExpanded(true);
  TTanmatsuTreeNode* s700 = docomo->FindChild("700i シリーズ");
  s700->SetExpanded(true);
  root->FindChild("Tu-Ka")->SetExpanded(false);
  root->FillRows(rows);
  std::vector<std::string> captions = Captions(rows);
  // すべて, DoCoMo, 901i, 700i and its four handsets, then the other series,
  // then the other carriers.
  ASSERT_EQ(captions.size(), 1u + 1 + 15 + 4 + 3);
  EXPECT_EQ(captions[0], "すべて");
  EXPECT_EQ(captions[1], "NTT DoCoMo");
  EXPECT_EQ(captions[2], "901i シリーズ");
  EXPECT_EQ(captions[3], "700i シリーズ");
  EXPECT_EQ(rows[4]->Parent(), s700);
  EXPECT_EQ(captions[8], "900i シリーズ");
  EXPECT_EQ(captions.back(), "Vodafone");

  // A node without children never counts as expanded.
  TTanmatsuTreeNode* leaf = s700->Children()[0];
  leaf->SetExpanded(true);
  EXPECT_FALSE(leaf->IsExpanded());
}

TEST_F(TreeTest, AddingARecordCollapsesItsSeries) {
  TTanmatsuTreeNode* docomo = root->FindChild("NTT DoCoMo");
  TTanmatsuTreeNode* s901 = docomo->FindChild("901i シリーズ");
  TTanmatsuTreeNode* s700 = docomo->FindChild("700i シリーズ");
  s901->SetExpanded(true);
  s700->SetExpanded(true);
  TTanmatsuRecord record = handsets.GetHandset(0);
  record.SetName("NEW901");
  root->AddRecord(record);
  EXPECT_FALSE(s901->IsExpanded());
  EXPECT_TRUE(s700->IsExpanded());
  EXPECT_EQ(s901->Children()[s901->Children().Count() - 1]->Caption(), "NEW901");
  // Adding a record that is already there adds no node but still collapses.
  s901->SetExpanded(true);
  root->AddRecord(record);
  EXPECT_FALSE(s901->IsExpanded());
  EXPECT_EQ(s901->Children().Count(), 6u);
}

TEST(TreeOwnership, DeletingANodeTakesItOutOfItsParent) {
  auto root = std::make_unique<TTanmatsuTreeNode>();
  TTanmatsuTreeNode* a = root->AddChild("a", tfCarrier, "a");
  a->AddChild("a1", tfSeries, "a1")->AddChild("x", tfName, "x");
  TTanmatsuTreeNode* b = root->AddChild("b", tfCarrier, "b");
  delete a;
  ASSERT_EQ(root->Children().Count(), 1u);
  EXPECT_EQ(root->Children()[0], b);
  EXPECT_THROW(root->Children()[1], ERangeError);
  root.reset(); // frees b without touching a's memory
}

TTanmatsuRecord UserWithSeries(const char* name, const char* series) {
  TTanmatsuRecord r = UserHandset(name);
  r.SetSeries(series);
  return r;
}

TEST(TreeBuild, UserHandsetsWithASeriesGetSeriesNodesAndTheOthersHangUnderTheCarrier) {
  TTanmatsuList list;
  list.LoadBuiltIn();
  // A user handset without a series before the first with one; a user copy
  // of a built-in name inside a series named like a built-in series.
  list.Add(UserHandset("Plain"));
  list.Add(UserWithSeries("iPhone 16", "Apple"));
  list.Add(UserWithSeries("Pixel 9", "Google"));
  list.Add(UserWithSeries("iPhone 15", "Apple"));
  list.Add(UserWithSeries("SH901iC", "901i シリーズ"));
  list.Add(UserHandset("Later"));
  FakeSelection handsets(list);
  auto root = CreateTanmatsuTree(handsets, [&](const TTanmatsuTreeNode& node) {
    return HandsetsCheckState(node, handsets, nullptr, {});
  });
  TTanmatsuTreeNode* user = root->FindChild("ユーザー定義");
  ASSERT_NE(user, nullptr);
  EXPECT_EQ(Captions(user->Children()),
            (std::vector<std::string>{"Apple", "Google", "901i シリーズ", "Later", "Plain"}));
  EXPECT_EQ(Captions(Path(*root, {"ユーザー定義", "Apple"})->Children()),
            (std::vector<std::string>{"iPhone 16", "iPhone 15"}));
  EXPECT_EQ(Path(*root, {"ユーザー定義", "Later"})->Level(), 2);

  // The user's nodes stand for user handsets only, never for the built-in
  // series or handset of the same name.
  const std::size_t builtInSh901ic = static_cast<std::size_t>(handsets.Find("SH901iC", ""));
  EXPECT_FALSE(
      Path(*root, {"ユーザー定義", "901i シリーズ"})->Matches(handsets.GetHandset(builtInSh901ic)));
  EXPECT_FALSE(Path(*root, {"ユーザー定義", "901i シリーズ", "SH901iC"})
                   ->Matches(handsets.GetHandset(builtInSh901ic)));
  EXPECT_EQ(MatchingHandsets(*Path(*root, {"ユーザー定義", "Apple"}), handsets).size(), 2u);

  // The carrier's state comes from every user handset, those without a
  // series included.
  root->UpdateAll();
  EXPECT_EQ(user->CheckState(), cbChecked);
  handsets.SetTick(handsets.HandsetCount() - 1, false); // "Later"
  root->UpdateAll();
  EXPECT_EQ(user->CheckState(), cbGrayed);
  EXPECT_EQ(Path(*root, {"ユーザー定義", "Apple"})->CheckState(), cbChecked);
}

TEST_F(TreeTest, SelectedNodeAnswersFromTheListedHandsets) {
  TTanmatsuTreeNode* tk41 = Path(*root, {"Tu-Ka", "TK41"});
  selected = tk41;
  listed.clear();
  EXPECT_EQ(tk41->CheckState(), cbUnchecked);
  tk41->UpdateCheckState(false);
  EXPECT_EQ(tk41->CheckState(), cbUnchecked); // nothing listed counts as unchecked
  listed = {0, 1};
  handsets.SetTick(1, false);
  tk41->UpdateCheckState(false);
  EXPECT_EQ(tk41->CheckState(), cbGrayed);
  selected = nullptr;
  tk41->UpdateCheckState(false);
  EXPECT_EQ(tk41->CheckState(), cbChecked);
}

TEST_F(TreeTest, BringingUpToDateReachesEveryNodeOfThatName) {
  root->UpdateAll();
  EXPECT_EQ(root->CheckState(), cbChecked);
  TTanmatsuTreeNode* in700 = Path(*root, {"NTT DoCoMo", "700i シリーズ", "SH900i"});
  TTanmatsuTreeNode* in900 = Path(*root, {"NTT DoCoMo", "900i シリーズ", "SH900i"});
  auto index = static_cast<std::size_t>(handsets.Find("SH900i", "背面液晶"));
  handsets.SetTick(index, false);
  UpdateTreeForHandsets(*root, handsets, {index});
  EXPECT_EQ(in900->CheckState(), cbGrayed);
  EXPECT_EQ(in700->CheckState(), cbGrayed);
  EXPECT_EQ(in700->Parent()->CheckState(), cbGrayed);
  EXPECT_EQ(root->CheckState(), cbGrayed);
  EXPECT_EQ(Path(*root, {"NTT DoCoMo", "901i シリーズ"})->CheckState(), cbChecked);

  // A user handset has only its carrier node; it arrives ticked.
  TTanmatsuRecord user = UserHandset("U");
  std::size_t added = handsets.AddHandset(user);
  root->AddRecord(user);
  UpdateTreeForHandsets(*root, handsets, {added});
  EXPECT_EQ(root->FindChild("ユーザー定義")->CheckState(), cbChecked);
}

TEST_F(TreeTest, CheckBoxClickTicksTheListedHandsetsOnly) {
  root->UpdateAll();
  TTanmatsuTreeNode* s700 = Path(*root, {"NTT DoCoMo", "700i シリーズ"});
  selected = s700;
  listed = MatchingHandsets(*s700, handsets);
  ASSERT_EQ(listed.size(), 4u);
  handsets.SetAll(false);
  root->UpdateAll();
  EXPECT_EQ(s700->CheckState(), cbUnchecked);

  EXPECT_EQ(ClickNodeCheckBox(*root, *s700, handsets, listed), cbChecked);
  EXPECT_EQ(handsets.Ticked(), listed);
  EXPECT_EQ(handsets.batches, 1);
  for (const TTanmatsuTreeNode* child : s700->Children())
    EXPECT_EQ(child->CheckState(), cbChecked);
  EXPECT_EQ(s700->CheckState(), cbChecked);
  EXPECT_EQ(root->FindChild("NTT DoCoMo")->CheckState(), cbGrayed);
  // The SH900i node under 900i stands for the ticked 700i record too.
  EXPECT_EQ(Path(*root, {"NTT DoCoMo", "900i シリーズ", "SH900i"})->CheckState(), cbGrayed);

  EXPECT_EQ(ClickNodeCheckBox(*root, *s700, handsets, listed), cbUnchecked);
  EXPECT_TRUE(handsets.Ticked().empty());
  EXPECT_EQ(root->CheckState(), cbUnchecked);
}

TEST_F(TreeTest, ClicksAreClassifiedFromTheRowGeometry) {
  root->SetExpanded(true);
  TTanmatsuTreeNodeList rows;
  root->FillRows(rows);
  TTreeRowGeometry geometry; // rows of 18, check box 13 x 13
  EXPECT_EQ(geometry.ExpandBox(1), (TTreeBox{22, 4, 31, 13}));
  EXPECT_EQ(geometry.CheckBox(1), (TTreeBox{35, 2, 48, 15}));
  EXPECT_EQ(geometry.CaptionLeft(1), 52);

  auto kind = [&](int x, int y) { return HitTestTreeRows(rows, geometry, x, y).Kind; };
  EXPECT_EQ(kind(4, 4), thExpandBox); // root
  EXPECT_EQ(kind(3, 4), thRow);
  EXPECT_EQ(kind(17, 2), thCheckBox);
  EXPECT_EQ(kind(17, 1), thRow);
  TTreeHit hit = HitTestTreeRows(rows, geometry, 30, 18 + 12);
  EXPECT_EQ(hit.Kind, thExpandBox);
  EXPECT_EQ(hit.Row, 1u);
  EXPECT_EQ(hit.Node->Caption(), "NTT DoCoMo");
  EXPECT_EQ(kind(31, 18 + 12), thRow);
  EXPECT_EQ(kind(47, 18 * 4 + 14), thCheckBox);
  EXPECT_EQ(kind(500, 18 * 4 + 17), thRow);
  EXPECT_EQ(kind(10, 18 * 5), thNone); // below the last row
  EXPECT_EQ(kind(10, -1), thNone);

  // Tu-Ka's handset nodes have no expand box.
  TTanmatsuTreeNode* tuka = root->FindChild("Tu-Ka");
  tuka->SetExpanded(true);
  root->FillRows(rows);
  auto tukaRow = static_cast<std::size_t>(rows.IndexOf(tuka));
  EXPECT_EQ(kind(40, static_cast<int>(tukaRow + 1) * 18 + 8), thRow);
  EXPECT_EQ(kind(40, static_cast<int>(tukaRow) * 18 + 8), thCheckBox);
}

} // namespace
} // namespace mirufo
