// Shift-JIS (code page 932) character rules, for the portable build and as
// the reference the Windows text services are checked against.
#pragma once

#include <cstddef>
#include <string>

namespace panestow {

bool SjisIsLeadByte(unsigned char b);

// Index of the character after the one at `i` in the NUL-terminated `s`,
// as CharNextA steps: a lead byte followed by a non-NUL byte is one
// character; at the terminating NUL the index does not move.
size_t SjisCharNext(const std::string& s, size_t i);

// Upper-cases the ASCII letters a to z in place, leaving every byte of a
// double-byte character as it is.
void SjisUpper(std::string& s);

}  // namespace panestow
