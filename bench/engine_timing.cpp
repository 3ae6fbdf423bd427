// The engine alone, from memory to memory: converts a file held in memory
// again and again with the default layout and with numbers, tabs and
// &nbsp;, in Shift_JIS and then in UTF-8 (the "utf8" rows), and prints the
// fastest and the median run of each in ms of the thread's CPU time (so that
// time spent waiting for a busy machine does not count), with the output's
// size. With a vocabulary file, it first times loading that file (the
// built-in entries and the file applied to them) the same way, and converts
// with what it loaded; each conversion builds the vocabulary's lookup tables
// anew, as a run of the program does. The "automatic" row converts with the
// default layout through the source decoder
// (TextReader::decode_as(SourceEncoding::kAutomatic)) in UTF-8.
// With --row NAME only that row is timed (for a profiler).
// Usage: engine_timing [--row NAME] FILE [RUNS [VOCABULARY_FILE]]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/emitter.h"
#include "engine/vocabulary.h"
#include "engine/vocabulary_file.h"

namespace {

double now_ms() {
  timespec now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

void print_times(const char* what, std::vector<double>& times, const char* more) {
  std::sort(times.begin(), times.end());
  std::printf("%-10s min %.2f ms  median %.2f ms  %s\n", what, times.front(), times[times.size() / 2], more);
}

double convert_ms(const std::string& source, const prismet::OutputStyle& style,
                  const prismet::Vocabulary& vocabulary, prismet::CharacterEncoding encoding,
                  std::string& page,
                  prismet::SourceEncoding source_encoding = prismet::SourceEncoding::kShiftJis) {
  page.clear();
  const double start = now_ms();
  prismet::TextReader input;
  input.open_memory(source.data(), source.size());
  input.decode_as(source_encoding);
  prismet::TextWriter output;
  output.open_memory(&page);
  prismet::convert_source(output, input, style, vocabulary, encoding);
  output.close();
  return now_ms() - start;
}

// Loads the vocabulary file `runs` times and prints the times; the last
// load stays in `vocabulary`.
void time_vocabulary_loading(prismet::Vocabulary& vocabulary, const char* vocabulary_file, int runs) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    prismet::free_vocabulary(vocabulary);
    const double start = now_ms();
    prismet::load_vocabulary(vocabulary, vocabulary_file);
    times.push_back(now_ms() - start);
  }
  char keywords[64];
  std::snprintf(keywords, sizeof keywords, "%d keywords", vocabulary.keyword->count());
  print_times("vocabulary", times, keywords);
}

// Converts the source `runs` times and prints the row's times.
void time_row(const char* row, const std::string& source, const prismet::OutputStyle& style,
              const prismet::Vocabulary& vocabulary, prismet::CharacterEncoding encoding, std::string& page,
              int runs, prismet::SourceEncoding source_encoding = prismet::SourceEncoding::kShiftJis) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i)
    times.push_back(convert_ms(source, style, vocabulary, encoding, page, source_encoding));
  char output[64];
  std::snprintf(output, sizeof output, "output %zu bytes", page.size());
  print_times(row, times, output);
}

}  // namespace

int main(int argc, char** argv) {
  std::string only;
  if (argc > 2 && std::string(argv[1]) == "--row") {
    only = argv[2];
    argc -= 2;
    argv += 2;
  }
  const auto timed = [&only](const char* row) { return only.empty() || only == row; };
  if (argc < 2) return 2;
  std::ifstream file(argv[1], std::ios::binary);
  const std::string source((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const int runs = argc > 2 && std::atoi(argv[2]) > 0 ? std::atoi(argv[2]) : 20;
  const char* vocabulary_file = argc > 3 ? argv[3] : nullptr;
  prismet::Vocabulary vocabulary;
  if (vocabulary_file != nullptr)
    time_vocabulary_loading(vocabulary, vocabulary_file, runs);
  else
    prismet::set_builtin_vocabulary(vocabulary);
  prismet::OutputStyle style;
  prismet::set_default_output_style(style, "", "");
  std::string page;
  page.reserve(source.size() * 4);
  for (const auto encoding : {prismet::CharacterEncoding::kShiftJis, prismet::CharacterEncoding::kUtf8}) {
    const bool utf8 = encoding == prismet::CharacterEncoding::kUtf8;
    for (const bool full : {false, true}) {
      style.line_numbers = style.expand_tabs = style.nbsp_spaces = full;
      const char* row = full ? (utf8 ? "utf8 full" : "full") : (utf8 ? "utf8" : "default");
      if (timed(row)) time_row(row, source, style, vocabulary, encoding, page, runs);
    }
  }
  style.line_numbers = style.expand_tabs = style.nbsp_spaces = false;
  if (timed("automatic")) {
    time_row("automatic", source, style, vocabulary, prismet::CharacterEncoding::kUtf8, page, runs,
             prismet::SourceEncoding::kAutomatic);
  }
  prismet::free_vocabulary(vocabulary);
  return 0;
}
