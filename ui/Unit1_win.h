// The main window in Win32, with the save window it runs.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/Controls_win.h"
#include "ui/Unit1.h"
#include "ui/Unit2_win.h"

namespace panestow {

class MainWindow : public Form1Host {
 public:
  MainWindow();
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Registers the window classes of both windows.
  static void Register(HINSTANCE instance);
  // Makes the main window, then the save window, hidden, owned by it.
  void Create();
  HWND Handle() const { return hwnd_; }
  TForm1& Form() { return form_; }

  // The first show, with the show command the program was started with:
  // FormShow runs before the window is drawn; an error that escapes it is
  // shown in the error box and the window shows all the same. A window
  // that FormShow closed is not shown.
  void ShowFirst(int show);

  std::string ModuleFileName() override;
  std::string CommandLine() override;
  WindowBounds Bounds() override;
  void SetLeft(int32_t left) override;
  void SetTop(int32_t top) override;
  void SetWidth(int32_t width) override;
  void SetHeight(int32_t height) override;
  int32_t ClientWidth() override;
  void SetRestoreButtonWidth(int32_t width) override;
  void SetRestoreCaption(int slot, const std::string& text) override;
  void SetStatusText(const std::string& text) override;
  void Close() override;
  void ShowSaveWindowModal() override;
  DialogResult ShowMessage(const std::string& text, DialogKind kind, unsigned buttons) override;
  void Beep(uint32_t type) override;
  RegistryStorePtr NewRegistryStore() override;
  WideRegistryPtr NewWideRegistry() override;
  std::vector<std::string> RunningPrograms() override;
  void SetUndoAvailable(bool available) override;
  void SetHistoryAvailable(bool available) override;
  void ShowHistoryWindowModal() override;
  ChangeLockPtr LockChanges() override;
  void ShellExec(const std::string& verb, const std::string& file, const std::string& parameters,
                 const std::string& directory, int show) override;

  // For the window procedure.
  void Attach(HWND hwnd) { hwnd_ = hwnd; }
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);

 private:
  void LayOut();
  HWND RestoreButton(int slot) const;

  // The save window first: its form takes this window's form, which is
  // made after it, for the slot paths.
  SaveWindow save_window_;
  TForm1 form_;
  Controls<TForm1> controls_;
  FocusKeeper focus_;
  HWND hwnd_ = nullptr;
  // The history window while it is open: it owns the dialogs then.
  HWND history_window_ = nullptr;
};

}  // namespace panestow
