// Fuzzes the vocabulary file reader with arbitrary file contents, then scans
// a text with the vocabulary it built: no entry may be empty, and scanning
// must end.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "common/text_stream.h"
#include "engine/emitter.h"
#include "engine/vocabulary_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = "/tmp/prismet-vocabulary-fuzz-" + std::to_string(::getpid());
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);

  prismet::Vocabulary vocabulary;
  prismet::load_vocabulary(vocabulary, path.c_str());
  for (const auto* list : {vocabulary.line_comment.get(), vocabulary.block_comment.get(),
                           vocabulary.string_literal.get(), vocabulary.char_constant.get(),
                           vocabulary.keyword.get()}) {
    if (list == nullptr) __builtin_trap();
    for (auto* node = list->first(); node != nullptr; node = node->next()) {
      if (node->item().start.empty()) __builtin_trap();
      if (node->item().end.has_value() && node->item().end->empty()) __builtin_trap();
    }
  }

  static const char kText[] = "int a; // c\n/* b */ \"s\\\"\" 'c' 0x1F (* x *) [y] #z\n";
  prismet::OutputStyle style;
  prismet::set_default_output_style(style, "", "");
  prismet::TextReader input;
  input.open_memory(kText, sizeof kText - 1);
  std::string page;
  prismet::TextWriter output;
  output.open_memory(&page);
  prismet::convert_source(output, input, style, vocabulary);
  output.close();
  prismet::free_vocabulary(vocabulary);
  return 0;
}
