// The main window in Win32.
#pragma once

#include <windows.h>

#include <string>

#include "ui/Unit1.h"

namespace panestow {

class SaveWindow;

class MainWindow : public Form1Host {
 public:
  explicit MainWindow(SaveWindow& save_window);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  static void Register(HINSTANCE instance);
  void Create();
  HWND Handle() const { return hwnd_; }
  TForm1& Form() { return form_; }

  // The first show: FormShow runs before the window is drawn; an error
  // that escapes it is shown in the error box and the window shows all
  // the same. A window that FormShow closed is not shown.
  void ShowFirst();

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
  void ShellExec(const std::string& verb, const std::string& file, const std::string& parameters,
                    const std::string& directory, int show) override;

  // For the window procedure.
  void Attach(HWND hwnd) { hwnd_ = hwnd; }
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);

 private:
  void CreateControls();
  void LayOut();
  void OnCommand(int id);

  SaveWindow& save_window_;
  TForm1 form_;
  HWND hwnd_ = nullptr;
  HWND panel1_ = nullptr, panel2_ = nullptr, panel3_ = nullptr, panel4_ = nullptr;
  HWND status_bar_ = nullptr, label_stat_ = nullptr, button_close_ = nullptr, button1_ = nullptr;
  HWND restore_buttons_[4] = {};
  int32_t restore_width_ = 180;
};

}  // namespace panestow
