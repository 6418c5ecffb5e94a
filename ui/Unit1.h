// The main window: the save button, a restore button per slot, the status
// line; and the start-up steps and command line that run when it is first
// shown.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/History.h"
#include "app/lock.h"
#include "layout/LineList.h"
#include "layout/Undo.h"
#include "registry/RegistryStore.h"
#include "registry/WideRegistry.h"
#include "ui/MessageDialog.h"

namespace panestow {

class TForm2;

struct WindowBounds {
  int32_t left = 0, top = 0, width = 0, height = 0;
};

// The restore buttons of slots 1 to 4 stand 40 pixels apart from the top
// of their panel, 16 from its left, 33 high. Their width follows the
// client width, 8 short of its right edge, but never below 64.
constexpr int32_t RestoreButtonWidth(int32_t client_width) {
  return client_width - 16 - 8 < 64 ? 64 : client_width - 16 - 8;
}
constexpr WindowBounds RestoreButtonBounds(int slot, int32_t width) {
  return WindowBounds{16, 40 * (slot - 1), width, 33};
}

// The undo command of the main window's system menu, sent as WM_SYSCOMMAND.
constexpr unsigned kUndoCommandId = 0x0110;
extern const char kUndoCommandCaption[];  // "直前の復元を取り消す(&U)"
// The history command after it, which opens the history window.
constexpr unsigned kHistoryCommandId = 0x0120;
extern const char kHistoryCommandCaption[];  // "履歴から戻す(&H)..."

// What the main window's handlers need of the window system and the
// platform.
class Form1Host {
 public:
  virtual ~Form1Host() = default;
  virtual std::string ModuleFileName() = 0;
  virtual std::string CommandLine() = 0;
  // Outer bounds of the main window; each setter applies at once, through
  // the window system, which keeps a width or height above its minimum.
  virtual WindowBounds Bounds() = 0;
  virtual void SetLeft(int32_t left) = 0;
  virtual void SetTop(int32_t top) = 0;
  virtual void SetWidth(int32_t width) = 0;
  virtual void SetHeight(int32_t height) = 0;
  virtual int32_t ClientWidth() = 0;
  // Width of the four restore buttons.
  virtual void SetRestoreButtonWidth(int32_t width) = 0;
  virtual void SetRestoreCaption(int slot, const std::string& text) = 0;
  virtual void SetStatusText(const std::string& text) = 0;
  // Closes the main window the ordinary way, which runs FormClose and ends
  // the program.
  virtual void Close() = 0;
  virtual void ShowSaveWindowModal() = 0;
  virtual DialogResult ShowMessage(const std::string& text, DialogKind kind, unsigned buttons) = 0;
  virtual void Beep(uint32_t type) = 0;
  virtual RegistryStorePtr NewRegistryStore() = 0;
  virtual WideRegistryPtr NewWideRegistry() = 0;
  // The image file names of the programs running now.
  virtual std::vector<std::string> RunningPrograms() = 0;
  // Greys the undo command out, or offers it; the same for the history
  // command.
  virtual void SetUndoAvailable(bool available) = 0;
  virtual void SetHistoryAvailable(bool available) = 0;
  // Runs the history window modally; it lists TForm1::HistoryEntries and
  // puts one back through TForm1::PutBackFromHistory. While it is open,
  // the dialogs of ShowMessage are its own.
  virtual void ShowHistoryWindowModal() = 0;
  // The lock that lets one change at a time run among the processes of
  // this executable, waited for; null when another held it too long.
  virtual ChangeLockPtr LockChanges() = 0;
  virtual void ShellExec(const std::string& verb, const std::string& file, const std::string& parameters,
                            const std::string& directory, int show) = 0;
};

class TForm1 {
 public:
  // The save window, whose titles and position the main window reads and
  // sets; it may still be under construction.
  TForm1(Form1Host& host, TForm2& form2) : host_(host), form2_(form2) {}

  void FormShow();
  void FormClose();
  void FormResize();
  void ButtonCloseClick() { host_.Close(); }
  void Button1Click();
  // Restore buttons of slots 1 to 4.
  void Button2Click() { RestoreSlot(1); }
  void Button3Click() { RestoreSlot(2); }
  void Button4Click() { RestoreSlot(3); }
  void Button5Click() { RestoreSlot(4); }

  // The undo command: after the running check and a confirmation, takes
  // the latest restore back from the undo file and sets the status label.
  // Nothing when there is no undo file. Throws Error, with nothing changed,
  // when the file cannot be read as one.
  void MenuUndoClick();
  bool UndoAvailable() const;

  // The history command: the history window, when there is a history.
  void MenuHistoryClick();
  bool HistoryAvailable() const;
  // The entries of the history, newest first.
  std::vector<HistoryEntry> HistoryEntries() const;
  // Puts an entry of the history back: registry keys after the running
  // check and a confirmation, a slot's file after a confirmation; sets the
  // status label. False when the user declined, so that nothing was done.
  // Throws Error("ファイル %s は開けません"), with nothing changed, for an
  // entry that cannot be read or is damaged.
  bool PutBackFromHistory(const HistoryEntry& entry);

  // Applies the file named by LayoutPath to Jw_cad's keys, with the undo
  // file and the rollback of a failed walk, and sets the status label.
  // Throws Error when the file cannot be opened, before any registry work.
  bool RestoreLayout();

  // The default value of Jwwin.Document\shell\open\command under
  // HKEY_CLASSES_ROOT, or empty text.
  std::string ReadOpenCommand();

  // SlotPath1 to SlotPath4 by slot number; the slot of one of them, else 0.
  const std::string& SlotPath(int slot) const;
  int SlotOf(const std::string& path) const;

  std::string IniPath;
  std::string SlotPath1, SlotPath2, SlotPath3, SlotPath4;
  std::string LayoutPath;
  std::string UndoPath;
  std::string HistoryPath;

 private:
  void ApplySettings();
  // The undo and history commands offered as things stand.
  void RefreshMenu();
  void NoteUndo(UndoFile undo);
  void CopyTitlesToButtons();
  void RestoreSlot(int slot);
  // Before the save, restore and undo confirmations: true when Jw_cad is
  // not running, or the user answered Yes to the warning that it is.
  bool GoOnIfJwCadRuns();
  void RunCommandLine();
  void LaunchJwCad(const std::vector<std::string>& args);

  Form1Host& host_;
  TForm2& form2_;
  LineList lines_;
  // An undo file that stands for an earlier change, and could not be taken
  // away when the latest one failed to write its own.
  bool undo_stale_ = false;
};

}  // namespace panestow
