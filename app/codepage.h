// Text services of the ANSI code page. Windows answers through
// CharNextA/CharUpperBuffA; the portable build applies the Shift-JIS rules.
#pragma once

#include <cstddef>
#include <string>

namespace panestow {

// Index of the next character after index `i`. Never stays put before the
// end of `s`, so a caller can walk text that holds NUL bytes.
size_t AnsiCharNext(const std::string& s, size_t i);

// Upper-cases `s` in place, character by character.
void UpperAnsi(std::string& s);

// 1-based position of the first `c` that starts a character, 0 if none.
size_t AnsiPos(const std::string& s, char c);

}  // namespace panestow
