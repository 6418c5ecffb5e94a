#include "ui/TitleLimit.h"

#include "app/codepage.h"

namespace panestow {

namespace {

// The longest whole-character prefix of `s` of at most `limit` bytes.
size_t FitChars(const std::string& s, size_t from, size_t limit) {
  size_t end = from;
  for (size_t i = from; i < s.size();) {
    const size_t next = AnsiCharNext(s, i);
    if (next - from > limit) break;
    end = next;
    i = next;
  }
  return end;
}

}  // namespace

FittedText FitToLimit(const std::string& before, const std::string& after, size_t limit) {
  if (after.size() <= limit) return FittedText{after, after.size()};

  // Common start, by whole characters.
  size_t prefix = 0;
  while (prefix < after.size() && prefix < before.size()) {
    const size_t next = AnsiCharNext(after, prefix);
    if (next > before.size() || after.compare(prefix, next - prefix, before, prefix, next - prefix) != 0) break;
    if (AnsiCharNext(before, prefix) != next) break;
    prefix = next;
  }
  // Common end, by bytes, never reaching into the common start.
  size_t suffix = 0;
  while (suffix < after.size() - prefix && suffix < before.size() - prefix &&
         after[after.size() - 1 - suffix] == before[before.size() - 1 - suffix]) {
    ++suffix;
  }
  const size_t kept_around = prefix + suffix;
  if (kept_around <= limit && before.size() <= limit) {
    // The suffix may start inside a character of the insertion; move it to
    // a boundary of `after` counted from the start of the insertion.
    const size_t insert_end = after.size() - suffix;
    size_t boundary = prefix;
    while (boundary < insert_end) boundary = AnsiCharNext(after, boundary);
    const size_t suffix_start = boundary;
    const size_t room = limit - prefix - (after.size() - suffix_start);
    const size_t cut = FitChars(after.substr(0, suffix_start), prefix, room);
    return FittedText{after.substr(0, cut) + after.substr(suffix_start), cut};
  }
  const size_t cut = FitChars(after, 0, limit);
  return FittedText{after.substr(0, cut), cut};
}

}  // namespace panestow
