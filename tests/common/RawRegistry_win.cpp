#include "tests/common/RawRegistry_win.h"

#include <gtest/gtest.h>

#include "layout/LayoutFile.h"
#include "tests/common/Sandbox_win.h"

namespace panestow::test {

namespace {

const char* FromRoot(const std::string& path) { return path.c_str() + (!path.empty() && path[0] == '\\' ? 1 : 0); }

bool StartsWith(const char* path, const char* prefix) {
  const size_t n = lstrlenA(prefix);
  return static_cast<size_t>(lstrlenA(path)) >= n && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, path,
                                                                    static_cast<int>(n), prefix,
                                                                    static_cast<int>(n)) == CSTR_EQUAL;
}

// The first `count` parts of a registry path.
std::string Leading(const char* path, int count) {
  std::string out;
  for (const char* p = path; *p; ++p) {
    if (*p == '\\' && --count == 0) break;
    out += *p;
  }
  return out;
}

const std::string& VendorKey() {
  static const std::string key = Leading(kJwCadKeyPath, 2);  // Software\Jw_cad
  return key;
}

const std::string& ClassesKey() {
  static const std::string key = Leading(kOpenCommandKeyPath, 1);  // Jwwin.Document
  return key;
}

// Jw_cad's keys and its classes key belong to the user outside the sandbox.
bool MayChange(HKEY root, const char* path) {
  const bool users = (root == HKEY_CURRENT_USER && StartsWith(path, VendorKey().c_str())) ||
                     (root == HKEY_CLASSES_ROOT && StartsWith(path, ClassesKey().c_str()));
  if (users && !InTestSandbox()) {
    ADD_FAILURE() << NotInSandboxMessage();
    return false;
  }
  return true;
}

}  // namespace

void SetRawValue(HKEY root, const std::string& path, const std::string& name, DWORD type, const std::string& data) {
  if (!MayChange(root, FromRoot(path))) return;
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(root, FromRoot(path), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS)
      << path;
  if (!name.empty() || !data.empty()) {
    EXPECT_EQ(RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size())),
              ERROR_SUCCESS)
        << path << "\\" << name;
  }
  RegCloseKey(key);
}

void DeleteRawTree(HKEY root, const std::string& path) {
  if (!MayChange(root, FromRoot(path))) return;
  RegDeleteTreeA(root, FromRoot(path));
  RegDeleteKeyA(root, FromRoot(path));
}

void SetRawAccess(HKEY root, const std::string& path, DWORD access) {
  if (!MayChange(root, FromRoot(path))) return;
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(root, FromRoot(path), 0, WRITE_DAC, &key), ERROR_SUCCESS) << path;
  SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
  PSID everyone = nullptr;
  AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
  alignas(8) char acl_buf[256];
  ACL* acl = reinterpret_cast<ACL*>(acl_buf);
  InitializeAcl(acl, sizeof acl_buf, ACL_REVISION);
  AddAccessAllowedAce(acl, ACL_REVISION, access, everyone);
  SECURITY_DESCRIPTOR sd;
  InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
  SetSecurityDescriptorDacl(&sd, TRUE, acl, FALSE);
  EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &sd), ERROR_SUCCESS) << path;
  FreeSid(everyone);
  RegCloseKey(key);
}

// Reading, and the rights to give the key its DACL back and to delete it.
ReadOnlyKey::ReadOnlyKey(HKEY root, std::string path) : root_(root), path_(std::move(path)) {
  SetRawAccess(root_, path_, KEY_READ | WRITE_DAC | DELETE);
}

ReadOnlyKey::~ReadOnlyKey() { SetRawAccess(root_, path_, KEY_ALL_ACCESS); }

void DeleteJwCadKeys() { DeleteRawTree(HKEY_CURRENT_USER, VendorKey()); }

void DeleteJwCadClassesKey() { DeleteRawTree(HKEY_CLASSES_ROOT, ClassesKey()); }

std::map<std::string, std::string> ReadRawValues(HKEY root, const std::string& path, ValueShow show) {
  std::map<std::string, std::string> values;
  HKEY key;
  if (RegOpenKeyExA(root, FromRoot(path), 0, KEY_READ, &key) != ERROR_SUCCESS) return {{"(no key)", ""}};
  std::string name(16384 + 2, '\0');
  std::string data(1 << 20, '\0');
  for (DWORD i = 0;; ++i) {
    DWORD name_len = static_cast<DWORD>(name.size());
    DWORD data_len = static_cast<DWORD>(data.size());
    DWORD type = 0;
    if (RegEnumValueA(key, i, &name[0], &name_len, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &data_len) !=
        ERROR_SUCCESS) {
      break;
    }
    values[name.substr(0, name_len)] = show(type, data.substr(0, data_len));
  }
  RegCloseKey(key);
  return values;
}

std::vector<std::string> ReadRawSubkeys(HKEY root, const std::string& path) {
  std::vector<std::string> subkeys;
  HKEY key;
  if (RegOpenKeyExA(root, FromRoot(path), 0, KEY_READ, &key) != ERROR_SUCCESS) return subkeys;
  char name[1024];
  for (DWORD i = 0;; ++i) {
    DWORD len = sizeof name;
    if (RegEnumKeyExA(key, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    subkeys.emplace_back(name, len);
  }
  RegCloseKey(key);
  return subkeys;
}

void JwCadKeysTest::SetUp() {
  if (!InTestSandbox()) GTEST_FAIL() << NotInSandboxMessage();
  DeleteJwCadKeys();
}

void JwCadKeysTest::TearDown() {
  if (InTestSandbox()) DeleteJwCadKeys();
}

bool RegImport(const std::string& file) {
  std::string line = "C:\\windows\\system32\\reg.exe import \"" + file + "\"";
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi;
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi)) {
    return false;
  }
  WaitForSingleObject(pi.hProcess, 30000);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return code == 0;
}

}  // namespace panestow::test
