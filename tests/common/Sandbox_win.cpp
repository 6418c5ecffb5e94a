#include "tests/common/Sandbox_win.h"

#include <windows.h>

namespace panestow::test {

const char kSandboxMark[] = "C:\\panestow-test-sandbox";

bool InTestSandbox() {
  const DWORD attr = GetFileAttributesA(kSandboxMark);
  return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string NotInSandboxMessage() {
  return std::string("refusing to run: this test deletes and rewrites Jw_cad's registry keys, and this is not a "
                     "Wine prefix of the test sandbox (no ") +
         kSandboxMark + "). Run it through tools/wine-sandbox, never in your own prefix.";
}

}  // namespace panestow::test
