// The modal message dialog as the handlers ask for it.
#pragma once

#include <string>

namespace panestow {

enum class DialogKind { Warning, Error, Information, Confirmation };

// Buttons are chosen as a set; they stand in the order Yes, No, OK. The
// default button (Enter) is OK when there is one, else Yes, or No with
// kDefaultNo.
enum DialogButtons : unsigned { kButtonYes = 1, kButtonNo = 2, kButtonOk = 4, kDefaultNo = 8 };

// Closing the dialog by its close box answers Cancel, which every caller
// takes as No.
enum class DialogResult { Yes, No, Ok, Cancel };

// Caption of a dialog of that kind: "警告", "エラー", "情報" or "確認".
const char* DialogCaption(DialogKind kind);

// The application title, caption of the error box.
extern const char kApplicationTitle[];  // "Panestow"

// Text of the error box for an error that left a handler: the message with
// a full stop added when its last character sorts after ".".
std::string ErrorBoxText(const std::string& message);

}  // namespace panestow
