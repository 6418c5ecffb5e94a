#include "layout/LineList.h"

#include <cstring>

#include "app/files.h"

namespace panestow {

void LineList::ClearLines() {
  text_.clear();
  spans_.clear();
  bytes_ = 0;
}

void LineList::AppendLine(std::string_view text) {
  const size_t added = text.size() + 2;
  if (added > kCapacity - bytes_) throw Error("line list capacity exceeded");
  Normalize();
  spans_.push_back(Span{text_.size(), text.size()});
  text_.append(text.data(), text.size());
  text_.append("\r\n", 2);
  bytes_ += added;
}

void LineList::SetLine(int32_t index, std::string_view text) {
  if (index < 0 || index >= Count()) return;
  Normalize();
  Span& span = spans_[static_cast<size_t>(index)];
  text_.replace(span.start, span.length, text.data(), text.size());
  const size_t old_length = span.length;
  span.length = text.size();
  for (size_t i = static_cast<size_t>(index) + 1; i < spans_.size(); ++i) {
    spans_[i].start = spans_[i].start + text.size() - old_length;
  }
  bytes_ = bytes_ + text.size() - old_length;
}

std::string_view LineList::LineView(int64_t index) const {
  if (index < 0 || index >= Count()) return std::string_view();
  const Span& span = spans_[static_cast<size_t>(index)];
  std::string_view line(text_.data() + span.start, span.length);
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
  for (Span& span : spans_) {
    span.start = start;
    start += span.length + 2;
  }
  text_ = std::move(text);
}

std::string LineList::Text() const {
  if (InTextForm()) return text_;
  std::string out;
  out.reserve(bytes_);
  for (const Span& span : spans_) {
    out.append(text_, span.start, span.length);
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
  text_ = std::move(text);
  const char* const base = text_.data();
  const size_t n = text_.size();
  // The spans are counted first and reserved once: grown by doubling, those
  // of a full-size file took up to twice their size, and three times while
  // being moved, more than the text itself.
  size_t lines = 0;
  for (size_t start = 0; start < n; ++lines) start = NextLineStart(base, n, LineEnd(base, n, start));
  spans_.reserve(lines);
  for (size_t start = 0; start < n;) {
    const size_t end = LineEnd(base, n, start);
    spans_.push_back(Span{start, end - start});
    bytes_ += end - start + 2;
    start = NextLineStart(base, n, end);
  }
}

}  // namespace panestow
