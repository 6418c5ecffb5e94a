// The restore's fast path against the walk it stands in for: any starting
// Jw_cad key and any layout file, restored once as the product restores
// (snapshot, undo file, keys without subkeys made anew) and once by the
// walk alone, value by value, over two copies of the same registry. Both
// must succeed or fail together; when they succeed the registries must be
// the same, value order included (subkeys are compared by name, as the
// registry lists them); when they fail the product's must be as it was.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/files.h"
#include "layout/LayoutFile.h"
#include "layout/Restore.h"
#include "layout/Undo.h"
#include "registry/MemoryRegistryStore.h"

namespace {

using panestow::MemoryRegistry;

// What a failed check prints with its reason: the case that broke it.
std::string g_case;

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "fastpath_fuzz: %s\n%s\n", what, g_case.c_str());
    std::abort();
  }
}

// Few names, so that sections, keys and values meet often; in both cases
// and with Shift-JIS among them.
const char* const kKeys[] = {"Dialog", "dialog", "DIALOG", "UserBar", "ToolBar-1", "Nest", "a", "A", "表", "ソ"};
const char* const kNames[] = {"", "Left", "left", "Top", "Caption", "表示", "x", "\x81\x40"};
const uint32_t kTypes[] = {panestow::kRegSz, panestow::kRegDword, panestow::kRegBinary, panestow::kRegExpandSz,
                           panestow::kRegMultiSz, panestow::kRegQword, panestow::kRegNone, 0x77};

template <size_t N>
std::string Pick(FuzzedDataProvider& in, const char* const (&names)[N]) {
  return names[in.ConsumeIntegralInRange<size_t>(0, N - 1)];
}

std::string KeyPath(FuzzedDataProvider& in) {
  std::string path = Pick(in, kKeys);
  for (int depth = in.ConsumeIntegralInRange(0, 6) - 3; depth > 0; --depth) path += "\\" + Pick(in, kKeys);
  return path;
}

struct Op {
  int kind;  // 0 key, 1 value, 2 key that may not be opened for all access
  std::string key, name, data;
  uint32_t type;
};

std::vector<Op> Registry(FuzzedDataProvider& in) {
  std::vector<Op> ops(in.ConsumeIntegralInRange<size_t>(0, 24));
  for (Op& op : ops) {
    op.kind = in.ConsumeIntegralInRange(0, 9) < 7 ? 1 : in.ConsumeIntegralInRange(0, 4) == 0 ? 2 : 0;
    op.key = KeyPath(in);
    op.name = Pick(in, kNames);
    op.type = kTypes[in.ConsumeIntegralInRange<size_t>(0, 7)];
    op.data = in.ConsumeBytesAsString(in.ConsumeIntegralInRange<size_t>(0, 6));
  }
  return ops;
}

void Build(MemoryRegistry& r, const std::vector<Op>& ops) {
  MemoryRegistry::SetValue(r.Create(panestow::JwCadKey()), "Own", panestow::kRegDword, panestow::EncodeDword(1));
  for (const Op& op : ops) {
    MemoryRegistry::Key* key = r.Create(panestow::JwCadSubkey(op.key));
    if (!key) continue;
    if (op.kind == 1) MemoryRegistry::SetValue(key, op.name, op.type, op.data);
    if (op.kind == 2) key->writable = false;
  }
}

std::string Layout(FuzzedDataProvider& in) {
  if (in.ConsumeIntegralInRange(0, 7) == 0) return in.ConsumeRemainingBytesAsString();
  const size_t sections = in.ConsumeIntegralInRange<size_t>(0, 8);
  std::string text = std::to_string(in.ConsumeIntegralInRange(0, 9) == 0 ? sections + 1 : sections) + "\r\n";
  for (size_t s = 0; s < sections; ++s) {
    text += "[" + KeyPath(in) + "]\r\n";
    const size_t values = in.ConsumeIntegralInRange<size_t>(0, 5);
    text += std::to_string(values) + "\r\n";
    for (size_t v = 0; v < values; ++v) {
      std::string data;
      switch (in.ConsumeIntegralInRange(0, 4)) {
        case 0: data = std::to_string(in.ConsumeIntegral<int32_t>()); break;
        case 1: data = "\"" + in.ConsumeRandomLengthString(6) + "\""; break;
        case 2: data = "\x81\x40"; break;
        case 3: data = in.ConsumeRandomLengthString(4); break;
        default: data = "\"" + Pick(in, kNames) + "\""; break;
      }
      text += Pick(in, kNames) + "\t" + data + "\r\n";
    }
  }
  return text;
}

std::string State(MemoryRegistry& r) { return r.DumpByName(panestow::RegRoot::CurrentUser); }

std::string TempPath(const char* what) {
  const char* tmp = std::getenv("TMPDIR");
  return std::string(tmp && *tmp ? tmp : "/tmp") + "/fastpath_fuzz_" + std::to_string(getpid()) + what;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const std::vector<Op> ops = Registry(in);
  const std::string layout = Layout(in);

  MemoryRegistry product, walk;
  Build(product, ops);
  Build(walk, ops);
  const std::string before = State(product);
  g_case = "layout:\n" + layout + "\nregistry before:\n" + before;

  static const std::string slot = TempPath(".rg");
  static const std::string undo = TempPath(".undo.reg");
  std::FILE* f = std::fopen(slot.c_str(), "wb");
  Check(f && std::fwrite(layout.data(), 1, layout.size(), f) == layout.size() && std::fclose(f) == 0,
        "cannot write the layout file");
  std::remove(undo.c_str());

  panestow::MemoryWideRegistry wide(product);
  bool product_ok;
  {
    panestow::MemoryRegistryStore store(product);
    panestow::RestoreTarget target{store, wide, panestow::PlatformFiles(), undo};
    panestow::LineList lines;
    product_ok = panestow::RestoreFromFile(slot, lines, target);
  }
  bool walk_ok;
  {
    panestow::LineList lines;
    lines.SetText(layout);
    panestow::MemoryRegistryStore store(walk);
    walk_ok = panestow::ApplyLayout(lines, store);
  }
  g_case += "\nproduct (" + std::to_string(product_ok) + "):\n" + State(product) + "\nwalk (" +
            std::to_string(walk_ok) + "):\n" + State(walk);
  Check(product_ok == walk_ok, "the product and the walk disagree on success");
  if (!product_ok) {
    Check(State(product) == before, "a failed restore was not taken back");
    return 0;
  }
  Check(State(product) == State(walk), "the fast path left another registry than the walk");
  // No undo file when a subtree could not be read whole.
  if (!panestow::FileExists(undo)) return 0;
  Check(panestow::ApplyUndoFile(undo, wide), "the undo file did not apply");
  Check(State(product) == before, "the undo file did not give back the registry");
  return 0;
}
