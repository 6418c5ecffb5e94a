// The history window: the entries of the history, newest first, and the
// put-back of one of them.
#pragma once

#include <windows.h>

namespace panestow {

class TForm1;

// Runs the window modally over `owner`, centred on it. `opened` holds the
// window while it is open, and null again afterwards.
void ShowHistoryWindow(HWND owner, TForm1& form, HWND* opened);

}  // namespace panestow
