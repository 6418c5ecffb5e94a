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
#include "bench/Report_win.h"
#include "bench/Runner_win.h"
#include "layout/Capture.h"
#include "layout/LayoutFile.h"
#include "layout/LineList.h"
#include "layout/Restore.h"
#include "app/History.h"
#include "app/lock_win.h"
#include "app/paths.h"
#include "registry/RegistryStore_win.h"
#include "registry/WideRegistry_win.h"
#include "tests/common/Sandbox_win.h"

using namespace panestow;
using namespace panestow::bench;

namespace {

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

void SetRaw(HKEY key, const ModelValue& v) {
  if (RegSetValueExA(key, v.name.c_str(), 0, v.type, reinterpret_cast<const BYTE*>(v.data.data()),
                     static_cast<DWORD>(v.data.size())) != ERROR_SUCCESS) {
    Die("cannot seed value " + v.name);
  }
}

// Replaces the Jw_cad key with the model's subkeys and values.
void Seed(const Layout& layout) {
  RegDeleteTreeA(HKEY_CURRENT_USER, kJwCadKeyPath);
  HKEY jw;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kJwCadKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &jw, nullptr) !=
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

// What a change keeps besides itself, as the windows run it: the change
// lock and the history, or neither (a change as it was before the
// history).
enum class Keep { Nothing, LockAndHistory };

// The product's capture, as the save window runs it: the file it replaces
// goes into the history.
bool ProductCapture(const std::string& path, Keep keep = Keep::Nothing) {
  ChangeLockPtr lock = keep == Keep::LockAndHistory ? LockChanges() : nullptr;
  History history(PlatformFiles(), ReplaceExtension(path, ".history"));
  LineList lines;
  RegistryStorePtr store = NewWinRegistryStore();
  return CaptureToFile(*store, lines, path, PlatformFiles(), keep == Keep::LockAndHistory ? &history : nullptr, 1);
}

// The product's restore, as the main window runs it; without the undo
// file, or without the lock and the history, to tell their shares.
bool ProductRestore(const std::string& path, bool undo_file = true, Keep keep = Keep::LockAndHistory) {
  ChangeLockPtr lock = keep == Keep::LockAndHistory ? LockChanges() : nullptr;
  History history(PlatformFiles(), ReplaceExtension(path, ".history"));
  LineList lines;
  RegistryStorePtr store = NewWinRegistryStore();
  WideRegistryPtr wide = NewWinWideRegistry();
  RestoreTarget target{*store, *wide, PlatformFiles(), undo_file ? ReplaceExtension(path, ".undo.reg") : ""};
  if (keep == Keep::LockAndHistory) {
    target.history = &history;
    target.slot = 1;
  }
  return RestoreFromFile(path, lines, target);
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
  vs.push_back({"product: CaptureToFile, lock and history", [&] { return ProductCapture(out, Keep::LockAndHistory); }});
  vs.push_back({"floor: the same registry calls", [] { return FloorCapture() >= 0; }});
  vs.push_back({"reg export (a process)", [&] {
                  const ProcessResult r =
                      RunProcess(std::string(kRegExe) + " export HKCU\\" + kJwCadKeyPath + " \"" + exported + "\" /y");
                  return r.started && r.exit_code == 0;
                },
                true});
  // The same without the file, to tell the capture's share from the save's.
  vs.push_back({"  of which: CaptureLayout alone", [] {
                  LineList lines;
                  RegistryStorePtr store = NewWinRegistryStore();
                  return CaptureLayout(*store, lines);
                }});
  vs.push_back({"  product before the history: no lock, no history", [&] { return ProductCapture(out); }});
  RunPaired(vs, rounds, true, [&](const Variant& v) {
    std::string bytes;
    if ((&v == &vs[0] || &v == &vs[4]) && (!ReadBytes(out, bytes) || bytes != d.rg_bytes)) {
      Die("the product's capture wrote other bytes than the layout file");
    }
  });
  PrintRows("Capture", d.name, vs, rounds);
  std::printf("  checked: the product's capture wrote the layout file byte for byte\n");
  const double vs_export = PairedRatio(vs[0], vs[2]);
  PrintGoal(" (4 MB only): capture no slower than reg export", vs_export, 1.0);
  PrintGoal(" (typical only): the history costs a save at most 1.03x", PairedRatio(vs[0], vs[4]), 1.03);
}

// The product's restore is a safe one: it reads the keys it touches and
// writes them to its undo file before it writes, and it makes keys without
// subkeys anew. It is timed against the floor of the walk alone (its three
// calls per value, today's restore without any safety net) and against a
// safe restore done with reg.exe: the Jw_cad key exported, then the .reg
// imported.
void BenchRestore(DataSet& d, const Options& o, int rounds) {
  const std::string backup = o.dir + "\\backup.reg";
  const std::string undo = ReplaceExtension(d.rg, ".undo.reg");
  std::vector<Variant> vs;
  vs.push_back({"product: RestoreFromFile, lock, snapshot, history, undo file", [&] { return ProductRestore(d.rg); }});
  vs.push_back({"floor: the walk's calls, no safety net", [&] { return FloorRestore(d.script); }});
  vs.push_back({"reg export + reg import (a safe restore)", [&] {
                  const ProcessResult e = RunProcess(std::string(kRegExe) + " export HKCU\\" + kJwCadKeyPath + " \"" +
                                                     backup + "\" /y");
                  if (!e.started || e.exit_code != 0) return false;
                  const ProcessResult r = RunProcess(std::string(kRegExe) + " import \"" + d.reg + "\"");
                  return r.started && r.exit_code == 0;
                },
                true});
  vs.push_back({"  product without its undo file", [&] { return ProductRestore(d.rg, false); }});
  vs.push_back({"  product before the history: no lock, no history", [&] {
                  return ProductRestore(d.rg, true, Keep::Nothing);
                }});
  vs.push_back({"  reg import alone ([-key] + values)", [&] {
                  const ProcessResult r = RunProcess(std::string(kRegExe) + " import \"" + d.reg + "\"");
                  return r.started && r.exit_code == 0;
                },
                true});
  RunPaired(vs, rounds, true, [&](const Variant& v) {
    CheckRegistryMatches(d, o, v.label.c_str());
    std::string bytes;
    if (&v == &vs[0] && (!ReadBytes(undo, bytes) || bytes.size() < 100)) Die("the product wrote no undo file");
  });
  PrintRows("Restore", d.name, vs, rounds);
  std::string bytes;
  ReadBytes(undo, bytes);
  std::printf("  checked: after a run of each variant the key holds the layout file's values; undo file %zu bytes\n",
              bytes.size());
  PrintGoal(" (4 MB only): within 0.8x of the floor", PairedRatio(vs[0], vs[1]), 0.8);
  PrintGoal(" (4 MB only): no slower than reg export + reg import", PairedRatio(vs[0], vs[2]), 1.0);
  PrintGoal(": the history costs a restore at most 1.03x (typical), 1.05x (4 MB)", PairedRatio(vs[0], vs[4]),
            std::string(d.name) == "typical" ? 1.03 : 1.05);
}

// panestow.exe S1 against the same of another build (tools/bench
// --baseline REV), whole processes in paired rounds.
void BenchBaseline(const DataSet& d, const Options& o, int rounds) {
  const std::string baseline = o.dir + "\\baseline\\panestow.exe";
  if (GetFileAttributesA(baseline.c_str()) == INVALID_FILE_ATTRIBUTES) return;
  const std::string exe = o.dir + "\\app\\panestow.exe";
  if (!CopyFileA(d.rg.c_str(), (o.dir + "\\app\\panestow.rg").c_str(), FALSE) ||
      !CopyFileA(d.rg.c_str(), (o.dir + "\\baseline\\panestow.rg").c_str(), FALSE)) {
    Die("cannot copy the layout");
  }
  std::vector<ProcessVariant> ps = {{"panestow.exe S1", "\"" + exe + "\" S1", {}},
                                    {"baseline panestow.exe S1", "\"" + baseline + "\" S1", {}}};
  RunProcessRounds(ps, rounds, o.dir + "\\app", [&](const ProcessVariant& p) {
    CheckRegistryMatches(d, o, p.label.c_str());
  });
  PrintProcessRows(d.name, ps, rounds);
  PrintGoal(": panestow.exe S1 within 1.05x of the baseline (4 MB)", PairedRatio(ps[0].ms, ps[1].ms), 1.05);
}

void BenchProcesses(const DataSet& d, const Options& o, int rounds) {
  const std::string app = o.dir + "\\app";
  const std::string exe = app + "\\panestow.exe";
  if (!CopyFileA(d.rg.c_str(), (app + "\\panestow.rg").c_str(), FALSE)) Die("cannot copy the layout beside " + exe);
  const std::string floorwin = o.dir + "\\bin\\floorwin.exe";
  std::vector<ProcessVariant> ps = {
      {"panestow.exe S1 (restore, window closes itself)", "\"" + exe + "\" S1", {}},
      {"floor + minimal window, one process", "\"" + floorwin + "\" \"" + d.script_path + "\"", {}},
      {"  of which: minimal window alone", "\"" + floorwin + "\"", {}},
      {"  of which: floor alone (no window)", "\"" + floorwin + "\" -nowindow \"" + d.script_path + "\"", {}},
      {"product's restore code + minimal window", "\"" + floorwin + "\" -product \"" + d.rg + "\"", {}},
  };
  // Another build to compare with, when tools/bench was given one
  // (--baseline REV): in a folder of its own with the same layout file.
  const std::string baseline = o.dir + "\\baseline\\panestow.exe";
  const bool with_baseline = GetFileAttributesA(baseline.c_str()) != INVALID_FILE_ATTRIBUTES;
  if (with_baseline) {
    if (!CopyFileA(d.rg.c_str(), (o.dir + "\\baseline\\panestow.rg").c_str(), FALSE)) Die("cannot copy the layout");
    ps.push_back({"baseline panestow.exe S1 (tools/bench --baseline)", "\"" + baseline + "\" S1", {}});
  }
  // The warm-up round checks what each restoring program did.
  RunProcessRounds(ps, rounds, app, [&](const ProcessVariant& p) {
    if (&p != &ps[2]) CheckRegistryMatches(d, o, p.label.c_str());
  });
  PrintProcessRows(d.name, ps, rounds);
  std::vector<double> sums;
  for (size_t i = 0; i < ps[0].ms.size(); ++i) sums.push_back(ps[0].ms[i] / (ps[2].ms[i] + ps[3].ms[i]));
  std::printf("  panestow.exe S1 over the window alone and the floor alone as two processes, summed: %.2fx\n",
              Median(sums));
  PrintGoal(": panestow.exe S1 within 1.2x of floor + window", PairedRatio(ps[0].ms, ps[1].ms), 1.2);
  if (with_baseline) PrintGoal(": panestow.exe S1 within 1.03x of the baseline", PairedRatio(ps[0].ms, ps[5].ms), 1.03);
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
  std::vector<ProcessVariant> ps;
  for (int i = 4; i < argc; ++i) ps.push_back({argv[i], argv[i], {}});
  RunProcessRounds(ps, rounds, folder, nullptr, false);
  std::printf("%d paired rounds, medians, CreateProcess to exit\n", rounds);
  for (const ProcessVariant& p : ps) {
    std::printf("  %9.1f ms %6.2fx  %s\n", Median(p.ms), PairedRatio(p.ms, ps[0].ms), p.command.c_str());
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
  // The data sets replace Jw_cad's keys.
  if (!test::InTestSandbox()) Die(test::NotInSandboxMessage());

  if (o.typical) {
    DataSet typical = Prepare("typical", kTypicalToolbars, o);
    if (o.Has("capture")) BenchCapture(typical, o, o.rounds);
    if (o.Has("restore")) BenchRestore(typical, o, o.rounds);
    if (o.Has("process")) BenchProcesses(typical, o, o.process_rounds);
  }
  if (o.huge) {
    DataSet huge = Prepare("near-capacity", ToolbarsForFileBytes(LineList::kCapacity), o);
    if (o.Has("capture")) BenchCapture(huge, o, o.huge_rounds);
    if (o.Has("restore")) BenchRestore(huge, o, o.huge_rounds);
    if (o.Has("process")) BenchBaseline(huge, o, o.huge_rounds);
    if (o.Has("memory")) Memory(huge, o);
  }
  // Leave the prefix small: its registry is saved to disk whole.
  RegDeleteTreeA(HKEY_CURRENT_USER, kJwCadKeyPath);
  return 0;
}
