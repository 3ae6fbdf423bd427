// The definitions prismet finds in the named files, one a line:
//   FILE:LINE KIND SCOPE NAME [decl]
// (SCOPE "-" at global scope; "decl" marks a prototype or forward
// declaration). Read as the pages read them: automatic decoding unless
// --shift-jis or --utf8, the built-in vocabulary or the one --vocabulary
// names. With --count only the totals are printed (to time the finder:
// run it under `perf stat` or `time`), with --list FILE the files are read
// from FILE, one a line.
// Usage: definition_dump [--count] [--shift-jis|--utf8] [--vocabulary FILE] [--list FILE] [FILE...]
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "convert/source_definitions.h"
#include "engine/definition_finder.h"
#include "engine/vocabulary.h"
#include "engine/vocabulary_file.h"

namespace {

struct Options {
  bool count = false;
  prismet::SourceEncoding encoding = prismet::SourceEncoding::kAutomatic;
  std::string vocabulary;
  std::vector<std::string> files;
};

bool parse(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--count") {
      options.count = true;
    } else if (arg == "--shift-jis") {
      options.encoding = prismet::SourceEncoding::kShiftJis;
    } else if (arg == "--utf8") {
      options.encoding = prismet::SourceEncoding::kUtf8;
    } else if ((arg == "--vocabulary" || arg == "--list") && i + 1 < argc) {
      const std::string value = argv[++i];
      if (arg == "--vocabulary") {
        options.vocabulary = value;
        continue;
      }
      std::ifstream list(value);
      if (!list) return false;
      for (std::string file; std::getline(list, file);) {
        if (!file.empty()) options.files.push_back(file);
      }
    } else if (arg.starts_with("--")) {
      return false;
    } else {
      options.files.push_back(arg);
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!parse(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: definition_dump [--count] [--shift-jis|--utf8] [--vocabulary FILE] [--list FILE] "
                 "[FILE...]\n");
    return 2;
  }
  prismet::Settings settings;
  settings.encoding = options.encoding;
  prismet::Vocabulary vocabulary;
  prismet::set_builtin_vocabulary(vocabulary);
  if (!options.vocabulary.empty() && !prismet::load_vocabulary(vocabulary, options.vocabulary.c_str())) {
    std::fprintf(stderr, "definition_dump: cannot read %s\n", options.vocabulary.c_str());
    return 1;
  }
  prismet::SourceDefinitions finder(settings, vocabulary);
  std::vector<prismet::Definition> found;
  std::size_t total = 0;
  int status = 0;
  for (const std::string& file : options.files) {
    found.clear();
    std::optional<prismet::FileFailure> failure;
    if (!finder.find(file.c_str(), found, failure)) {
      std::fprintf(stderr, "definition_dump: cannot read %s\n", file.c_str());
      status = 1;
      continue;
    }
    total += found.size();
    if (options.count) continue;
    for (const prismet::Definition& d : found) {
      std::printf("%s:%u %s %s %s%s\n", file.c_str(), static_cast<unsigned>(d.line),
                  prismet::symbol_kind_name(d.kind), d.scope.empty() ? "-" : d.scope.c_str(), d.name.c_str(),
                  d.declaration_only ? " decl" : "");
    }
  }
  if (options.count) std::printf("%zu files, %zu definitions\n", options.files.size(), total);
  return status;
}
