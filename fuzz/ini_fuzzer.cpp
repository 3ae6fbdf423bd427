// Fuzzes our INI reader and writer in memory with arbitrary file contents.
// Checks that
// - writing back settles: after two rounds of parse and write a third
//   changes nothing;
// - a parse of what was written finds every value the first parse found (a
//   key without a value reads like a missing one);
// - a value set reads back at once (when its names have no trailing blanks,
//   which a new section or key keeps until the document is written), and
//   after the document was written and parsed again, when the names and
//   value are ones a file can hold;
// - setting one value leaves every other value as it was, and a set that
//   reports no change leaves the document as it was.
// The section and key set are taken from the document (possibly in other
// letter case) or from the input's bytes, so that they meet what it holds.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "settings/ini_document.h"

namespace {

using namespace prismet::ini;

// The bytes of the character at `i`, written out here rather than taken from
// the code under test: a lead byte (0x81-0x9F, 0xE0-0xFC) with a byte after
// it that is not a NUL makes two, any other byte one.
std::size_t char_length(std::string_view text, std::size_t i) {
  const unsigned char byte = static_cast<unsigned char>(text[i]);
  const bool lead = (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
  return lead && i + 1 < text.size() && text[i + 1] != '\0' ? 2 : 1;
}

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  __builtin_trap();
}

std::string rewrite(std::string_view bytes) { return write_document(parse_document(bytes)); }

// A name as lookups compare it: single-byte ASCII letters in lower case,
// double-byte characters as they are. Two names match exactly when these
// are equal, so maps keyed by them stand in for a find per key.
std::string folded(std::string_view name) {
  std::string text(name);
  for (std::size_t i = 0; i < text.size(); i += char_length(text, i)) {
    if (char_length(text, i) == 1 && text[i] >= 'A' && text[i] <= 'Z')
      text[i] = static_cast<char>(text[i] + 32);
  }
  return text;
}

// The value every lookup finds: the first section of each name and the
// first key of each name in it (nullopt for a bare name).
using Values = std::map<std::pair<std::string, std::string>, std::optional<std::string>>;

Values found_values(const Document& document) {
  Values values;
  std::set<std::string> sections;
  for (const Section& section : document.sections) {
    const std::string section_name = folded(section.name);
    if (!sections.insert(section_name).second) continue;
    for (const Key& key : section.keys) values.emplace(std::pair(section_name, folded(key.name)), key.value);
  }
  return values;
}

// Whether a value found before has to be found the same after a write and
// a parse. Not so for a key without name and value (a name lost to a NUL):
// it is written as an empty line, which a read drops, so a later key of
// empty name takes its place; nor for a value with a blank at its end (a
// NUL behind the blank kept it, as the platform's reader keeps it), which
// the written line loses.
bool survives_writing(const Values::value_type& entry) {
  const std::optional<std::string>& value = entry.second;
  if (entry.first.second.empty() && !value) return false;
  return !value || trim_blanks(*value) == *value;
}

std::optional<std::string> lookup(const Values& values, std::string_view section, std::string_view key) {
  const auto found = values.find(std::pair(folded(section), folded(key)));
  return found == values.end() ? std::nullopt : found->second;
}

std::optional<std::string> lookup(Document& document, std::string_view section, std::string_view key,
                                  bool& present) {
  present = false;
  Section* s = find_section(document, section);
  if (s == nullptr) return std::nullopt;
  Key* k = find_key(*s, key);
  if (k == nullptr) return std::nullopt;
  present = true;
  return k->value;
}

// True when a name survives being written into a line and read back: no
// line end, NUL or '=' (which would end a key name), no bracket (which could
// turn a key line into a header or end a section name early).
bool plain_name(std::string_view name) {
  for (char c : name) {
    if (c == '\r' || c == '\n' || c == '\0' || c == '=' || c == ']' || c == '[') return false;
  }
  return true;
}

// True when a name is stored as a lookup compares it: a new section or key
// keeps its trailing blanks in memory, while a lookup drops them.
bool stored_as_looked_up(std::string_view name) {
  return whole_characters(trim_leading_blanks(name)) == whole_characters(trim_blanks(name));
}

// True when a value survives a write and a parse: no line end or NUL, no
// blanks at its ends.
bool plain_value(std::string_view value) {
  for (char c : value) {
    if (c == '\r' || c == '\n' || c == '\0') return false;
  }
  return trim_blanks(value) == value;
}

std::string flip_case(std::string text) {
  for (std::size_t i = 0; i < text.size(); i += char_length(text, i)) {
    char& c = text[i];
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    } else if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
  }
  return text;
}

