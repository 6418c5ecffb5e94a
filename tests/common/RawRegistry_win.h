// The registry behind the product's back, for tests under Wine: values of
// any type and data set, keys read back and deleted. Paths start at the
// root key given, with or without a leading backslash. Jw_cad's keys and
// its classes key are changed only in the test sandbox (Sandbox_win.h).
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace panestow::test {

// Sets a value of that type and raw data; missing keys are created. With
// an empty name and no data only the key is made.
void SetRawValue(HKEY root, const std::string& path, const std::string& name, DWORD type, const std::string& data);

// Deletes the key with everything below it; a missing key is no error.
void DeleteRawTree(HKEY root, const std::string& path);

// Gives everybody exactly `access` to the key, through a DACL of one entry.
void SetRawAccess(HKEY root, const std::string& path, DWORD access);

// While it lives, the key may be read but not written, nor opened for all
// access: as a standard user meets a key under HKEY_LOCAL_MACHINE. It may
// still be deleted, so that a test's clean-up goes as usual.
class ReadOnlyKey {
 public:
  ReadOnlyKey(HKEY root, std::string path);
  ~ReadOnlyKey();
  ReadOnlyKey(const ReadOnlyKey&) = delete;
  ReadOnlyKey& operator=(const ReadOnlyKey&) = delete;

 private:
  HKEY root_;
  std::string path_;
};

// Jw_cad's vendor key HKEY_CURRENT_USER\Software\Jw_cad, and its classes
// key HKEY_CLASSES_ROOT\Jwwin.Document with the open command, deleted whole.
void DeleteJwCadKeys();
void DeleteJwCadClassesKey();

// Wine's own reg.exe imports the file; true when it ended with exit code 0.
bool RegImport(const std::string& file);

// A test that starts and ends without Jw_cad's keys; it fails at once
// outside the sandbox.
class JwCadKeysTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};

// The values of one key, name -> shown as `show(type, data)`; a missing key
// gives the single entry "(no key)" -> "".
using ValueShow = std::string (*)(DWORD type, const std::string& data);
std::map<std::string, std::string> ReadRawValues(HKEY root, const std::string& path, ValueShow show);

// The subkeys of one key, in the registry's order; empty for a missing key.
std::vector<std::string> ReadRawSubkeys(HKEY root, const std::string& path);

}  // namespace panestow::test
