// Any bytes as a layout file: the restore must end, crash on nothing, touch
// nothing outside the subkeys of the Jw_cad key, and cost no more registry
// work than the lines of the file pay for.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "layout/Restore.h"
#include "registry/MemoryRegistryStore.h"

namespace {

using panestow::MemoryRegistry;

std::string Dword(uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "restore_fuzz: %s\n", what);
    std::abort();
  }
}

// Both registry trees, less what lies in the subkeys of the Jw_cad key.
std::string Outside(MemoryRegistry& registry) {
  static const std::string kSubkeys = "\\Software\\Jw_cad\\jw_win\\";
  const std::string all =
      registry.Dump(panestow::RegRoot::CurrentUser) + "HKCR\n" + registry.Dump(panestow::RegRoot::ClassesRoot);
  std::string out;
  for (size_t start = 0; start < all.size();) {
    const size_t end = all.find('\n', start) + 1;
    if (all.compare(start, kSubkeys.size(), kSubkeys) != 0) out.append(all, start, end - start);
    start = end;
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  MemoryRegistry registry;
  MemoryRegistry::Key* jw = registry.Create("\\Software\\Jw_cad\\jw_win");
  MemoryRegistry::SetValue(jw, "Own", panestow::kRegDword, Dword(1));
  MemoryRegistry::SetValue(jw, "", panestow::kRegSz, std::string("default\0", 8));
  MemoryRegistry::SetValue(registry.Create("\\Software\\Jw_cad\\jw_win\\Dialog"), "Left", panestow::kRegDword,
                           Dword(2));
  MemoryRegistry::SetValue(registry.Create("\\Software\\Other"), "Keep", panestow::kRegDword, Dword(3));
  MemoryRegistry::SetValue(registry.Create(registry.Root(panestow::RegRoot::ClassesRoot), "Jwwin.Document"), "",
                           panestow::kRegSz, std::string("x\0", 2));
  const std::string before = Outside(registry);
  const long seeded_values = 4;

  panestow::LineList lines;
  lines.SetText(std::string(reinterpret_cast<const char*>(data), size));
  registry.operations = 0;
  {
    panestow::MemoryRegistryStore store(registry);
    panestow::ApplyLayout(lines, store);
  }
  Check(Outside(registry) == before, "a key or value outside the Jw_cad key's subkeys changed");
  // Per section: open, list, close; per value line at most one write and,
  // later, one removal of what it wrote.
  Check(registry.operations <= 4 * (lines.Count() + 1) + seeded_values, "more registry work than the file's lines");
  return 0;
}
