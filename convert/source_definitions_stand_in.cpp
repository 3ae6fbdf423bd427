// A plain finder of definitions that looks only at the start of each line:
// "#define NAME", "struct NAME {" or "class NAME {" (";" for a forward
// declaration), and "TYPE NAME(...) {" (";" for a prototype). It stands
// until the scanner's own finder takes its place.
#include <algorithm>
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
  char buffer[65536];
  char line_bytes[1024];
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
  // Read in blocks; a line is looked at by its first kMaxLine bytes.
  std::uint32_t line = 0;
  std::size_t kept = 0;   // bytes of the current line in `line_bytes`
  bool skipping = false;  // the current line is longer than kept
  std::vector<Definition> found;
  const auto end_line = [&] {
    ++line;
    Definition definition;
    const std::string_view text(state_->line_bytes, kept);
    if (line_definition(text, definition)) {
      definition.line = line;
      definition.text = std::string(trimmed(text));
      found.push_back(std::move(definition));
    }
    kept = 0;
    skipping = false;
  };
  std::size_t size = 0;
  while ((size = std::fread(state_->buffer, 1, sizeof state_->buffer, file.get())) > 0) {
    for (const char* p = state_->buffer; p < state_->buffer + size;) {
      const char* const newline = static_cast<const char*>(std::memchr(p, '\n', state_->buffer + size - p));
      const char* const piece_end = newline != nullptr ? newline : state_->buffer + size;
      const std::size_t take = std::min<std::size_t>(piece_end - p, sizeof state_->line_bytes - kept);
      if (!skipping) std::memcpy(state_->line_bytes + kept, p, take);
      kept += skipping ? 0 : take;
      skipping = skipping || take < static_cast<std::size_t>(piece_end - p);
      if (newline == nullptr) break;
      end_line();
      p = newline + 1;
    }
  }
  if (kept > 0) end_line();
  if (std::ferror(file.get())) {
    failure = failure_of(Culprit::kSource, EIO);
    return false;
  }
  for (Definition& definition : found) out.push_back(std::move(definition));
  return true;
}

}  // namespace prismet
