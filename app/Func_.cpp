#include "app/Func_.h"

namespace panestow {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

int32_t StrToIntOrZero(std::string_view text) {
  size_t i = 0;
  const size_t n = text.size();
  while (i < n && text[i] == ' ') ++i;
  bool negative = false;
  if (i < n && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i == n) return 0;

  bool hex = false;
  if (text[i] == '$' || text[i] == 'x' || text[i] == 'X') {
    hex = true;
    ++i;
  } else if (text[i] == '0' && i + 1 < n && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i == n) return 0;

  if (hex) {
    uint64_t value = 0;
    for (; i < n; ++i) {
      const int d = HexDigit(text[i]);
      if (d < 0) return 0;
      value = value * 16 + static_cast<uint64_t>(d);
      if (value > 0xFFFFFFFFu) return 0;
    }
    // The 32 bits are taken as a signed number; a sign before the prefix
    // negates it, wrapping like the machine does.
    uint32_t bits = static_cast<uint32_t>(value);
    if (negative) bits = 0u - bits;
    return static_cast<int32_t>(bits);
  }

  uint64_t value = 0;
  for (; i < n; ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return 0;
    value = value * 10 + static_cast<uint64_t>(c - '0');
    if (value > 2147483648u) return 0;
  }
  if (negative) return static_cast<int32_t>(0 - value);  // -2147483648 fits
  if (value > 2147483647u) return 0;
  return static_cast<int32_t>(value);
}

std::string SubStr(std::string_view text, int32_t start, int32_t count) {
  if (count <= 0) return std::string();
  // Outside the contract (start < 1) the text is taken from its first byte.
  const int64_t from = start < 1 ? 1 : start;
  if (from > static_cast<int64_t>(text.size())) return std::string();
  const int64_t available = static_cast<int64_t>(text.size()) - (from - 1);
  const int64_t take = count < available ? count : available;
  return std::string(text.substr(static_cast<size_t>(from - 1), static_cast<size_t>(take)));
}

}  // namespace panestow
