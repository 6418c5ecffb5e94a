// What Panestow checks before it touches any file or key: it names its
// files and speaks to Jw_cad's keys in the ANSI code page, so it runs only
// where that is Japanese Windows' code page 932 and the executable's path
// goes into it whole. Otherwise one box says why, in Unicode, and the
// program ends.
#pragma once

#include <string>

namespace panestow {

// Shift-JIS, the code page of Japanese Windows, in which Jw_cad runs too.
constexpr unsigned kJapaneseCodePage = 932;

// The box's text, English and Japanese, when the ANSI code page is
// `code_page`.
std::u16string CodePageErrorText(unsigned code_page);

enum class FolderProblem {
  NotInCodePage,  // the path has characters code page 932 cannot express
  TooLong,        // the files' paths would not fit the ANSI file functions
};

// The box's text, English and Japanese, naming the executable's folder.
std::u16string FolderErrorText(const std::u16string& folder, FolderProblem problem);

}  // namespace panestow
