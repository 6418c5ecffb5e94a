#include "app/lock_win.h"

#include <windows.h>

#include <string>
#include <vector>

namespace panestow {

namespace {

// Paths differ without regard to case; a mutex name may hold no backslash
// and is at most MAX_PATH long: the path goes into it as a hash.
std::wstring LockName() {
  std::vector<wchar_t> path(MAX_PATH);
  DWORD len = 0;
  for (;;) {
    len = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (len < path.size() || path.size() > 32768) break;
    path.resize(path.size() * 2);
  }
  std::wstring upper(path.data(), len);
  if (!upper.empty()) CharUpperBuffW(&upper[0], static_cast<DWORD>(upper.size()));
  uint64_t h = 1469598103934665603ull;
  for (wchar_t c : upper) h = (h ^ static_cast<uint16_t>(c)) * 1099511628211ull;
  wchar_t name[64];
  wsprintfW(name, L"Local\\Panestow-%08lx%08lx", static_cast<unsigned long>(h >> 32),
            static_cast<unsigned long>(h & 0xFFFFFFFF));
  return name;
}

class MutexLock : public ChangeLock {
 public:
  explicit MutexLock(HANDLE mutex) : mutex_(mutex) {}
  ~MutexLock() override { ReleaseMutex(mutex_); }

 private:
  HANDLE mutex_;
};

// Without a mutex to wait for, the change goes on as it would alone.
class NoLock : public ChangeLock {};

}  // namespace

ChangeLockPtr LockChanges(unsigned timeout_ms) {
  // Made once, and kept open for the process's life.
  static const HANDLE mutex = CreateMutexW(nullptr, FALSE, LockName().c_str());
  if (!mutex) return std::make_unique<NoLock>();
  // Free, it is taken without looking at any message.
  const DWORD now = WaitForSingleObject(mutex, 0);
  if (now == WAIT_OBJECT_0 || now == WAIT_ABANDONED) return std::make_unique<MutexLock>(mutex);
  const ULONGLONG deadline = GetTickCount64() + timeout_ms;
  for (;;) {
    const ULONGLONG now = GetTickCount64();
    const DWORD left = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
    const DWORD r = MsgWaitForMultipleObjects(1, &mutex, FALSE, left, QS_PAINT | QS_SENDMESSAGE);
    // An owner that ended without letting go leaves the lock to the next.
    if (r == WAIT_OBJECT_0 || r == WAIT_ABANDONED_0) return std::make_unique<MutexLock>(mutex);
    if (r != WAIT_OBJECT_0 + 1) break;
    // Painting only; sent messages were handled by the wait itself.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT)) DispatchMessageA(&msg);
  }
  return nullptr;
}

}  // namespace panestow
