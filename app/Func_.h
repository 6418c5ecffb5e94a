// Text helpers shared by the settings reader, the layout restore and the
// command line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace panestow {

// Whole-text integer parse: optional blanks (0x20 only), one optional sign,
// then decimal digits or a hex part ("$", "x", "X", "0x", "0X" and hex
// digits). Anything else anywhere, or a value out of range, gives 0.
int32_t StrToIntOrZero(std::string_view text);

// Bytes of `text` from the 1-based `start`, `count` long, cut at the end of
// the text. Empty when `start` lies beyond the text or `count` <= 0.
std::string SubStr(std::string_view text, int32_t start, int32_t count);

}  // namespace panestow
