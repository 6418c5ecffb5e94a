// The floor as a whole program: a minimal window program that makes the
// registry calls of a restore and nothing else.
//
//   floorwin [-nowindow] [SCRIPT]
//   floorwin [-nowindow] -product FILE.rg
//
// Without SCRIPT it only creates its window, shows it and closes it; with
// -nowindow it makes the calls without any window. With -product it runs
// the product's restore (LoadLines + ApplyLayout) instead of the floor, to
// tell the restore code's share of a whole run from the rest.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/BenchUtil_win.h"
#include "bench/Floor_win.h"
#include "bench/Window_win.h"
#include "layout/LineList.h"
#include "layout/Restore.h"
#include "app/paths.h"
#include "registry/RegistryStore_win.h"
#include "registry/WideRegistry_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  bool window = true;
  bool product = false;
  std::string script_path;
  for (int i = 1; i < __argc; ++i) {
    if (std::strcmp(__argv[i], "-nowindow") == 0) window = false;
    else if (std::strcmp(__argv[i], "-product") == 0) product = true;
    else script_path = __argv[i];
  }
  std::string script;
  if (!product && !script_path.empty() && !panestow::bench::ReadBytes(script_path, script)) return 2;

  HWND hwnd = nullptr;
  if (window) {
    hwnd = panestow::bench::MakePlainWindow(instance, "PanestowBenchFloor", "floor");
    if (!hwnd) return 3;
  }
  if (product) {
    panestow::LineList lines;
    panestow::RegistryStorePtr store = panestow::NewWinRegistryStore();
    panestow::WideRegistryPtr wide = panestow::NewWinWideRegistry();
    panestow::RestoreTarget target{*store, *wide, panestow::PlatformFiles(),
                                   panestow::ReplaceExtension(script_path, ".undo.reg")};
    if (!panestow::RestoreFromFile(script_path, lines, target)) return 1;
  } else if (!script.empty() && !panestow::bench::FloorRestore(script)) {
    return 1;
  }
  if (!hwnd) return 0;
  ShowWindow(hwnd, SW_SHOW);
  UpdateWindow(hwnd);
  PostMessageA(hwnd, WM_CLOSE, 0, 0);
  panestow::bench::RunMessageLoop();
  return 0;
}
