// The message box's button rules: standard order, default and Esc answers,
// and the refusal of mismatched lists before anything is shown.
#include "platform/errors.h"
#include "platform/message_buttons.h"

#include <gtest/gtest.h>

namespace mirufo {
namespace {

std::vector<int> ResultsOf(const TMessageButtonPlan& plan) {
  std::vector<int> results;
  for (const TMessageButton& b : plan.Buttons)
    results.push_back(b.Result);
  return results;
}

struct TButtonCase {
  std::vector<int> Results;
  std::vector<int> Order;
  int Default;
  int Escape;
};

TEST(MessageButtons, OrderDefaultAndEscape) {
  const TButtonCase cases[] = {
      {{mrOk}, {mrOk}, mrOk, mrOk},
      {{mrCancel, mrOk}, {mrOk, mrCancel}, mrOk, mrCancel},
      {{mrNo, mrYes}, {mrYes, mrNo}, mrYes, mrNo},
      {{mrYes, mrNo, mrCancel}, {mrYes, mrNo, mrCancel}, mrYes, mrCancel},
      {{mrIgnore, mrRetry, mrAbort}, {mrAbort, mrRetry, mrIgnore}, mrRetry, mrOk},
      {{mrYesToAll, mrNoToAll, mrAll, mrYes}, {mrYes, mrAll, mrNoToAll, mrYesToAll}, mrYes, mrOk},
      {{mrNone, mrOk, mrNone}, {mrOk}, mrOk, mrOk},
      {{mrAbort}, {mrAbort}, mrNone, mrOk},
  };
  for (const TButtonCase& c : cases) {
    std::vector<std::string> captions(c.Results.size(), "x");
    const TMessageButtonPlan plan = PlanMessageButtons(captions, c.Results);
    EXPECT_EQ(ResultsOf(plan), c.Order);
    EXPECT_EQ(plan.DefaultResult, c.Default);
    EXPECT_EQ(plan.EscapeResult, c.Escape);
  }
}

TEST(MessageButtons, CaptionsTravelWithTheirResults) {
  const TMessageButtonPlan plan =
      PlanMessageButtons({"やめとく", "いいよ", "もちろん"}, {mrCancel, mrNo, mrYes});
  ASSERT_EQ(plan.Buttons.size(), 3u);
  EXPECT_EQ(plan.Buttons[0].Caption, "もちろん");
  EXPECT_EQ(plan.Buttons[1].Caption, "いいよ");
  EXPECT_EQ(plan.Buttons[2].Caption, "やめとく");
}

TEST(MessageButtons, MismatchedListsAndUnknownResultsAreRefused) {
  try {
    (void)PlanMessageButtons({"はい", "いいえ"}, {mrYes});
    FAIL() << "no error";
  } catch (const EMirufoError& e) {
    EXPECT_STREQ(e.what(), kMessageCountError);
  }
  EXPECT_THROW((void)PlanMessageButtons({"?"}, {11}), EMirufoError);
  EXPECT_THROW((void)PlanMessageButtons({"?"}, {-1}), EMirufoError);
}

TEST(MessageButtons, TitlesAndLineBreaks) {
  EXPECT_STREQ(MessageDialogTitle(mtWarning), "警告");
  EXPECT_STREQ(MessageDialogTitle(mtError), "エラー");
  EXPECT_STREQ(MessageDialogTitle(mtInformation), "情報");
  EXPECT_STREQ(MessageDialogTitle(mtConfirmation), "確認");
  EXPECT_EQ(MessageDialogText("a\rb\r\nc\nd"), "a\nb\nc\nd");
}

} // namespace
} // namespace mirufo
