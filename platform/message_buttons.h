// The rules of the program's message box, apart from its drawing: which
// buttons a question shows and in what order, which one is the default, what
// Esc or closing the box answers, and the title of each kind of message.
// Every question and refusal of the program is one caption per button, each
// paired with the standard result the button returns.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mirufo {

enum TMsgDlgType : std::uint8_t { mtWarning, mtError, mtInformation, mtConfirmation };

// Standard dialog results; mrNone adds no button.
enum TModalResult : int {
  mrNone = 0,
  mrOk = 1,
  mrCancel = 2,
  mrAbort = 3,
  mrRetry = 4,
  mrIgnore = 5,
  mrYes = 6,
  mrNo = 7,
  mrAll = 8,
  mrNoToAll = 9,
  mrYesToAll = 10,
};

struct TMessageButton {
  std::string Caption;
  int Result = mrNone;
};

struct TMessageButtonPlan {
  // In the standard order of their kinds: Yes, No, OK, Cancel, Abort, Retry,
  // Ignore, All, No to all, Yes to all. Pairs of the same kind keep their
  // order.
  std::vector<TMessageButton> Buttons;
  // OK if present, else Yes, else Retry, else mrNone (no default button).
  int DefaultResult = mrNone;
  // What Esc or closing the box answers: Cancel if present, else No, else OK.
  int EscapeResult = mrOk;
};

// The message raised for lists of different length.
inline constexpr const char* kMessageCountError =
    "CuteMessageDlg : ボタンに対応する戻り値の数が合いません";

// Pairs captions[i] with results[i]. Raises EMirufoError with
// kMessageCountError when the lists differ in length, and for a result
// outside 0 to 10, before anything is shown.
TMessageButtonPlan PlanMessageButtons(const std::vector<std::string>& captions,
                                      const std::vector<int>& results);

// "警告", "エラー", "情報" or "確認" (untranslated).
const char* MessageDialogTitle(TMsgDlgType type);

// The message with each CR, LF or CR LF as one line break ("\n").
std::string MessageDialogText(std::string_view message);

} // namespace mirufo
