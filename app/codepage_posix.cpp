#include "app/codepage.h"

#include "app/sjis.h"

namespace panestow {

size_t AnsiCharNext(const std::string& s, size_t i) {
  const size_t next = SjisCharNext(s, i);
  return next > i ? next : i + 1;
}

void UpperAnsi(std::string& s) { SjisUpper(s); }

}  // namespace panestow
