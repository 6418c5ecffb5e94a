// Restore and capture of the Jw_cad key under Wine: the product's own code
// against the floor (the same registry calls and nothing else) and against
// reg import / reg export, in paired rounds whose order rotates; then whole
// processes: panestow.exe S1 against the floor in a minimal window program.
//
//   regbench DIR [--rounds N] [--huge-rounds N] [--process-rounds N] [--no-huge]
//                [--no-typical] [--parts capture,restore,process,memory]
//   regbench --compare ROUNDS FOLDER COMMAND...   (whole processes, paired)
//
// DIR (a Windows path) receives the data sets and holds app\panestow.exe.
// The registry of the prefix is rewritten under HKCU\Software\Jw_cad.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "bench/BenchUtil_win.h"
#include "bench/CallCount_win.h"
#include "bench/Floor_win.h"
#include "bench/LayoutModel.h"
#include "layout/Capture.h"
#include "layout/LineList.h"
#include "layout/Restore.h"
#include "registry/RegistryStore_win.h"

using namespace panestow;
using namespace panestow::bench;

namespace {

const char kJwCadPath[] = "Software\\Jw_cad\\jw_win";
const char kRegExe[] = "C:\\windows\\system32\\reg.exe";

struct Options {
  std::string dir;
  int rounds = 11;
  int huge_rounds = 5;
  int process_rounds = 21;
  bool huge = true;
  bool typical = true;
  std::string parts = "capture,restore,process,memory";
  bool Has(const char* part) const { return parts.find(part) != std::string::npos; }
};

[[noreturn]] void Die(const std::string& what) {
  std::fprintf(stderr, "regbench: %s\n", what.c_str());
  std::exit(1);
}

void SetRaw(HKEY key, const ModelValue& v) {
  if (RegSetValueExA(key, v.name.c_str(), 0, v.type, reinterpret_cast<const BYTE*>(v.data.data()),
                     static_cast<DWORD>(v.data.size())) != ERROR_SUCCESS) {
    Die("cannot seed value " + v.name);
  }
}

// Replaces the Jw_cad key with the model's subkeys and values.
void Seed(const Layout& layout) {
  RegDeleteTreeA(HKEY_CURRENT_USER, kJwCadPath);
  HKEY jw;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kJwCadPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &jw, nullptr) !=
      ERROR_SUCCESS) {
    Die("cannot create the Jw_cad key");
  }
  for (const ModelValue& v : layout.own_values) SetRaw(jw, v);
  for (const auto* keys : {&layout.captured, &layout.others}) {
    for (const ModelKey& k : *keys) {
      HKEY sub;
      if (RegCreateKeyExA(jw, k.name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr) !=
          ERROR_SUCCESS) {
        Die("cannot seed subkey " + k.name);
      }
      for (const ModelValue& v : k.values) SetRaw(sub, v);
      RegCloseKey(sub);
    }
  }
  RegCloseKey(jw);
}

// Escapes backslashes and quotes for a REGEDIT4 file, which reg reads in
// the ANSI code page: the second byte of a double-byte character (often
// 0x5C in Shift-JIS) is part of the character and stays as it is.
std::string RegEscaped(const char* s) {
  std::string out;
  while (*s) {
    if (IsDBCSLeadByte(static_cast<BYTE>(*s)) && s[1]) {
      out.append(s, 2);
      s += 2;
      continue;
    }
    if (*s == '\\' || *s == '"') out += '\\';
    out += *s++;
  }
  return out;
}

// The same writes as the restore script, as a .reg file for reg import.
// Each subkey is deleted and made anew first, as a restore empties it.
std::string RegFileOf(const std::string& script) {
  std::string out = "REGEDIT4\r\n";
  const char* p = script.data();
  auto u32 = [&p] {
    uint32_t v;
    std::memcpy(&v, p, 4);
    p += 4;
    return v;
  };
  const uint32_t sections = u32();
  for (uint32_t s = 0; s < sections; ++s) {
    uint32_t len = u32();
    const std::string key = std::string("HKEY_CURRENT_USER\\") + p;
    p += len;
    out += "\r\n[-" + key + "]\r\n\r\n[" + key + "]\r\n";
    const uint32_t count = u32();
    for (uint32_t v = 0; v < count; ++v) {
      const uint32_t type = u32();
      len = u32();
      const char* name = p;
      p += len;
      len = u32();
      const char* data = p;
      p += len;
      out += "\"" + RegEscaped(name) + "\"=";
      if (type == REG_SZ) {
        out += "\"" + RegEscaped(data) + "\"\r\n";
      } else {
        uint32_t bits;
        std::memcpy(&bits, data, 4);
        char buf[32];
        std::snprintf(buf, sizeof buf, "dword:%08x\r\n", bits);
        out += buf;
      }
    }
  }
  return out;
}