// What was found is found again after a write and a parse; returns what was
// found.
Values check_found_again(const Document& document) {
  Values before = found_values(document);
  const Values again = found_values(parse_document(write_document(document)));
  for (const auto& entry : before) {
    if (survives_writing(entry) && lookup(again, entry.first.first, entry.first.second) != entry.second) {
      fail("a value changed in a write and a parse");
    }
  }
  return before;
}

// The section, key and value to set, from the document's names (and a
// lookup through the document agreeing with the map for one of them) or
// from the input's bytes.
struct Setting {
  std::string section = "prismet";
  std::string key = "other";
  std::string value = "value";
};

Setting choose_setting(std::string_view bytes, Document& document, const Values& before) {
  std::vector<const Values::value_type*> entries;
  for (const auto& entry : before) entries.push_back(&entry);
  const std::size_t size = bytes.size();
  const std::uint8_t first = size > 0 ? static_cast<std::uint8_t>(bytes[0]) : 0;
  const std::uint8_t last = size > 0 ? static_cast<std::uint8_t>(bytes[size - 1]) : 0;
  Setting setting;
  if (first % 3 == 0 && !entries.empty()) {
    const auto& [names, value] = *entries[last % entries.size()];
    bool present = false;
    if (lookup(document, names.first, names.second, present) != value || !present) {
      fail("a lookup misses a value the document holds");
    }
    setting.section = names.first;
    setting.key = names.second;
    if (first & 8) {
      setting.section = flip_case(setting.section);
      setting.key = flip_case(setting.key);
    }
  } else if (size >= 4) {
    setting.section = std::string(bytes.substr(1, first % 8));
    setting.key = std::string(bytes.substr(size / 2, last % 6));
  }
  if (first & 16) setting.value = std::string(bytes.substr(size / 3, (first >> 5) + (last & 3)));
  return setting;
}

// After a write and a parse, the value set reads back and every other value
// found before is found as it was.
void check_written(const Document& document, const Setting& setting, const std::string& expected,
                   const Values& before) {
  Document written = parse_document(write_document(document));
  bool present = false;
  if (plain_value(expected) &&
      (lookup(written, setting.section, setting.key, present) != expected || !present)) {
    fail("a value set does not read back after a write");
  }
  if (!plain_value(setting.value)) return;  // a line end in the value may start new keys or sections
  const Values after = found_values(written);
  const std::pair set_names(folded(whole_characters(trim_blanks(setting.section))),
                            folded(whole_characters(trim_blanks(setting.key))));
  for (const auto& entry : before) {
    if (entry.first == set_names || !survives_writing(entry)) continue;
    if (lookup(after, entry.first.first, entry.first.second) != entry.second) {
      fail("setting a value changed another");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  // Writing back settles.
  const std::string twice = rewrite(rewrite(bytes));
  if (rewrite(twice) != twice) fail("writing back does not settle");

  Document document = parse_document(bytes);
  const Values before = check_found_again(document);
  const Setting setting = choose_setting(bytes, document, before);

  const std::string unchanged = write_document(document);
  if (!set_value(document, setting.section, setting.key, setting.value) &&
      write_document(document) != unchanged) {
    fail("a write reported as changing nothing changed the document");
  }
  const std::string expected = whole_characters(trim_leading_blanks(setting.value));
  bool present = false;
  if (stored_as_looked_up(setting.section) && stored_as_looked_up(setting.key) &&
      (lookup(document, setting.section, setting.key, present) != expected || !present)) {
    fail("a value set does not read back");
  }
  if (!plain_name(setting.section) || !plain_name(setting.key)) return 0;
  check_written(document, setting, expected, before);
  return 0;
}
