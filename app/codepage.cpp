#include "app/codepage.h"

namespace panestow {

size_t AnsiPos(const std::string& s, char c) {
  for (size_t i = 0; i < s.size(); i = AnsiCharNext(s, i)) {
    if (s[i] == c) return i + 1;
  }
  return 0;
}

}  // namespace panestow