// The product's capture, as the save window runs it (CaptureLayout, then
// SaveLines).
bool ProductCapture(const std::string& path) {
  LineList lines;
  bool captured;
  {
    RegistryStorePtr store = NewWinRegistryStore();
    captured = CaptureLayout(*store, lines);
  }
  if (!captured) return false;
  lines.SaveLines(path);
  return true;
}

// The product's restore, as the main window runs it (LoadLines, then
// ApplyLayout over a new store).
bool ProductRestore(const std::string& path) {
  LineList lines;
  lines.LoadLines(path);
  RegistryStorePtr store = NewWinRegistryStore();
  return ApplyLayout(lines, *store);
}

struct Variant {
  Variant(std::string l, std::function<bool()> r, bool process = false)
      : label(std::move(l)), run(std::move(r)), is_process(process) {}
  std::string label;
  std::function<bool()> run;  // false: the run failed
  bool is_process;            // runs another program (whose CPU time is not counted)
  std::vector<double> ms;
  std::vector<double> cpu_ms;  // this process's CPU time
  long calls = -1;
  std::string call_breakdown;
};

// A warm-up round, which also brings the key to the state every later run
// starts from; a round in which the registry calls are counted; then
// `rounds` timed rounds. Round r starts with variant r mod n, so that no
// variant always runs first or after the same one.
void RunPaired(std::vector<Variant>& variants, int rounds, bool count_calls,
               const std::function<void(const Variant&)>& check = nullptr) {
  for (Variant& v : variants) {
    if (!v.run()) Die(v.label + " failed");
  }
  for (Variant& v : variants) {
    if (count_calls) StartCountingRegistryCalls();
    if (!v.run()) Die(v.label + " failed");
    if (count_calls) {
      StopCountingRegistryCalls();
      v.calls = RegistryCallCount();
      v.call_breakdown = RegistryCallBreakdown();
    }
    if (check) check(v);
  }
  const size_t n = variants.size();
  for (int r = 0; r < rounds; ++r) {
    for (size_t k = 0; k < n; ++k) {
      Variant& v = variants[(static_cast<size_t>(r) + k) % n];
      const double cpu_start = CpuMs();
      const double start = NowMs();
      const bool ok = v.run();
      const double ms = NowMs() - start;
      if (!ok) Die(v.label + " failed");
      v.ms.push_back(ms);
      v.cpu_ms.push_back(CpuMs() - cpu_start);
    }
  }
}

// Median of the paired ratios a/b, with their spread.
std::string Ratio(const Variant& a, const Variant& b) {
  std::vector<double> r;
  for (size_t i = 0; i < a.ms.size() && i < b.ms.size(); ++i) r.push_back(a.ms[i] / b.ms[i]);
  const double med = Median(r);
  double lo = r.empty() ? 0 : r[0], hi = lo;
  for (double x : r) {
    lo = x < lo ? x : lo;
    hi = x > hi ? x : hi;
  }
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.2fx [%.2f-%.2f]", med, lo, hi);
  return buf;
}

double PairedRatio(const Variant& a, const Variant& b) {
  std::vector<double> r;
  for (size_t i = 0; i < a.ms.size() && i < b.ms.size(); ++i) r.push_back(a.ms[i] / b.ms[i]);
  return Median(r);
}

