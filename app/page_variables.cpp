#include "app/page_variables.h"

#include <cstring>

#include "common/path_text.h"

namespace prismet {

std::string escaped_for_html(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char byte : text) {
    switch (byte) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      case '\'':
        escaped += "&#39;";
        break;
      default:
        escaped += byte;
    }
  }
  return escaped;
}

PageVariables page_variables_for(const char* source_path, bool utf8_page) {
  const std::string_view name = file_name_of(source_path);
  return {{"{{source}}", escaped_for_html(utf8_page ? file_name_as_utf8(name) : std::string(name))}};
}

bool VariableWriter::held_begins_placeholder() const {
  for (const PageVariable& variable : variables_) {
    if (variable.placeholder.compare(0, held_.size(), held_) == 0) return true;
  }
  return false;
}

void VariableWriter::take(char byte) {
  held_ += byte;
  for (const PageVariable& variable : variables_) {
    if (held_ == variable.placeholder) {
      output_.write(variable.value.data(), variable.value.size());
      held_.clear();
      return;
    }
  }
  if (held_begins_placeholder()) return;
  // No placeholder starts with the held bytes: the first goes out, and the
  // rest may still begin one.
  std::string rest = held_.substr(1);
  output_.write(held_.data(), 1);
  held_.clear();
  for (const char next : rest) {
    if (held_.empty() && next != '{') {
      output_.write(&next, 1);
    } else {
      take(next);
    }
  }
}

void VariableWriter::write(const char* data, std::size_t size) {
  const char* const end = data + size;
  while (data < end) {
    if (!held_.empty()) {
      take(*data++);
      continue;
    }
    // Text up to the next brace goes out at once.
    const void* brace = std::memchr(data, '{', static_cast<std::size_t>(end - data));
    const char* stop = brace != nullptr ? static_cast<const char*>(brace) : end;
    output_.write(data, static_cast<std::size_t>(stop - data));
    data = stop;
    if (data < end) take(*data++);
  }
}

void VariableWriter::finish() {
  output_.write(held_.data(), held_.size());
  held_.clear();
}

}  // namespace prismet
