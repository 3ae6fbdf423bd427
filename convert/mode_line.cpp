#include "convert/mode_line.h"

#include <cstdio>
#include <memory>

#include "common/ascii_case.h"
#include "common/file_system.h"

namespace prismet {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
  return text;
}

bool same_no_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lower_ascii(a[i]) != lower_ascii(b[i])) return false;
  }
  return true;
}

// The Emacs mode names that mean C++ ("c++", or its mode's full name).
bool is_cpp_mode(std::string_view mode) {
  mode = trimmed(mode);
  return same_no_case(mode, "c++") || same_no_case(mode, "c++-mode");
}

// "-*- MODE -*-" or "-*- VAR: VALUE; VAR: VALUE -*-": the mode is the lone
// word, or the value of "mode".
bool emacs_says_cpp(std::string_view line) {
  const std::size_t open = line.find("-*-");
  if (open == std::string_view::npos) return false;
  const std::size_t close = line.find("-*-", open + 3);
  if (close == std::string_view::npos) return false;
  std::string_view inside = line.substr(open + 3, close - open - 3);
  if (inside.find(':') == std::string_view::npos) return is_cpp_mode(inside);
  while (!inside.empty()) {
    const std::size_t end = inside.find(';');
    const std::string_view pair = inside.substr(0, end);
    const std::size_t colon = pair.find(':');
    if (colon != std::string_view::npos && same_no_case(trimmed(pair.substr(0, colon)), "mode") &&
        is_cpp_mode(pair.substr(colon + 1))) {
      return true;
    }
    if (end == std::string_view::npos) break;
    inside.remove_prefix(end + 1);
  }
  return false;
}

// The options of a vim modeline, from after its "vim:": "set ft=cpp:" (up
// to the next ':'), or "ft=cpp" and others separated by blanks or ':'.
bool vim_options_say_cpp(std::string_view options) {
  options = trimmed(options);
  bool set_form = false;
  for (const std::string_view set : {"set", "se"}) {
    if (options.size() > set.size() && options.starts_with(set) && is_blank(options[set.size()])) {
      set_form = true;
      options.remove_prefix(set.size() + 1);
      break;
    }
  }
  std::size_t position = 0;
  while (position < options.size()) {
    std::size_t end = position;
    while (end < options.size() && options[end] != ':' && !is_blank(options[end])) ++end;
    const std::string_view option = options.substr(position, end - position);
    if (option == "ft=cpp" || option == "filetype=cpp") return true;
    if (set_form && end < options.size() && options[end] == ':') break;  // the rest is text
    position = end + 1;
  }
  return false;
}

// "vi:", "vim:" or "Vim:" at the line's start or after a blank, or "ex:"
// after a blank, as vim takes them.
bool vim_says_cpp(std::string_view line) {
  for (std::size_t colon = line.find(':'); colon != std::string_view::npos;
       colon = line.find(':', colon + 1)) {
    for (const std::string_view word : {"vim", "Vim", "vi", "ex"}) {
      if (colon < word.size() || line.substr(colon - word.size(), word.size()) != word) continue;
      const std::size_t start = colon - word.size();
      if ((start == 0 && word != "ex") || (start > 0 && is_blank(line[start - 1]))) {
        if (vim_options_say_cpp(line.substr(colon + 1))) return true;
      }
    }
  }
  return false;
}

}  // namespace

bool head_says_cpp(std::string_view head) {
  if (head.find('\0') != std::string_view::npos) return false;
  std::size_t lines = 0;
  while (!head.empty() && lines < kModeLineLines) {
    const std::size_t end = head.find('\n');
    std::string_view line = head.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (emacs_says_cpp(line) || vim_says_cpp(line)) return true;
    if (end == std::string_view::npos) break;
    head.remove_prefix(end + 1);
    ++lines;
  }
  return false;
}

bool file_says_cpp(const char* path) {
  bool not_regular = false;
  const std::unique_ptr<std::FILE, FileCloser> file(open_regular_file_for_reading(path, not_regular));
  if (!file) return false;
  char head[kModeLineBytes];
  std::size_t got = 0;
  if (!read_block(file.get(), head, sizeof head, got)) return false;
  return head_says_cpp(std::string_view(head, got));
}

}  // namespace prismet
