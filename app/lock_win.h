// The change lock in Win32: a mutex named after the executable's path, in
// the namespace of the user's session.
#pragma once

#include "app/lock.h"

namespace panestow {

// Waits for the lock, at most `timeout_ms`, while the thread's windows go
// on painting (input waits until afterwards); null when another process
// held it all that time.
ChangeLockPtr LockChanges(unsigned timeout_ms = kChangeLockWaitMs);

}  // namespace panestow
