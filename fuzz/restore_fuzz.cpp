// Any bytes as a layout file: the restore must end, crash on nothing, touch
// nothing outside the subkeys of the Jw_cad key, and cost no more registry
// work than the file pays for; a restore that fails leaves the registry as
// it was, and the undo file of one that succeeds gives it back.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "app/files.h"
#include "layout/LayoutFile.h"
#include "layout/Restore.h"
#include "layout/Undo.h"
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
  const std::string whole = registry.DumpByName(panestow::RegRoot::CurrentUser);
  const long seeded_values = 4;

  // The bytes become a slot file, restored as the product restores one.
  static const std::string path = SlotFile();
  WriteSlotFile(path, data, size);
  static const std::string undo = path + ".undo.reg";
  std::remove(undo.c_str());
  panestow::LineList lines;
  registry.operations = 0;
  panestow::MemoryWideRegistry wide(registry);
  bool ok;
  {
    panestow::MemoryRegistryStore store(registry);
    panestow::RestoreTarget target{store, wide, panestow::PlatformFiles(), undo};
    ok = panestow::RestoreFromFile(path, lines, target);
  }
  Check(Outside(registry) == before, "a key or value outside the Jw_cad key's subkeys changed");
  // Per section: the snapshot's open, name, count and its parent's open;
  // an open, a deletion or a listing, and a close; per value line one
  // write and one read or removal; per part of a key path one open of a
  // key above it; and a rollback that puts the seeded values back.
  long parts = 0;
  for (size_t i = 0; i < size; ++i) parts += data[i] == '\\';
  Check(registry.operations <= 8 * (lines.Count() + 1) + 2 * parts + 4 * seeded_values,
        "more registry work than the file pays for");
  if (!ok) {
    Check(registry.DumpByName(panestow::RegRoot::CurrentUser) == whole, "a failed restore was not taken back");
    return 0;
  }
  // No undo file when a subtree could not be read whole.
  if (!panestow::FileExists(undo)) return 0;
  Check(panestow::ApplyUndoFile(undo, wide), "the undo file did not apply");
  Check(registry.DumpByName(panestow::RegRoot::CurrentUser) == whole, "the undo file did not give back the registry");
  return 0;
}
