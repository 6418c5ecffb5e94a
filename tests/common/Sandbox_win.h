// Tests that delete or rewrite Jw_cad's keys, or its classes key, run only
// in a Wine prefix that the test sandbox (tools/wine-sandbox) made and
// marked: never in a user's own prefix, where those keys are the user's
// real Jw_cad settings.
#pragma once

#include <string>

namespace panestow::test {

// The sandbox's mark, a file in the prefix's drive C.
extern const char kSandboxMark[];  // "C:\panestow-test-sandbox"

// True in a prefix the sandbox marked.
bool InTestSandbox();

// Why a test refuses to run elsewhere.
std::string NotInSandboxMessage();

}  // namespace panestow::test
