#include "platform/message_buttons.h"

#include "platform/errors.h"
#include "platform/translate.h"

#include <algorithm>
#include <array>

namespace mirufo {
namespace {

// Position of each result in the standard button order (index = result).
constexpr std::array<int, 11> kOrder = {
    // none OK Cancel Abort Retry Ignore Yes No All NoToAll YesToAll
    -1, 2, 3, 4, 5, 6, 0, 1, 7, 8, 9};

bool Has(const TMessageButtonPlan& plan, int result) {
  return std::any_of(plan.Buttons.begin(), plan.Buttons.end(),
                     [result](const TMessageButton& b) { return b.Result == result; });
}

} // namespace

TMessageButtonPlan PlanMessageButtons(const std::vector<std::string>& captions,
                                      const std::vector<int>& results) {
  if (captions.size() != results.size())
    throw EMirufoError(kMessageCountError);
  TMessageButtonPlan plan;
  for (std::size_t i = 0; i < captions.size(); ++i) {
    if (results[i] < mrNone || results[i] > mrYesToAll)
      throw EMirufoError("CuteMessageDlg : 戻り値が不正です");
    if (results[i] != mrNone)
      plan.Buttons.push_back({captions[i], results[i]});
  }
  std::stable_sort(plan.Buttons.begin(), plan.Buttons.end(),
                   [](const TMessageButton& a, const TMessageButton& b) {
                     return kOrder[a.Result] < kOrder[b.Result];
                   });
  for (int result : {mrOk, mrYes, mrRetry})
    if (Has(plan, result)) {
      plan.DefaultResult = result;
      break;
    }
  plan.EscapeResult = Has(plan, mrCancel) ? mrCancel : Has(plan, mrNo) ? mrNo : mrOk;
  return plan;
}

const char* MessageDialogTitle(TMsgDlgType type) {
  switch (type) {
  case mtWarning:
    return N_("警告");
  case mtError:
    return N_("エラー");
  case mtInformation:
    return N_("情報");
  case mtConfirmation:
    return N_("確認");
  }
  return "";
}

std::string MessageDialogText(std::string_view message) {
  std::string text;
  text.reserve(message.size());
  for (std::size_t i = 0; i < message.size(); ++i) {
    if (message[i] == '\r') {
      text += '\n';
      if (i + 1 < message.size() && message[i + 1] == '\n')
        ++i;
    } else {
      text += message[i];
    }
  }
  return text;
}

} // namespace mirufo
