// Fuzzes the vocabulary file reader with arbitrary file contents, read from
// memory exactly as from a file. Checks that no entry of the vocabulary it
// builds is empty, then converts a fixed text and the file's own bytes (which
// hold the delimiters it defined) with that vocabulary: scanning must end,
// the tags must nest, and the page must give back the text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/emitter.h"
#include "engine/vocabulary_file.h"
#include "fuzz/page_check.h"

namespace {

void convert_and_check(const char* text, std::size_t size, const prismet::Vocabulary& vocabulary,
                       bool line_numbers) {
  prismet::OutputStyle style;
  prismet::set_default_output_style(style, "", "");
  prismet::fuzz::set_check_tags(style);
  style.line_numbers = line_numbers;
  prismet::fuzz::check_conversion(text, size, style, vocabulary);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const char* bytes = reinterpret_cast<const char*>(data);
  prismet::Vocabulary vocabulary;
  prismet::load_vocabulary_from_memory(vocabulary, bytes, size);
  for (const auto* list :
       {vocabulary.line_comment.get(), vocabulary.block_comment.get(), vocabulary.string_literal.get(),
        vocabulary.char_constant.get(), vocabulary.keyword.get()}) {
    if (list == nullptr) prismet::fuzz::fail("a list is missing");
    for (auto* node = list->first(); node != nullptr; node = node->next()) {
      if (node->item().start.empty()) prismet::fuzz::fail("empty entry");
      if (node->item().end.has_value() && node->item().end->empty()) prismet::fuzz::fail("empty end");
    }
  }

  static const char kText[] = "int a; // c\n/* b */ \"s\\\"\" 'c' 0x1F (* x *) [y] #z\n";
  convert_and_check(kText, sizeof kText - 1, vocabulary, false);
  convert_and_check(bytes, size, vocabulary, size % 2 == 1);
  prismet::free_vocabulary(vocabulary);
  return 0;
}
