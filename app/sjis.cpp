#include "app/sjis.h"

namespace panestow {

bool SjisIsLeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

size_t SjisCharNext(const std::string& s, size_t i) {
  if (i >= s.size() || s[i] == '\0') return i;
  if (SjisIsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() && s[i + 1] != '\0') {
    return i + 2;
  }
  return i + 1;
}

void SjisUpper(std::string& s) {
  for (size_t i = 0; i < s.size();) {
    const unsigned char b = static_cast<unsigned char>(s[i]);
    if (SjisIsLeadByte(b) && i + 1 < s.size()) {
      i += 2;
      continue;
    }
    if (b >= 'a' && b <= 'z') s[i] = static_cast<char>(b - 'a' + 'A');
    ++i;
  }
}

}  // namespace panestow
