// The registry store's contract against the real registry of the Wine
// prefix, in a scratch key of its own.
#include <windows.h>

#include <aclapi.h>

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
  static void SetAccess(const std::string& key, DWORD mask) {
    HKEY k;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str() + 1, 0, WRITE_DAC, &k), ERROR_SUCCESS);
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
    alignas(8) char acl_buf[256];
    ACL* acl = reinterpret_cast<ACL*>(acl_buf);
    InitializeAcl(acl, sizeof acl_buf, ACL_REVISION);
    AddAccessAllowedAce(acl, ACL_REVISION, mask, everyone);
    SECURITY_DESCRIPTOR sd;
    InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&sd, TRUE, acl, FALSE);
    EXPECT_EQ(RegSetKeySecurity(k, DACL_SECURITY_INFORMATION, &sd), ERROR_SUCCESS);
    FreeSid(everyone);
    RegCloseKey(k);
  }
  static void Unlock(const std::string& key) { SetAccess(key, KEY_ALL_ACCESS); }

  std::string base_, classes_;
  std::vector<std::string> read_only_;
};

INSTANTIATE_TEST_SUITE_P(Win, RegistryContract,
                         ::testing::Values(FixtureMaker{"Advapi32", [] { return std::make_unique<WinFixture>(); }}),
                         FixtureName);

}  // namespace
}  // namespace panestow::test
