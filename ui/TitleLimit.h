// Keeps a title edit within its byte limit whatever was typed or pasted.
#pragma once

#include <cstddef>
#include <string>

namespace panestow {

struct FittedText {
  std::string text;
  size_t caret = 0;  // byte position after what was kept of the insertion
};

// `after` is the edit's text after a change, `before` the text it held.
// When `after` exceeds `limit` bytes, the inserted stretch (what lies
// between the common start and end of the two) is cut to fit, at a
// character boundary; if even that is not enough, the text is cut.
FittedText FitToLimit(const std::string& before, const std::string& after, size_t limit);

}  // namespace panestow
