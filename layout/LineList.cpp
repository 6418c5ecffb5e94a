#include "layout/LineList.h"

#include <cstring>
#include <limits>

#include "app/files.h"

namespace panestow {

void LineList::ClearLines() {
  text_.clear();
  starts_.clear();
  bytes_ = 0;
}

void LineList::AppendLine(std::string_view text) {
  const size_t added = text.size() + 2;
  if (added > kCapacity - bytes_) throw Error("line list capacity exceeded");
  Normalize();
  starts_.push_back(static_cast<uint32_t>(text_.size()));
  text_.append(text.data(), text.size());
  text_.append("\r\n", 2);
  bytes_ += added;
}

void LineList::SetLine(int32_t index, std::string_view text) {
  if (index < 0 || index >= Count()) return;
  Normalize();
  const size_t i = static_cast<size_t>(index);
  const size_t start = starts_[i];
  const size_t old_length = EndOf(i) - start;
  text_.replace(start, old_length, text.data(), text.size());
  for (size_t k = i + 1; k < starts_.size(); ++k) {
    starts_[k] = static_cast<uint32_t>(starts_[k] + text.size() - old_length);
  }
  bytes_ = bytes_ + text.size() - old_length;
}

size_t LineList::EndOf(size_t index) const {
  const size_t start = starts_[index];
  size_t end = index + 1 < starts_.size() ? starts_[index + 1] : text_.size();
  // One line end stands before the next line: CR LF, a lone LF or a lone
  // CR (a CR always ends a line, so it is never the line's own last byte).
  if (end > start && text_[end - 1] == '\n') {
    --end;
    if (end > start && text_[end - 1] == '\r') --end;
  } else if (end > start && text_[end - 1] == '\r') {
    --end;
  }
  return end;
}

std::string_view LineList::LineView(int64_t index) const {
  if (index < 0 || index >= Count()) return std::string_view();
  const size_t i = static_cast<size_t>(index);
  std::string_view line(text_.data() + starts_[i], EndOf(i) - starts_[i]);
  const size_t nul = line.find('\0');
  return nul == std::string_view::npos ? line : line.substr(0, nul);
}

// A loaded text is kept as the file had it. Every line end counts two bytes
// in bytes_ and takes one or two in text_, so the sizes agree exactly when
// every line ends in CR LF, which is the form Text() gives.
bool LineList::InTextForm() const { return text_.size() == bytes_; }

void LineList::Normalize() {
  if (InTextForm()) return;
  std::string text = Text();
  size_t start = 0;
  for (size_t i = 0; i < starts_.size(); ++i) {
    const size_t length = EndOf(i) - starts_[i];
    starts_[i] = static_cast<uint32_t>(start);
    start += length + 2;
  }
  text_ = std::move(text);
}

std::string LineList::Text() const {
  if (InTextForm()) return text_;
  std::string out;
  out.reserve(bytes_);
  for (size_t i = 0; i < starts_.size(); ++i) {
    out.append(text_, starts_[i], EndOf(i) - starts_[i]);
    out.append("\r\n", 2);
  }
  return out;
}

void LineList::SaveLines(const std::string& path) const {
  if (!ReplaceFileContents(path, Text())) throw Error("cannot write " + path);
}

void LineList::LoadLines(const std::string& path) {
  std::string text;
  if (!ReadWholeFile(path, text)) {
    ClearLines();
    throw Error("ファイル " + path + " は開けません");
  }
  SetText(std::move(text));
}

namespace {

// The CR or LF that ends the line starting at `start`, or `n`.
size_t LineEnd(const char* s, size_t n, size_t start) {
  while (start < n && s[start] != '\r' && s[start] != '\n') ++start;
  return start;
}

// Where the line after the line end at `end` starts; CR LF ends one line.
size_t NextLineStart(const char* s, size_t n, size_t end) {
  if (end < n && s[end] == '\r' && end + 1 < n && s[end + 1] == '\n') ++end;
  return end + 1;
}

}  // namespace

void LineList::SetText(std::string text) {
  ClearLines();
  // Line starts are kept in 32 bits.
  if (text.size() > std::numeric_limits<uint32_t>::max()) throw Error("layout file too large");
  text_ = std::move(text);
  const char* const base = text_.data();
  const size_t n = text_.size();
  // The starts are counted first and reserved once: grown by doubling, they
  // would take up to twice their size, and three times while being moved.
  size_t lines = 0;
  for (size_t start = 0; start < n; ++lines) start = NextLineStart(base, n, LineEnd(base, n, start));
  starts_.reserve(lines);
  for (size_t start = 0; start < n;) {
    const size_t end = LineEnd(base, n, start);
    starts_.push_back(static_cast<uint32_t>(start));
    bytes_ += end - start + 2;
    start = NextLineStart(base, n, end);
  }
}

}  // namespace panestow
