// The controls of the two windows: panels, buttons, labels, filled
// rectangles, one-line edits and a status bar, each a real child window
// carrying its caption. A window declares its controls once, in a table
// (id, kind, place, caption, handler), and is built and served from it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace panestow {

// Colours of the windows' design.
constexpr COLORREF kSkyBlue = RGB(166, 202, 240);
constexpr COLORREF kMoneyGreen = RGB(192, 220, 192);

// A fill: a fixed colour, or a system colour taken when it is painted, so
// that it follows a change of the system colours.
struct Fill {
  bool system;
  COLORREF value;  // the colour, or the system colour's index
};
constexpr Fill FixedFill(COLORREF color) { return Fill{false, color}; }
constexpr Fill SystemFill(int index) { return Fill{true, static_cast<COLORREF>(index)}; }
COLORREF ColorOf(Fill fill);
HBRUSH BrushOf(Fill fill);

// "ＭＳ ゴシック" at a character height in pixels, Shift-JIS character set.
HFONT GothicFont(int height);

struct Rect {
  int left, top, width, height;
};

enum class ControlKind {
  Panel,         // filled, with an optional raised bevel and a centred caption
  Button,        // push button
  Label,         // static text, centred both ways
  StatusLabel,   // static text from the left, sized to its text
  Shape,         // filled rectangle
  Edit,          // one-line edit
  StatusBar,     // one simple panel, no text
};

// How a control follows its parent's size: not at all, or docked to an
// edge (with `place` giving its height or width) or filling what the docked
// ones leave. Top comes before Bottom, Bottom before Right, Right before
// Fill, whatever their order in the table.
enum class Dock { None, Top, Bottom, Right, Fill };

struct ControlDef {
  int id;          // unique in the program
  ControlKind kind;
  int parent;      // index in the table of the panel it sits on; -1: the window
  Dock dock;
  Rect place;      // relative to the parent
  const char* caption;
  int font_height;
  Fill fill;       // panels, labels and shapes
  int bevel;       // panels
};

// One row of a window's table: the control and its click handler on the
// window's form, if it has one.
template <typename Form>
struct Control {
  ControlDef def;
  void (Form::*on_click)();
};

// Registers the control classes used here; once, before any window is made.
void RegisterControlClasses(HINSTANCE instance);

// A top-level window as designed: its class, caption, styles, place and
// client size.
struct WindowDef {
  const char* class_name;
  const char* caption;
  DWORD style;
  DWORD ex_style;
  int left, top;
  int client_width, client_height;
};

// Registers the window's class with the program's icon, served by `proc`,
// with the desktop colour behind its controls.
void RegisterWindowClass(HINSTANCE instance, const WindowDef& def, WNDPROC proc);

// Makes the window, hidden, owned by `owner`; `self` serves it (see
// ObjectWindowProc).
HWND CreateTopWindow(const WindowDef& def, HWND owner, void* self);

// The window procedure of a class whose windows are each served by an
// object of type T: the object comes as CreateWindowEx's last argument,
// learns its window at WM_NCCREATE (T::Attach) and handles every message
// from then on (T::Handle).
template <typename T>
LRESULT CALLBACK ObjectWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  T* self = reinterpret_cast<T*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (msg == WM_NCCREATE) {
    self = static_cast<T*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
    self->Attach(hwnd);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  return self ? self->Handle(msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp);
}

// Makes one control of a table on `parent`.
HWND CreateControl(HWND parent, const ControlDef& def);

// Places the docked controls of a table in their parents' client areas.
void LayOutDocked(HWND window, const ControlDef* const* defs, const HWND* controls, size_t count);

// A window's controls, made from its table in table order (which is also
// the keyboard order) and then placed.
template <typename Form>
class Controls {
 public:
  template <size_t N>
  explicit Controls(const Control<Form> (&table)[N]) : table_(table), count_(N), defs_(N), controls_(N) {
    for (size_t i = 0; i < N; ++i) defs_[i] = &table[i].def;
  }

  void Create(HWND window) {
    for (size_t i = 0; i < count_; ++i) {
      const int parent = table_[i].def.parent;
      controls_[i] = CreateControl(parent < 0 ? window : controls_[parent], table_[i].def);
    }
    LayOut(window);
  }
  bool Created() const { return controls_[0] != nullptr; }
  void LayOut(HWND window) {
    if (Created()) LayOutDocked(window, defs_.data(), controls_.data(), count_);
  }
  // The control in row `index` of the table.
  HWND operator[](size_t index) const { return controls_[index]; }

  // Runs the click handler of the control with this id; false when there
  // is none.
  bool Click(Form& form, int id) const {
    for (size_t i = 0; i < count_; ++i) {
      if (table_[i].def.id == id && table_[i].on_click) {
        (form.*table_[i].on_click)();
        return true;
      }
    }
    return false;
  }

 private:
  const Control<Form>* table_;
  size_t count_;
  std::vector<const ControlDef*> defs_;
  std::vector<HWND> controls_;
};

// A window's focused control, kept while the window is inactive and given
// back when it is active again, as the dialog manager does for dialogs: a
// keyboard user goes on where they were after a dialog or another program.
class FocusKeeper {
 public:
  // The control to focus when the window is next activated.
  void Set(HWND control) { control_ = control; }
  // Serves `window`'s WM_ACTIVATE and WM_SETFOCUS; true when it answered
  // the message itself (with 0).
  bool Handle(HWND window, UINT msg, WPARAM wp);

 private:
  HWND control_ = nullptr;
};

// The messages both windows answer alike: their labels' and shapes'
// colours, the focus kept across activations, and a change of the system
// colours. True when `msg` was answered, with the answer in `result`.
bool AnswerCommonMessage(HWND window, FocusKeeper& focus, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

void MoveControl(HWND control, const Rect& r);

// The window's outer rectangle in screen coordinates; for a minimized or
// maximized window the one it will have again when restored.
RECT RestoredRect(HWND window);

// Moves a window that lies wholly outside every monitor's work area just
// inside the nearest one, keeping its size; a window partly on screen, or
// minimized, stays where it is.
void KeepOnScreen(HWND window);

// The window's outer size for a client area of the given size.
SIZE OuterSize(DWORD style, DWORD ex_style, int client_width, int client_height);

// The text of a window or control.
std::string WindowText(HWND hwnd);

}  // namespace panestow
