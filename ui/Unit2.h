// The save window: a title and a save button per slot.
#pragma once

#include <cstdint>
#include <string>

#include "app/lock.h"
#include "layout/LineList.h"
#include "registry/RegistryStore.h"
#include "ui/MessageDialog.h"

namespace panestow {

class TForm1;

// What the save window's handlers need of the window system.
class Form2Host {
 public:
  virtual ~Form2Host() = default;
  // Text of the title edit of slot 1 to 4.
  virtual std::string Title(int slot) = 0;
  virtual void SetTitle(int slot, const std::string& text) = 0;
  virtual int32_t Left() = 0;
  virtual int32_t Top() = 0;
  virtual void SetLeft(int32_t left) = 0;
  virtual void SetTop(int32_t top) = 0;
  // Ends the window's modal run.
  virtual void Close() = 0;
  virtual DialogResult ShowMessage(const std::string& text, DialogKind kind, unsigned buttons) = 0;
  virtual RegistryStorePtr NewRegistryStore() = 0;
  // As Form1Host::LockChanges.
  virtual ChangeLockPtr LockChanges() = 0;
};

class TForm2 {
 public:
  // The main window, whose slot paths the save buttons take; it may still
  // be under construction.
  TForm2(Form2Host& host, const TForm1& form1) : host_(host), form1_(form1) {}

  // The slot titles and the window's position, as the main window and the
  // settings file see them.
  std::string Title(int slot) { return host_.Title(slot); }
  void SetTitle(int slot, const std::string& text) { host_.SetTitle(slot, text); }
  int32_t Left() { return host_.Left(); }
  int32_t Top() { return host_.Top(); }
  void SetLeft(int32_t left) { host_.SetLeft(left); }
  void SetTop(int32_t top) { host_.SetTop(top); }

  // Save buttons of slots 1 to 4, and the close button.
  void Button1Click() { SaveSlot(1); }
  void Button2Click() { SaveSlot(2); }
  void Button3Click() { SaveSlot(3); }
  void Button4Click() { SaveSlot(4); }
  void Button5Click() { host_.Close(); }

  // Captures Jw_cad's layout keys into the file named by SavePath and
  // reports the outcome; the file it replaces goes into the main window's
  // history. A capture that fails part-way, or a file that cannot be
  // written, leaves the slot's earlier file as it was.
  void SaveLayout();

  std::string SavePath;

 private:
  void SaveSlot(int slot);

  Form2Host& host_;
  const TForm1& form1_;
  LineList lines_;
};

}  // namespace panestow
