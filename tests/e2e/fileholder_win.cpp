// Holds a file open for a while, as a virus scanner, an indexer or a sync
// client does: readers and writers may share it, but it may not be
// deleted or renamed over. Signals the event of the given name once it
// holds the file.
//
//   fileholder FILE MILLISECONDS EVENT
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  HANDLE file = CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  HANDLE event = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[3]);
  if (event) SetEvent(event);
  Sleep(static_cast<DWORD>(std::atoi(argv[2])));
  CloseHandle(file);
  return 0;
}
