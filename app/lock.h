// One change at a time: each save, restore, undo and put-back holds the
// lock of its executable from its first read to its last write, so that
// two Panestow processes never interleave their changes.
#pragma once

#include <memory>

namespace panestow {

// Held while it lives.
class ChangeLock {
 public:
  virtual ~ChangeLock() = default;
};
using ChangeLockPtr = std::unique_ptr<ChangeLock>;

// How long a change waits for another process's, at most.
constexpr unsigned kChangeLockWaitMs = 60000;

}  // namespace panestow
