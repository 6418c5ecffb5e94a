// Registry files (.reg) as regedit writes them, for the undo file: a file
// that `reg import` (on Windows, and Wine's on Linux) or a double-click in
// Explorer applies, and that Panestow reads back.
//
// The file is "Windows Registry Editor Version 5.00", UTF-16LE with a
// byte-order mark, CR LF line ends; keys under HKEY_CURRENT_USER, each
// deletion line "[-...]" and each key block followed by a blank line;
// values as "name"="text", dword:, hex: and hex(N): with the bytes as
// stored, @ for the default value, \ and " escaped in names and texts,
// long hex data continued over lines ending in ",\".
//
// A text is written in quotes only when its bytes are clean UTF-16 text
// ending in one NUL (no other NUL, no line break, no lone surrogate);
// otherwise as hex(1), like the other string types, whose bytes stand as
// stored. Two things no registry editor's import reads back exactly are
// written as Panestow's own lines, which begin with ";*" and so are
// comments to every other reader: a value of a string type whose data has
// an odd number of bytes, and a name or key path holding a line break
// (then named in hex). The file ends with ";*end" and a CRC-32 of
// everything before it; the reader refuses any file without it, so a file
// cut short or changed is refused whole.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "registry/WideRegistry.h"

namespace panestow {

class RegFileWriter {
 public:
  // `sink` takes the file's bytes in pieces, in order; a false from it
  // fails every later call.
  explicit RegFileWriter(std::function<bool(std::string_view)> sink);

  // The header, and `comment` on a comment line of its own ("; comment"),
  // which every reader skips.
  bool Begin(const WideString& comment);
  // "[-HKEY_CURRENT_USER\path]": the key with everything below it goes.
  bool DeleteKey(const WideString& path);
  // "[HKEY_CURRENT_USER\path]" with the values that follow, until EndKey.
  bool BeginKey(const WideString& path);
  bool Value(const WideValue& value);
  bool EndKey();
  // The closing line; everything is handed to the sink.
  bool Finish();

 private:
  void Line(const WideString& text);
  bool Flush();

  std::function<bool(std::string_view)> sink_;
  WideString pending_;
  WideString text_;  // scratch
  uint32_t crc_ = 0;
  bool ok_ = true;
  bool extended_key_ = false;
};

// What a file holds, line by line; a false answer stops the reading.
class RegFileVisitor {
 public:
  virtual ~RegFileVisitor() = default;
  virtual bool DeleteKey(const WideString& path) = 0;
  virtual bool Key(const WideString& path) = 0;
  virtual bool Value(const WideValue& value) = 0;
};

// Reads a file that RegFileWriter wrote, handing each deletion, key and
// value to `visitor` in file order, with paths from the root of
// HKEY_CURRENT_USER. False when the bytes are anything else (no
// byte-order mark or header, a line the writer does not write, a key
// outside HKEY_CURRENT_USER, a value outside a key, no closing line or a
// wrong checksum), or when the visitor stopped. Read once with a visitor
// that only collects, to refuse a damaged file before anything is done.
bool ReadRegFile(std::string_view bytes, RegFileVisitor& visitor);

}  // namespace panestow
