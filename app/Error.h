#pragma once

#include <stdexcept>

namespace panestow {

// A failure raised by a lower layer (registry, line list, files). Its text
// is ANSI text; where no guard catches it, it reaches the user's error box.
class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace panestow
