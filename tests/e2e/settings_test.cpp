// Start, close and the settings file, seen from outside the program.
#include <windows.h>

#include <algorithm>

#include "tests/e2e/E2e.h"

namespace panestow::e2e {
namespace {

using test::PathExists;
using test::ReadFileBytes;
using test::WriteFileBytes;

// The outer size a window of `hwnd`'s styles has for this client area.
SIZE OuterSizeFor(HWND hwnd, int client_width, int client_height) {
  RECT rc = {0, 0, client_width, client_height};
  AdjustWindowRectEx(&rc, static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongA(hwnd, GWL_EXSTYLE)));
  return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

HWND SaveWindowOf(DWORD pid) {
  const auto windows = automation::TopWindows(pid, nullptr, kSaveCaption, false);
  return windows.empty() ? nullptr : windows.front();
}

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = fd.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  std::sort(names.begin(), names.end());
  return names;
}

TEST_F(E2eTest, WithoutSettingsFileStartsAtTheDesignPlacesAndWritesTheTwelveLinesAtClose) {
  Start();
  HWND main = WaitMain();
  ASSERT_TRUE(main);

  const RECT rc = automation::WindowRect(main);
  EXPECT_EQ(rc.left, 194);
  EXPECT_EQ(rc.top, 109);
  const SIZE client = automation::ClientSize(main);
  EXPECT_EQ(client.cx, 204);
  EXPECT_EQ(client.cy, 211);
  const SIZE outer = OuterSizeFor(main, 204, 211);
  EXPECT_EQ(rc.right - rc.left, outer.cx);
  EXPECT_EQ(rc.bottom - rc.top, outer.cy);

  for (int slot = 1; slot <= 4; ++slot) EXPECT_EQ(RestoreCaption(main, slot), kDefaultTitles[slot - 1]) << slot;
  EXPECT_EQ(automation::TextOf(StatusLabel(main)), "");
  HWND save = SaveWindowOf(app_.Id());
  ASSERT_TRUE(save) << "the save window exists from the start, hidden";
  EXPECT_FALSE(IsWindowVisible(save));
  const RECT save_rc = automation::WindowRect(save);
  EXPECT_EQ(save_rc.left, 193);
  EXPECT_EQ(save_rc.top, 109);

  CloseByButton(main);
  EXPECT_EQ(ReadFileBytes(Beside(".ini")),
            IniText({194, 109, outer.cx, outer.cy, 193, 109,
                     {kDefaultTitles[0], kDefaultTitles[1], kDefaultTitles[2], kDefaultTitles[3]}}));
}

TEST_F(E2eTest, AppliesTheSettingsFileAndWritesTheSameValuesBackAtClose) {
  // Names in another case, a hexadecimal number, a comment and a foreign
  // key: read as the profile service reads them, gone after the next exit.
  WriteFileBytes(Beside(".ini"),
                 "; moved and renamed\r\n"
                 "[form]\r\n"
                 "f1_x=300\r\n"
                 "F1_Y=$96\r\n"
                 "F1_W=260\r\n"
                 "F1_H=280\r\n"
                 "F2_X=120\r\n"
                 "F2_Y=90\r\n"
                 "Extra=1\r\n"
                 "[Sets]\r\n"
                 "Tit1=\"Alpha\"\r\n"
                 "Tit2=\"  spaced  \"\r\n"
                 "Tit3=\"\"\r\n"
                 "Tit4=\"say \"hi\"\"\r\n");
  Start();
  HWND main = WaitMain();
  ASSERT_TRUE(main);

  const RECT rc = automation::WindowRect(main);
  EXPECT_EQ(rc.left, 300);
  EXPECT_EQ(rc.top, 150);
  EXPECT_EQ(rc.right - rc.left, 260);
  EXPECT_EQ(rc.bottom - rc.top, 280);
  HWND save = SaveWindowOf(app_.Id());
  ASSERT_TRUE(save);
  EXPECT_EQ(automation::WindowRect(save).left, 120);
  EXPECT_EQ(automation::WindowRect(save).top, 90);
  // An empty title reads as absent and leaves the default.
  const std::string titles[4] = {"Alpha", "  spaced  ", kDefaultTitles[2], "say \"hi\""};
  for (int slot = 1; slot <= 4; ++slot) EXPECT_EQ(RestoreCaption(main, slot), titles[slot - 1]) << slot;

  automation::PressCloseBox(main);
  ExpectExit();
  EXPECT_EQ(ReadFileBytes(Beside(".ini")),
            IniText({300, 150, 260, 280, 120, 90, {titles[0], titles[1], titles[2], titles[3]}}));
}

TEST_F(E2eTest, ReadOnlySettingsFileIsAppliedAndLeftAsItWas) {
  const std::string ini =
      "[Form]\r\nF1_X=250\r\nF1_Y=120\r\n[Sets]\r\nTit1=\"kept\"\r\n";
  WriteFileBytes(Beside(".ini"), ini);
  ASSERT_TRUE(SetFileAttributesA(Beside(".ini").c_str(), FILE_ATTRIBUTE_READONLY));
  Start();
  HWND main = WaitMain();
  ASSERT_TRUE(main);
  EXPECT_EQ(automation::WindowRect(main).left, 250);
  EXPECT_EQ(RestoreCaption(main, 1), "kept");

  CloseByButton(main);
  EXPECT_EQ(ReadFileBytes(Beside(".ini")), ini);
  // Nothing half-written is left beside it either.
  EXPECT_EQ(FilesIn(Folder()), (std::vector<std::string>{"panestow.exe", "panestow.ini"}));
}

// The outer rectangles of both windows as the program wrote them at exit.
IniValues WrittenPlaces(HWND main, HWND save, const std::string (&titles)[4]) {
  const RECT m = automation::WindowRect(main);
  const RECT s = automation::WindowRect(save);
  return IniValues{m.left, m.top, m.right - m.left, m.bottom - m.top, s.left, s.top,
                   {titles[0], titles[1], titles[2], titles[3]}};
}

const std::string kTitles[4] = {kDefaultTitles[0], kDefaultTitles[1], kDefaultTitles[2], kDefaultTitles[3]};

TEST_F(E2eTest, TheEndOfTheSessionWritesTheSettingsAsTheCloseDoes) {
  Start();
  HWND main = WaitMain();
  ASSERT_TRUE(main);
  HWND save = OpenSaveWindow(main);
  ASSERT_TRUE(save);
  std::vector<HWND> edits = automation::Children(save, "Edit");
  ASSERT_EQ(edits.size(), 4u);
  ASSERT_TRUE(automation::SetText(edits[1], "typed before log-off"));
  automation::Click(Control(save, "Button", kSaveWindowClose));
  ASSERT_TRUE(automation::WaitUntil([&] { return !IsWindowVisible(save); }, kTimeoutMs, app_.Handle()));
  ASSERT_TRUE(SetWindowPos(main, nullptr, 250, 140, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
  ASSERT_TRUE(SetWindowPos(save, nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));

  // The system asks first, and may still call the end off.
  DWORD_PTR answer = 0;
  ASSERT_TRUE(SendMessageTimeoutA(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, kTimeoutMs, &answer));
  EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE)) << "the program would hold up the log-off";
  ASSERT_TRUE(SendMessageTimeoutA(main, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF, SMTO_NORMAL, kTimeoutMs, &answer));
  EXPECT_FALSE(PathExists(Beside(".ini"))) << "written though the session goes on";

  ASSERT_TRUE(SendMessageTimeoutA(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, kTimeoutMs, &answer));
  const std::string titles[4] = {kDefaultTitles[0], "typed before log-off", kDefaultTitles[2], kDefaultTitles[3]};
  const IniValues written = WrittenPlaces(main, save, titles);
  EXPECT_EQ(written.f1_x, 250);
  EXPECT_EQ(written.f2_y, 200);
  EXPECT_EQ(ReadFileBytes(Beside(".ini")), IniText(written));
  // Then the system ends the program, without a close.
  TerminateProcess(app_.Handle(), 0);
  EXPECT_TRUE(app_.WaitExit(kTimeoutMs));
}

TEST_F(E2eTest, WindowsSavedOffEveryScreenShowOnItAndAPartlyVisibleOneStays) {
  RECT work;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
  const struct {
    int x, y;
    bool moved;
  } cases[] = {{3000, 3000, true}, {-8, -5, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "saved at " << c.x << "," << c.y);
    const std::string x = std::to_string(c.x), y = std::to_string(c.y);
    WriteFileBytes(Beside(".ini"),
                   "[Form]\r\nF1_X=" + x + "\r\nF1_Y=" + y + "\r\nF2_X=" + x + "\r\nF2_Y=" + y + "\r\n");
    Start();
    HWND main = WaitMain();
    ASSERT_TRUE(main);
    HWND save = OpenSaveWindow(main);
    ASSERT_TRUE(save);
    for (HWND window : {main, save}) {
      const RECT rc = automation::WindowRect(window);
      if (c.moved) {
        // Just inside the work area's bottom right corner, its size kept.
        EXPECT_EQ(rc.right, work.right);
        EXPECT_EQ(rc.bottom, work.bottom);
        EXPECT_GE(rc.left, work.left);
        EXPECT_GE(rc.top, work.top);
      } else {
        EXPECT_EQ(rc.left, c.x);
        EXPECT_EQ(rc.top, c.y);
      }
    }
    EXPECT_EQ(automation::ClientSize(main).cx, 204);
    automation::Click(Control(save, "Button", kSaveWindowClose));
    ASSERT_TRUE(automation::WaitUntil([&] { return !IsWindowVisible(save); }, kTimeoutMs, app_.Handle()));
    const IniValues stood = WrittenPlaces(main, save, kTitles);
    CloseByButton(main);
    EXPECT_EQ(ReadFileBytes(Beside(".ini")), IniText(stood));
  }
}

TEST_F(E2eTest, TheFirstShowTakesTheShowCommandAndTheNormalPlaceIsWritten) {
  // A shortcut's "Run: Minimized" and "Run: Maximized", and a start that
  // leaves another program active.
  const struct {
    const char* what;
    int show;
    bool minimized, maximized, active;
  } cases[] = {
      {"SW_SHOWMINNOACTIVE", SW_SHOWMINNOACTIVE, true, false, false},
      {"SW_SHOWNOACTIVATE", SW_SHOWNOACTIVATE, false, false, false},
      {"SW_SHOWMAXIMIZED", SW_SHOWMAXIMIZED, false, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFileBytes(Beside(".ini"), "[Form]\r\nF1_X=300\r\nF1_Y=150\r\nF1_W=260\r\nF1_H=280\r\n");
    ASSERT_TRUE(app_.Start(Exe(), "", Folder(), c.show));
    HWND main = WaitMain();
    ASSERT_TRUE(main);
    ASSERT_TRUE(automation::Sync(main));
    EXPECT_EQ(IsIconic(main) != FALSE, c.minimized);
    EXPECT_EQ(IsZoomed(main) != FALSE, c.maximized);
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info));
    EXPECT_EQ(info.hwndActive == main, c.active);
    // Activated, it has the focus on its close button, as always.
    if (c.active) {
      EXPECT_EQ(info.hwndFocus, Control(main, "Button", kMainClose));
    }

    automation::PostClose(main);
    ExpectExit();
    EXPECT_EQ(ReadFileBytes(Beside(".ini")),
              IniText({300, 150, 260, 280, 193, 109, {kTitles[0], kTitles[1], kTitles[2], kTitles[3]}}));
  }
}

}  // namespace
}  // namespace panestow::e2e
