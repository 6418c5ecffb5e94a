// Peak memory of one restore, in a process of its own.
//
//   membench FILE.rg            the product's restore (RestoreFromFile)
//   membench -floor FILE.script the floor's registry calls alone
//
// Prints one table row: the process's peak working set before and after
// the restore (GetProcessMemoryInfo; Wine fills it from VmHWM of
// /proc/self/status, the peak resident size of the whole Wine process),
// and the peak of the C++ heap in use during the restore, counted by this
// program's own operator new and delete.
#include <windows.h>

#include <malloc.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "bench/BenchUtil_win.h"
#include "bench/Floor_win.h"
#include "layout/LineList.h"
#include "layout/Restore.h"
#include "app/History.h"
#include "app/paths.h"
#include "registry/RegistryStore_win.h"
#include "registry/WideRegistry_win.h"

namespace {

size_t g_live = 0;
size_t g_peak = 0;

void* Allocate(size_t n) {
  void* p = std::malloc(n ? n : 1);
  if (!p) throw std::bad_alloc();
  g_live += _msize(p);
  if (g_live > g_peak) g_peak = g_live;
  return p;
}

void Free(void* p) {
  if (!p) return;
  g_live -= _msize(p);
  std::free(p);
}

double PeakWorkingSetMb() {
  PROCESS_MEMORY_COUNTERS pmc = {};
  pmc.cb = sizeof pmc;
  GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
  return static_cast<double>(pmc.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

}  // namespace

void* operator new(size_t n) { return Allocate(n); }
void* operator new[](size_t n) { return Allocate(n); }
void operator delete(void* p) noexcept { Free(p); }
void operator delete[](void* p) noexcept { Free(p); }
void operator delete(void* p, size_t) noexcept { Free(p); }
void operator delete[](void* p, size_t) noexcept { Free(p); }

int main(int argc, char** argv) {
  using namespace panestow;
  const bool floor = argc > 2 && std::strcmp(argv[1], "-floor") == 0;
  if (argc < 2 || (floor && argc < 3)) {
    std::fprintf(stderr, "usage: membench FILE.rg | membench -floor FILE.script\n");
    return 2;
  }
  const char* path = argv[floor ? 2 : 1];
  std::string script;
  // The floor's script is read before the first reading: it stands for
  // data a program already holds.
  if (floor && !bench::ReadBytes(path, script)) return 2;

  const double before = PeakWorkingSetMb();
  const size_t heap_before = g_live;
  g_peak = g_live;
  bool ok;
  if (floor) {
    ok = bench::FloorRestore(script);
  } else {
    LineList lines;
    RegistryStorePtr store = NewWinRegistryStore();
    WideRegistryPtr wide = NewWinWideRegistry();
    // As the main window runs it: the history entry too.
    History history(PlatformFiles(), ReplaceExtension(path, ".history"));
    RestoreTarget target{*store, *wide, PlatformFiles(), ReplaceExtension(path, ".undo.reg"), true, &history, 1};
    ok = RestoreFromFile(path, lines, target);
  }
  const double after = PeakWorkingSetMb();
  std::printf("  %-40s %15.1f %15.1f %15.1f %15.1f\n",
              floor ? "floor: the same registry calls" : "product: RestoreFromFile", before, after,
              after - before, static_cast<double>(g_peak - heap_before) / (1024.0 * 1024.0));
  return ok ? 0 : 1;
}
