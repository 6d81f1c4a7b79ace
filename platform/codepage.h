#pragma once
// Conversions between the program's texts (UTF-8) and UTF-16, and between them and
// code page 936 (GBK), with iconv.
//
// UTF-16 is handled as bytes: two per code unit (UTF-16LE low byte first, UTF-16BE
// high byte first), no byte-order mark and no terminator unless the input holds one.
// Input that is not valid in its encoding (a stray byte, a truncated or overlong
// sequence, an unpaired surrogate) comes out as U+FFFD, one per offending piece, and
// the rest is converted normally.

#include <string>
#include <string_view>

// The UTF-16LE form of the UTF-8 text `utf8`.
std::string utf8_to_utf16le(std::string_view utf8);

// The UTF-8 form of the UTF-16LE bytes `utf16le`; an odd last byte counts as an
// incomplete unit and becomes U+FFFD.
std::string utf16le_to_utf8(std::string_view utf16le);

// The UTF-8 form of the UTF-16BE bytes `utf16be` (the byte order of font name tables),
// with the same replacements as `utf16le_to_utf8`.
std::string utf16be_to_utf8(std::string_view utf16be);

// True when `bytes` is valid UTF-8: no stray or missing continuation byte, no overlong
// form, no surrogate, nothing above U+10FFFF.
bool is_valid_utf8(std::string_view bytes);

// The UTF-8 form of text in code page 936 (GBK). A four-byte sequence of GB18030 (the
// code page's extension, which can write every character) is read as well. A byte
// that reads as neither is kept as it is, never replaced, so that writing the text
// back with `utf8_to_gbk` gives the same bytes.
std::string gbk_to_utf8(std::string_view gbk);

// The code page 936 form of a UTF-8 text. A character the code page lacks is written
// in its GB18030 form; a byte that is no UTF-8 is kept as it is.
std::string utf8_to_gbk(std::string_view utf8);

// The encodings of a settings or command file: UTF-8, or code page 936 for a file
// carried over from the original platform.
enum class FileTextEncoding { utf8, gbk };

struct FileText {
  std::string text;  // UTF-8 (bytes that read as nothing kept as they are)
  FileTextEncoding encoding = FileTextEncoding::utf8;
};

// The text of a file's bytes: the bytes themselves when they are valid UTF-8, else
// read as code page 936.
FileText decode_file_text(std::string_view bytes);

// The bytes of `text` (UTF-8) for a file in `encoding`.
std::string encode_file_text(std::string_view text, FileTextEncoding encoding);
