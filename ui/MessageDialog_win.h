// The modal message dialog, and the error box for an error that escaped a
// handler.
#pragma once

#include <windows.h>

#include <string>

#include "ui/MessageDialog.h"

namespace panestow {

// Shows `text` in a dialog of `kind` with the chosen buttons (in the order
// Yes, No, OK), centred on the monitor of `owner`, modal to it. Enter presses
// OK, else Yes (No with kDefaultNo); Esc presses No where there is one,
// else OK; the close box answers Cancel.
DialogResult ShowMessageDialog(HWND owner, const std::string& text, DialogKind kind, unsigned buttons);

// Runs a modal dialog over `owner` from an empty template with these
// styles: `proc` makes and places its controls at WM_INITDIALOG, which
// gets `param`. The value EndDialog was given.
INT_PTR RunDialog(HWND owner, DWORD style, DLGPROC proc, LPARAM param);

// The error box: ErrorBoxText(message) under the application title, with a
// stop icon and OK.
void ShowErrorBox(HWND owner, const std::string& message);

// Runs a handler; an error that escapes it is shown in the error box and the
// program goes on.
template <typename Handler>
void Guarded(HWND owner, Handler handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    ShowErrorBox(owner, e.what());
  } catch (...) {
    ShowErrorBox(owner, "Unknown error");
  }
}

}  // namespace panestow
