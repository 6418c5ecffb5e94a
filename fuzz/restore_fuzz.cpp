// Any bytes as a layout file: the restore must end, crash on nothing, touch
// nothing outside the subkeys of the Jw_cad key, and cost no more registry
// work than the lines of the file pay for.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "layout/LayoutFile.h"
#include "layout/Restore.h"
#include "registry/MemoryRegistryStore.h"

namespace {

using panestow::MemoryRegistry;

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "restore_fuzz: %s\n", what);
    std::abort();
  }
}

std::string SlotFile() {
  const char* tmp = std::getenv("TMPDIR");
  return std::string(tmp && *tmp ? tmp : "/tmp") + "/restore_fuzz_" + std::to_string(getpid()) + ".rg";
}

void WriteSlotFile(const std::string& path, const uint8_t* data, size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  Check(f != nullptr, "cannot write the slot file");
  Check(std::fwrite(data, 1, size, f) == size && std::fclose(f) == 0, "cannot write the slot file");
}

// Both registry trees, less what lies in the subkeys of the Jw_cad key.
std::string Outside(MemoryRegistry& registry) {
  static const std::string kSubkeys = panestow::JwCadSubkey("");
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
  MemoryRegistry::Key* jw = registry.Create(panestow::JwCadKey());
  MemoryRegistry::SetValue(jw, "Own", panestow::kRegDword, panestow::EncodeDword(1));
  MemoryRegistry::SetValue(jw, "", panestow::kRegSz, std::string("default\0", 8));
  MemoryRegistry::SetValue(registry.Create(panestow::JwCadSubkey("Dialog")), "Left", panestow::kRegDword,
                           panestow::EncodeDword(2));
  MemoryRegistry::SetValue(registry.Create("\\Software\\Other"), "Keep", panestow::kRegDword, panestow::EncodeDword(3));
  MemoryRegistry::SetValue(registry.Create(registry.Root(panestow::RegRoot::ClassesRoot), "Jwwin.Document"), "",
                           panestow::kRegSz, std::string("x\0", 2));
  const std::string before = Outside(registry);
  const long seeded_values = 4;

  // The bytes become a slot file, restored as the product restores one.
  static const std::string path = SlotFile();
  WriteSlotFile(path, data, size);
  panestow::LineList lines;
  registry.operations = 0;
  {
    panestow::MemoryRegistryStore store(registry);
    panestow::MemoryWideRegistry wide(registry);
    panestow::RestoreTarget target{store, wide, panestow::PlatformFiles(), path + ".undo.reg"};
    panestow::RestoreFromFile(path, lines, target);
  }
  Check(Outside(registry) == before, "a key or value outside the Jw_cad key's subkeys changed");
  // Per section: open, list, close; per value line at most one write and,
  // later, one removal of what it wrote.
  Check(registry.operations <= 4 * (lines.Count() + 1) + seeded_values, "more registry work than the file's lines");
  return 0;
}
