#include "app/startcheck.h"

#include "app/paths.h"

namespace panestow {

namespace {

std::u16string Number(unsigned n) {
  const std::string digits = std::to_string(n);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace

std::u16string CodePageErrorText(unsigned code_page) {
  const std::u16string cp = Number(code_page);
  return u"Panestow needs the Japanese code page 932 (Shift-JIS), as Jw_cad does, but this system uses code page " +
         cp +
         u".\r\n\r\n"
         u"On Windows, set the system locale to Japanese (Japan) in the Control Panel: Region, Administrative, "
         u"Change system locale; leave \"Beta: Use Unicode UTF-8 for worldwide language support\" switched off, "
         u"and restart. Under Wine, start Panestow with LC_ALL=ja_JP.UTF-8.\r\n\r\n"
         u"Panestow は Jw_cad と同じく日本語のコードページ 932（シフト JIS）で動作しますが、"
         u"このシステムのコードページは " +
         cp +
         u" です。\r\n\r\n"
         u"Windows では、コントロール パネルの「地域」→「管理」→「システム ロケールの変更」で"
         u"「日本語 (日本)」を選び（「ベータ: ワールドワイド言語サポートで Unicode UTF-8 を使用」はオフのまま）、"
         u"再起動してください。Wine では LC_ALL=ja_JP.UTF-8 を付けて起動してください。";
}

std::u16string FolderErrorText(const std::u16string& folder, FolderProblem problem) {
  const std::u16string limit = Number(static_cast<unsigned>(kMaxAnsiPath - 1));
  std::u16string why, why_ja;
  if (problem == FolderProblem::NotInCodePage) {
    why = u"Its path has characters that the Japanese code page 932 cannot express, and Panestow, like Jw_cad, "
          u"names its files in that code page.";
    why_ja = u"このパスには、日本語のコードページ 932 で表せない文字があります"
             u"（Panestow は Jw_cad と同じく、ファイル名をこのコードページで扱います）。";
  } else {
    why = u"Its path is too long: with the names of Panestow's files, their paths would pass the " + limit +
          u" bytes that Windows allows them in code page 932.";
    why_ja = u"このパスは長すぎます。Panestow のファイル名を付けると、Windows がコードページ 932 のパスに許す " +
             limit + u" バイトを超えます。";
  }
  return u"Panestow cannot keep its files in the folder it was started from:\r\n\r\n" + folder + u"\r\n\r\n" +
         why +
         u" Copy Panestow into a folder with a short path of Japanese or English letters, such as "
         u"C:\\Tools\\Panestow, and start it there.\r\n\r\n"
         u"Panestow は、起動した上記のフォルダに自分のファイルを保存できません。" +
         why_ja +
         u"C:\\Tools\\Panestow のような、日本語と英数字だけの短いパスのフォルダにコピーして、"
         u"そこから起動してください。";
}

}  // namespace panestow
