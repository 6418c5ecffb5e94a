#include "registry/MemoryRegistryStore.h"
#include "tests/common/RegistryContract.h"

namespace panestow::test {
namespace {

class MemoryFixture : public RegistryFixture {
 public:
  MemoryFixture() { MemoryRegistry::Create(registry_.Root(RegRoot::CurrentUser), Base()); }
  RegistryStorePtr NewStore() override { return std::make_unique<MemoryRegistryStore>(registry_); }
  WideRegistryPtr NewWide() override { return std::make_unique<MemoryWideRegistry>(registry_); }
  std::string Base() override { return "\\Software\\PanestowTest"; }
  std::string ClassesBase() override { return "PanestowTest.Document"; }
  void SetRaw(const std::string& key, const std::string& name, uint32_t type, const std::string& data,
              bool classes_root) override {
    MemoryRegistry::Key* k =
        MemoryRegistry::Create(registry_.Root(classes_root ? RegRoot::ClassesRoot : RegRoot::CurrentUser), key);
    MemoryRegistry::SetValue(k, name, type, data);
  }
  void MakeReadOnly(const std::string& key) override { registry_.Find(key)->writable = false; }

 private:
  MemoryRegistry registry_;
};

INSTANTIATE_TEST_SUITE_P(Memory, RegistryContract,
                         ::testing::Values(FixtureMaker{"Memory", [] { return std::make_unique<MemoryFixture>(); }}),
                         FixtureName);

}  // namespace
}  // namespace panestow::test
