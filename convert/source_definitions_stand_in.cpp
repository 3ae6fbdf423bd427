// A plain finder of definitions that looks only at the start of each line:
// "#define NAME", "struct NAME {" or "class NAME {" (";" for a forward
// declaration), and "TYPE NAME(...) {" (";" for a prototype). It stands
// until the scanner's own finder takes its place.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>

#include "common/file_system.h"
#include "convert/source_definitions.h"

namespace prismet {

namespace {

constexpr std::size_t kMaxText = 240;

bool is_name_start(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool is_name_byte(char c) { return is_name_start(c) || (c >= '0' && c <= '9'); }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() &&
         (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' || text.back() == '\n'))
    text.remove_suffix(1);
  return text.substr(0, kMaxText);
}

std::string_view name_at(std::string_view line, std::size_t& at) {
  while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
  const std::size_t begin = at;
  if (at == line.size() || !is_name_start(line[at])) return {};
  while (at < line.size() && is_name_byte(line[at])) ++at;
  return line.substr(begin, at - begin);
}

// The definition the line begins with, if any: its name and kind.
bool line_definition(std::string_view line, Definition& found) {
  const std::string_view text = trimmed(line);
  std::size_t at = 0;
  if (line.starts_with("#")) {
    at = 1;
    if (name_at(line, at) != "define") return false;
    found.name = std::string(name_at(line, at));
    found.kind = SymbolKind::Macro;
    return !found.name.empty();
  }
  const std::string_view first = name_at(line, at);
  if (first.empty() || line.starts_with(" ") || line.starts_with("\t")) return false;
  if (first == "struct" || first == "class") {
    found.name = std::string(name_at(line, at));
    found.kind = first == "struct" ? SymbolKind::Struct : SymbolKind::Class;
    found.declaration_only = text.ends_with(";");
    return !found.name.empty() && (text.ends_with("{") || found.declaration_only);
  }
  if (first == "return" || first == "else" || first == "if" || first == "while" || first == "for")
    return false;
  // TYPE NAME(...) {: the last name before the first '('.
  const std::size_t open = line.find('(');
  if (open == std::string_view::npos || line.find(')', open) == std::string_view::npos) return false;
  std::size_t end = open;
  while (end > 0 && (line[end - 1] == ' ' || line[end - 1] == '\t')) --end;
  std::size_t begin = end;
  while (begin > 0 && is_name_byte(line[begin - 1])) --begin;
  if (begin == end || begin < at || !is_name_start(line[begin])) return false;
  found.name = std::string(line.substr(begin, end - begin));
  found.kind = SymbolKind::Function;
  found.declaration_only = text.ends_with(";");
  return text.ends_with("{") || found.declaration_only;
}

struct ClosesFile {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

struct SourceDefinitions::State {
  char buffer[32768];
};

SourceDefinitions::SourceDefinitions(const Settings&, const Vocabulary&)
    : state_(std::make_unique<State>()) {}
SourceDefinitions::~SourceDefinitions() = default;

bool SourceDefinitions::find(const char* source_path, std::vector<Definition>& out,
                             std::optional<FileFailure>& failure) {
  bool not_regular = false;
  const std::unique_ptr<std::FILE, ClosesFile> file(open_regular_file_for_reading(source_path, not_regular));
  if (!file) {
    failure = failure_of(Culprit::kSource, errno);
    if (not_regular) failure->reason = "not a regular file";
    return false;
  }
  std::uint32_t line = 0;
  bool line_start = true;
  std::vector<Definition> found;
  while (std::fgets(state_->buffer, sizeof state_->buffer, file.get()) != nullptr) {
    const std::string_view piece(state_->buffer, std::strlen(state_->buffer));
    if (line_start) {
      ++line;
      Definition definition;
      if (line_definition(piece, definition)) {
        definition.line = line;
        definition.text = std::string(trimmed(piece));
        found.push_back(std::move(definition));
      }
    }
    line_start = piece.ends_with('\n');
  }
  if (std::ferror(file.get())) {
    failure = failure_of(Culprit::kSource, EIO);
    return false;
  }
  for (Definition& definition : found) out.push_back(std::move(definition));
  return true;
}

}  // namespace prismet