void PrintRows(const char* what, const char* set, const std::vector<Variant>& vs, int rounds) {
  std::printf("\n%s, %s layout (%d paired rounds, medians; ratio = median of the per-round ratios [min-max];\n"
              "  CPU ms = the client's user + kernel time, not the wineserver's)\n",
              what, set, rounds);
  std::printf("  %-44s %11s %24s %24s %9s %9s\n", "", "median ms", "vs floor", "vs reg.exe", "reg calls",
              "CPU ms");
  for (const Variant& v : vs) {
    char calls[32] = "-";
    if (v.calls >= 0) std::snprintf(calls, sizeof calls, "%ld", v.calls);
    char cpu[32] = "-";
    if (!v.is_process) std::snprintf(cpu, sizeof cpu, "%.0f", Median(v.cpu_ms));
    std::printf("  %-44s %11.1f %24s %24s %9s %9s\n", v.label.c_str(), Median(v.ms),
                &v == &vs[1] ? "1" : Ratio(v, vs[1]).c_str(), &v == &vs[2] ? "1" : Ratio(v, vs[2]).c_str(), calls,
                cpu);
  }
  if (vs[0].calls >= 0) {
    std::printf("  calls, product: %s\n", vs[0].call_breakdown.c_str());
    std::printf("  calls, floor:   %s\n", vs[1].call_breakdown.c_str());
    std::printf("  floor cost per registry call: %.1f us\n", Median(vs[1].ms) * 1000.0 / vs[1].calls);
  }
}

struct DataSet {
  const char* name;
  Layout layout;
  std::string rg, reg, script_path;  // files in DIR
  std::string rg_bytes, script;
};

DataSet Prepare(const char* name, int toolbars, const Options& o) {
  DataSet d{name, MakeLayout(toolbars), o.dir + "\\" + name + ".rg", o.dir + "\\" + name + ".reg",
            o.dir + "\\" + name + ".script", "", ""};
  Seed(d.layout);
  // The layout file is the product's own capture of the seeded key.
  if (!ProductCapture(d.rg)) Die(std::string("capture of the ") + name + " layout failed");
  if (!ReadBytes(d.rg, d.rg_bytes)) Die("cannot read " + d.rg);
  if (d.rg_bytes.size() != LayoutFileBytes(d.layout)) {
    Die(std::string("the ") + name + " layout file has " + std::to_string(d.rg_bytes.size()) + " bytes, the model " +
        std::to_string(LayoutFileBytes(d.layout)));
  }
  LineList lines;
  lines.LoadLines(d.rg);
  d.script = MakeRestoreScript(lines);
  if (!WriteBytes(d.reg, RegFileOf(d.script)) || !WriteBytes(d.script_path, d.script)) Die("cannot write data sets");
  size_t subkeys = d.layout.captured.size();
  std::printf("\n%s layout: %zu subkeys, %zu values (%zu written back), file %zu bytes (capacity %zu)\n", name,
              subkeys, ValueCount(d.layout), WrittenValueCount(d.layout), d.rg_bytes.size(), LineList::kCapacity);
  return d;
}

// After a restore the captured subkeys hold exactly the text and integer
// values of the layout file (values of other types are not written back):
// checked by capturing the key again with the product's code.
void CheckRegistryMatches(const DataSet& d, const Options& o, const char* after) {
  const std::string path = o.dir + "\\check.rg";
  if (!ProductCapture(path)) Die("check capture failed");
  LineList now;
  now.LoadLines(path);
  if (MakeRestoreScript(now) != d.script) Die(std::string("after ") + after + ", the key differs from the layout file");
}

void BenchCapture(DataSet& d, const Options& o, int rounds) {
  const std::string out = o.dir + "\\captured.rg";
  const std::string exported = o.dir + "\\exported.reg";
  std::vector<Variant> vs;
  vs.push_back({"product: CaptureLayout + SaveLines", [&] {
                  if (!ProductCapture(out)) return false;
                  return true;
                }});
  vs.push_back({"floor: the same registry calls", [] { return FloorCapture() >= 0; }});
  vs.push_back({"reg export (a process)", [&] {
                  const ProcessResult r =
                      RunProcess(std::string(kRegExe) + " export HKCU\\" + kJwCadPath + " \"" + exported + "\" /y");
                  return r.started && r.exit_code == 0;
                },
                true});
  // The same without the file, to tell the capture's share from the save's.
  vs.push_back({"  of which: CaptureLayout alone", [] {
                  LineList lines;
                  RegistryStorePtr store = NewWinRegistryStore();
                  return CaptureLayout(*store, lines);
                }});
  RunPaired(vs, rounds, true, [&](const Variant& v) {
    std::string bytes;
    if (&v == &vs[0] && (!ReadBytes(out, bytes) || bytes != d.rg_bytes)) {
      Die("the product's capture wrote other bytes than the layout file");
    }
  });
  PrintRows("Capture", d.name, vs, rounds);
  std::printf("  checked: the product's capture wrote the layout file byte for byte\n");
  const double vs_export = PairedRatio(vs[0], vs[2]);
  std::printf("  goal (4 MB only): capture no slower than reg export: %.2fx%s\n", vs_export,
              vs_export <= 1.0 ? " (met)" : " (MISSED)");
}

