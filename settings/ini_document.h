// An INI file held in memory: how its bytes are parsed into sections and
// keys, how names are matched, and how it is written back.
//
// The rules are those of the Windows private-profile functions, so that the
// native build reads and writes the settings file exactly as the Windows
// build does:
// - The text is code page 932. A lead byte and the byte after it (unless that
//   is a NUL) form one character, whatever that byte is; so a second byte of
//   0x0A, "=", "]" or a blank never acts as a line end, separator or blank.
// - A line ends at every CR or LF. Blanks (space, tab, LF, VT, FF, CR and
//   0x1A) around a line are dropped; blank lines are dropped.
// - "[name]" opens a section: the name runs to the last "]" of the line and
//   loses its outer blanks; anything behind that "]" is dropped. A line that
//   starts with "[" but holds no "]" is an ordinary line.
// - Any other line is a key: "name=value" with the blanks around the first
//   "=" dropped, or a bare name without a value (comments included).
// - A name or value ends at its first NUL byte. A lead byte left without a
//   second byte (at the end of the file or before a NUL) stands for "・"
//   (0x81 0x45), the character the platform puts in its place.
// - Lines before the first section header belong to a nameless first
//   section, which is written back without a header; so is a section whose
//   name is empty ("[]").
// - Section and key names match ignoring the case of ASCII letters (bytes of
//   double-byte characters are compared exactly); the first match counts,
//   later sections and keys of the same name are kept but never found.
// - Written back, every line ends in CR LF, a header is "[name]" and a key
//   "name=value", with no blank lines.
//
// A document may instead hold UTF-8 text (TextEncoding::kUtf8). Its bytes
// are then taken one at a time: every byte of a multi-byte UTF-8 character
// is 0x80 or above, so none of them is ever an ASCII blank, "=", "[", "]" or
// line end, and no byte is completed to "・". Names still match ignoring
// the case of ASCII letters only.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace prismet::ini {

enum class TextEncoding { kCp932, kUtf8 };

struct Key {
  std::string name;
  std::optional<std::string> value;  // absent for a line without "="
  std::size_t line = 0;              // the line of the file it was read from (1-based); 0 when written
};

struct Section {
  std::string name;  // empty for the leading nameless section (and for "[]")
  std::vector<Key> keys;
};

struct Document {
  // Never empty: sections.front() is the nameless section of the lines
  // before the first header.
  std::vector<Section> sections{Section{}};
  TextEncoding encoding = TextEncoding::kCp932;
};

// True for the single-byte blanks that lines, names and values lose at their
// ends.
bool is_blank(char byte);

// `text` without blank characters at either end; a blank second byte of a
// double-byte character stays.
std::string_view trim_blanks(std::string_view text, TextEncoding encoding = TextEncoding::kCp932);
std::string_view trim_leading_blanks(std::string_view text);

// `text` up to its first NUL, with a lead byte at its end completed to "・"
// (code page 932 only).
std::string whole_characters(std::string_view text, TextEncoding encoding = TextEncoding::kCp932);

// True when the names are equal ignoring the case of ASCII letters.
bool names_match(std::string_view a, std::string_view b, TextEncoding encoding = TextEncoding::kCp932);

Document parse_document(std::string_view bytes, TextEncoding encoding = TextEncoding::kCp932);
std::string write_document(const Document& document);

// The first section, or the first key of a section, whose name matches
// `name` without its outer blanks; nullptr when there is none. An empty name
// finds the nameless first section.
Section* find_section(Document& document, std::string_view name);
Key* find_key(Section& section, std::string_view name, TextEncoding encoding = TextEncoding::kCp932);

// Sets `key` in `section` to `value`, as a write through the profile
// functions does: the value loses its leading blanks; a section or key that
// does not exist yet is appended (the section at the end of the document,
// the key at the end of its section) under its name without leading blanks.
// Returns false when nothing changed, because the key already held exactly
// this value.
bool set_value(Document& document, std::string_view section, std::string_view key, std::string_view value);

// True when a key set in section `name` of an empty document, written out
// and parsed again, is found again under that name: false for a name with a
// CR, LF or NUL byte anywhere, one of blanks only, or one that reads back as
// a key line.
bool section_name_reads_back(std::string_view name);

}  // namespace prismet::ini
