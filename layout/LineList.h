// An ordered list of text lines, from which a layout file is written and
// into which one is loaded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/Error.h"

namespace panestow {

class LineList {
 public:
  // The most bytes the list's text (lines and their CR LF) may hold.
  static constexpr size_t kCapacity = 4096000;

  void ClearLines();

  // Appends `text` and CR LF; throws Error when that would pass kCapacity,
  // leaving the list as it was.
  void AppendLine(std::string_view text);

  // Replaces the text of an existing line and keeps its line end; a line
  // number outside the list does nothing.
  void SetLine(int32_t index, std::string_view text);

  // The line's text without its line end, whole; a line number outside the
  // list gives empty text. A line ends at its first NUL byte, if any.
  std::string_view LineView(int64_t index) const;
  std::string LineAt(int32_t index) const { return std::string(LineView(index)); }

  int64_t Count() const { return static_cast<int64_t>(starts_.size()); }

  // The lines, each followed by CR LF.
  std::string Text() const;

  // Replaces the file at `path` with Text(), whole or not at all
  // (ReplaceFileContents); throws Error when it cannot.
  void SaveLines(const std::string& path) const;

  // Replaces the list with the lines of the file: CR LF, a lone CR and a
  // lone LF each end a line, and text after the last line end is one more
  // line. Throws Error("ファイル %s は開けません") when the file cannot be
  // opened.
  void LoadLines(const std::string& path);

  // The same split over text already in memory.
  void SetText(std::string text);

 private:
  bool InTextForm() const;
  void Normalize();
  // Where line `index` ends, before its line end.
  size_t EndOf(size_t index) const;

  // The text as loaded or built, and where each line starts in it: a line
  // runs to the next one's start (or the text's end) less the line end
  // before that, four bytes a line however large the file.
  std::string text_;
  std::vector<uint32_t> starts_;
  size_t bytes_ = 0;  // lines plus CR LF each, checked against kCapacity
};

}  // namespace panestow