void BenchRestore(DataSet& d, const Options& o, int rounds, double goal) {
  std::vector<Variant> vs;
  vs.push_back({"product: LoadLines + ApplyLayout", [&] { return ProductRestore(d.rg); }});
  vs.push_back({"floor: the same registry calls", [&] { return FloorRestore(d.script); }});
  vs.push_back({"reg import of a .reg ([-key] + values)", [&] {
                  const ProcessResult r = RunProcess(std::string(kRegExe) + " import \"" + d.reg + "\"");
                  return r.started && r.exit_code == 0;
                },
                true});
  RunPaired(vs, rounds, true, [&](const Variant& v) { CheckRegistryMatches(d, o, v.label.c_str()); });
  PrintRows("Restore", d.name, vs, rounds);
  std::printf("  checked: after a run of each variant the key holds the layout file's values\n");
  const double vs_floor = PairedRatio(vs[0], vs[1]);
  std::printf("  goal (4 MB only): within %.1fx of the floor: %.2fx%s\n", goal, vs_floor,
              vs_floor <= goal ? " (met)" : " (MISSED)");
}

void BenchProcesses(const DataSet& d, const Options& o, int rounds) {
  const std::string app = o.dir + "\\app";
  const std::string exe = app + "\\panestow.exe";
  if (!CopyFileA(d.rg.c_str(), (app + "\\panestow.rg").c_str(), FALSE)) Die("cannot copy the layout beside " + exe);
  const std::string floorwin = o.dir + "\\bin\\floorwin.exe";
  struct Proc {
    std::string label, command;
    std::vector<double> ms;
  };
  std::vector<Proc> ps = {
      {"panestow.exe S1 (restore, window closes itself)", "\"" + exe + "\" S1", {}},
      {"floor + minimal window, one process", "\"" + floorwin + "\" \"" + d.script_path + "\"", {}},
      {"  of which: minimal window alone", "\"" + floorwin + "\"", {}},
      {"  of which: floor alone (no window)", "\"" + floorwin + "\" -nowindow \"" + d.script_path + "\"", {}},
      {"product's restore code + minimal window", "\"" + floorwin + "\" -product \"" + d.rg + "\"", {}},
  };
  for (Proc& p : ps) {  // warm-up, and a check of what each restoring program did
    const ProcessResult r = RunProcess(p.command, app);
    if (!r.started || r.exit_code != 0) Die("cannot run " + p.command);
    if (&p != &ps[2]) CheckRegistryMatches(d, o, p.label.c_str());
  }
  for (int r = 0; r < rounds; ++r) {
    for (size_t k = 0; k < ps.size(); ++k) {
      Proc& p = ps[(static_cast<size_t>(r) + k) % ps.size()];
      const ProcessResult res = RunProcess(p.command, app);
      if (!res.started || res.exit_code != 0) Die("run failed: " + p.command);
      p.ms.push_back(res.ms);
    }
  }
  std::printf("\nWhole processes, %s layout (%d paired rounds, medians, CreateProcess to exit)\n", d.name, rounds);
  std::printf("  %-50s %11s %24s\n", "", "median ms", "vs floor + window");
  std::vector<double> ratios;
  for (size_t i = 0; i < ps[0].ms.size(); ++i) ratios.push_back(ps[0].ms[i] / ps[1].ms[i]);
  for (const Proc& p : ps) {
    std::vector<double> r;
    for (size_t i = 0; i < p.ms.size(); ++i) r.push_back(p.ms[i] / ps[1].ms[i]);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2fx", Median(r));
    std::printf("  %-50s %11.1f %24s\n", p.label.c_str(), Median(p.ms), &p == &ps[1] ? "1" : buf);
  }
  std::vector<double> sums;
  for (size_t i = 0; i < ps[0].ms.size(); ++i) sums.push_back(ps[0].ms[i] / (ps[2].ms[i] + ps[3].ms[i]));
  std::printf("  panestow.exe S1 over the window alone and the floor alone as two processes, summed: %.2fx\n",
              Median(sums));
  const double ratio = Median(ratios);
  std::printf("  goal: panestow.exe S1 within 1.2x of floor + window: %.2fx%s\n", ratio,
              ratio <= 1.2 ? " (met)" : " (MISSED)");
  std::printf("  checked: after a run of each restoring program the key holds the layout file's values\n");
}

