#include "engine/include_directive.h"

namespace prismet {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

bool is_identifier(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

std::size_t skip_blanks(std::string_view line, std::size_t at) {
  while (at < line.size() && is_blank(line[at])) ++at;
  return at;
}

}  // namespace

std::optional<IncludeName> include_name(std::string_view line) {
  std::size_t at = skip_blanks(line, 0);
  if (at == line.size() || line[at] != '#') return std::nullopt;
  at = skip_blanks(line, at + 1);
  constexpr std::string_view kWord = "include";
  if (line.substr(at, kWord.size()) != kWord) return std::nullopt;
  at += kWord.size();
  // "include_next" and any longer word are other directives.
  if (at < line.size() && is_identifier(line[at])) return std::nullopt;
  at = skip_blanks(line, at);
  if (at == line.size() || (line[at] != '"' && line[at] != '<')) return std::nullopt;
  IncludeName name;
  name.angled = line[at] == '<';
  name.begin = at + 1;
  const std::size_t close = line.find(name.angled ? '>' : '"', name.begin);
  if (close == std::string_view::npos || close == name.begin) return std::nullopt;
  name.end = close;
  return name;
}

bool is_include_line(std::string_view line) {
  std::size_t at = skip_blanks(line, 0);
  if (at == line.size() || line[at] != '#') return false;
  at = skip_blanks(line, at + 1);
  std::size_t end = at;
  while (end < line.size() && is_identifier(line[end])) ++end;
  const std::string_view word = line.substr(at, end - at);
  return word == "include" || word == "include_next" || word == "import";
}

}  // namespace prismet
