#include "engine/page_writer.h"

#include <cstring>

namespace prismet {

PageWriter::PageWriter(TextWriter& output, const OutputStyle& style, CharacterEncoding encoding)
    : output_(output), style_(style), escaper_(style, encoding) {
  std::size_t size = 0;
  for (const TagPair* pair : {&style.whole, &style.line, &style.line_number, &style.comment, &style.constant,
                              &style.char_constant, &style.string_literal, &style.keyword}) {
    size += pair->open.size() + pair->close.size() + 2 * TextWriter::kShort;
  }
  tag_bytes_.reserve(size);  // so that the tags' addresses below stay valid
  whole = prepare(style.whole);
  line = prepare(style.line);
  line_number = prepare(style.line_number);
  comment_ = prepare(style.comment);
  constant_ = prepare(style.constant);
  char_constant_ = prepare(style.char_constant);
  string_literal_ = prepare(style.string_literal);
  keyword_ = prepare(style.keyword);
}

PreparedTagPair PageWriter::prepare(const TagPair& pair) {
  const auto one = [&](const std::string& tag) {
    const std::size_t at = tag_bytes_.size();
    tag_bytes_ += tag;
    tag_bytes_.append(TextWriter::kShort, '\0');
    return PreparedTag{tag_bytes_.data() + at, tag.size(), tag.find('\n') == std::string::npos};
  };
  PreparedTagPair prepared;
  prepared.open = one(pair.open);
  prepared.close = one(pair.close);
  return prepared;
}

}  // namespace prismet