void Memory(const DataSet& d, const Options& o) {
  std::printf("\nPeak memory, restore of the %s layout (a fresh process each; MB)\n", d.name);
  std::printf("  %-40s %15s %15s %15s %15s\n", "", "peak WS before", "peak WS after", "added", "C++ heap peak");
  const std::string membench = "\"" + o.dir + "\\bin\\membench.exe\" ";
  for (const std::string& args : {"\"" + d.rg + "\"", "-floor \"" + d.script_path + "\""}) {
    const ProcessResult r = RunProcess(membench + args, "", true);
    if (!r.started || r.exit_code != 0) Die("membench failed: " + args);
  }
  std::printf("  goal: product's peak working set under 24 MB\n");
}

// regbench --compare ROUNDS FOLDER COMMAND...: whole processes in paired
// rounds of rotating order after one warm-up round, started in FOLDER.
int Compare(int argc, char** argv) {
  if (argc < 5) Die("usage: regbench --compare ROUNDS FOLDER COMMAND...");
  const int rounds = std::atoi(argv[2]);
  const std::string folder = argv[3];
  std::vector<std::string> commands(argv + 4, argv + argc);
  std::vector<std::vector<double>> ms(commands.size());
  for (int r = -1; r < rounds; ++r) {
    for (size_t k = 0; k < commands.size(); ++k) {
      const size_t c = (static_cast<size_t>(r + 1) + k) % commands.size();
      const ProcessResult res = RunProcess(commands[c], folder);
      if (!res.started) Die("cannot start " + commands[c]);
      if (r >= 0) ms[c].push_back(res.ms);
    }
  }
  std::printf("%d paired rounds, medians, CreateProcess to exit\n", rounds);
  for (size_t c = 0; c < commands.size(); ++c) {
    std::vector<double> ratios;
    for (int r = 0; r < rounds; ++r) ratios.push_back(ms[c][r] / ms[0][r]);
    std::printf("  %9.1f ms %6.2fx  %s\n", Median(ms[c]), Median(ratios), commands[c].c_str());
  }
  return 0;
}

Options Parse(int argc, char** argv) {
  Options o;
  if (argc < 2) {
    Die("usage: regbench DIR [--rounds N] [--huge-rounds N] [--process-rounds N] [--no-huge] [--no-typical]\n"
        "                [--parts capture,restore,process,memory]");
  }
  o.dir = argv[1];
  for (int i = 2; i < argc; ++i) {
    const std::string a = argv[i];
    auto next = [&] {
      if (i + 1 >= argc) Die("missing number after " + a);
      return std::atoi(argv[++i]);
    };
    if (a == "--rounds") o.rounds = next();
    else if (a == "--huge-rounds") o.huge_rounds = next();
    else if (a == "--process-rounds") o.process_rounds = next();
    else if (a == "--no-huge") o.huge = false;
    else if (a == "--no-typical") o.typical = false;
    else if (a == "--parts" && i + 1 < argc) o.parts = argv[++i];
    else Die("unknown option " + a);
  }
  return o;
}

}  // namespace

int main(int argc, char** argv) {
  setvbuf(stdout, nullptr, _IONBF, 0);
  if (argc > 1 && std::strcmp(argv[1], "--compare") == 0) return Compare(argc, argv);
  const Options o = Parse(argc, argv);

  if (o.typical) {
    DataSet typical = Prepare("typical", kTypicalToolbars, o);
    if (o.Has("capture")) BenchCapture(typical, o, o.rounds);
    if (o.Has("restore")) BenchRestore(typical, o, o.rounds, 1.1);
    if (o.Has("process")) BenchProcesses(typical, o, o.process_rounds);
  }
  if (o.huge) {
    DataSet huge = Prepare("near-capacity", ToolbarsForFileBytes(LineList::kCapacity), o);
    if (o.Has("capture")) BenchCapture(huge, o, o.huge_rounds);
    if (o.Has("restore")) BenchRestore(huge, o, o.huge_rounds, 1.1);
    if (o.Has("memory")) Memory(huge, o);
  }
  // Leave the prefix small: its registry is saved to disk whole.
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Jw_cad");
  return 0;
}
