// The registry store's contract against the real registry of the Wine
// prefix, in a scratch key of its own.
#include <windows.h>

#include "registry/RegistryStore_win.h"
#include "registry/WideRegistry_win.h"
#include "tests/common/RawRegistry_win.h"
#include "tests/common/RegistryContract.h"

namespace panestow::test {
namespace {

class WinFixture : public RegistryFixture {
 public:
  WinFixture() {
    static int counter = 0;
    const std::string tag = std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter);
    base_ = "\\Software\\PanestowTest\\" + tag;
    classes_ = "PanestowTest." + tag;
    HKEY key;
    RegCreateKeyExA(HKEY_CURRENT_USER, base_.c_str() + 1, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegCloseKey(key);
  }
  ~WinFixture() override {
    for (const std::string& key : read_only_) Unlock(key);
    DeleteRawTree(HKEY_CURRENT_USER, base_);
    DeleteRawTree(HKEY_CLASSES_ROOT, classes_);
  }
  RegistryStorePtr NewStore() override { return NewWinRegistryStore(); }
  WideRegistryPtr NewWide() override { return NewWinWideRegistry(); }
  std::string Base() override { return base_; }
  std::string ClassesBase() override { return classes_; }
  void SetRaw(const std::string& key, const std::string& name, uint32_t type, const std::string& data,
              bool classes_root) override {
    SetRawValue(classes_root ? HKEY_CLASSES_ROOT : HKEY_CURRENT_USER, key, name, type, data);
  }
  void MakeReadOnly(const std::string& key) override {
    // Everybody may read the key, and change its permissions back, but
    // nobody may open it for all access.
    SetAccess(key, KEY_READ | WRITE_DAC | DELETE);
    read_only_.push_back(key);
  }

 private:
  static void SetAccess(const std::string& key, DWORD mask) { SetRawAccess(HKEY_CURRENT_USER, key, mask); }
  static void Unlock(const std::string& key) { SetAccess(key, KEY_ALL_ACCESS); }

  std::string base_, classes_;
  std::vector<std::string> read_only_;
};

INSTANTIATE_TEST_SUITE_P(Win, RegistryContract,
                         ::testing::Values(FixtureMaker{"Advapi32", [] { return std::make_unique<WinFixture>(); }}),
                         FixtureName);

}  // namespace
}  // namespace panestow::test
