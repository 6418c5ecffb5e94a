// The save window in Win32.
#pragma once

#include <windows.h>

#include <string>

#include "ui/Controls_win.h"
#include "ui/Unit2.h"

namespace panestow {

class SaveWindow : public Form2Host {
 public:
  // `main_form`: the main window's form, whose slot paths the save buttons
  // take; it may still be under construction.
  explicit SaveWindow(const TForm1& main_form);
  ~SaveWindow() override;
  SaveWindow(const SaveWindow&) = delete;
  SaveWindow& operator=(const SaveWindow&) = delete;

  static void Register(HINSTANCE instance);
  // Makes the window, hidden, owned by the main window.
  void Create(HWND owner);
  HWND Handle() const { return hwnd_; }
  TForm2& Form() { return form_; }

  // Shows the window modally: the owner takes no input until it closes.
  void ShowModal();

  std::string Title(int slot) override;
  void SetTitle(int slot, const std::string& text) override;
  int32_t Left() override;
  int32_t Top() override;
  void SetLeft(int32_t left) override;
  void SetTop(int32_t top) override;
  void Close() override;
  DialogResult ShowMessage(const std::string& text, DialogKind kind, unsigned buttons) override;
  RegistryStorePtr NewRegistryStore() override;
  ChangeLockPtr LockChanges() override;

  // For the window procedure.
  void Attach(HWND hwnd) { hwnd_ = hwnd; }
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);

 private:
  void CreateControls();
  HWND TitleEdit(int slot) const;
  void OnTitleChange(int slot, HWND edit);

  TForm2 form_;
  Controls<TForm2> controls_;
  FocusKeeper focus_;
  HWND hwnd_ = nullptr;
  HWND owner_ = nullptr;
  // The titles until the edits exist; then each edit's text before its
  // latest change.
  std::string titles_[4];
  bool modal_ = false;
};

}  // namespace panestow
