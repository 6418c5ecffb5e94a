#include "app/codepage.h"

#include <windows.h>

namespace panestow {

size_t AnsiCharNext(const std::string& s, size_t i) {
  if (i >= s.size()) return i + 1;
  const char* base = s.c_str();
  const size_t next = static_cast<size_t>(CharNextA(base + i) - base);
  return next > i ? next : i + 1;
}

void UpperAnsi(std::string& s) {
  if (!s.empty()) CharUpperBuffA(&s[0], static_cast<DWORD>(s.size()));
}

}  // namespace panestow
