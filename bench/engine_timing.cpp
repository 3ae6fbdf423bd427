// The engine alone, from memory to memory: converts a file held in memory
// again and again with the default layout and with numbers, tabs and
// &nbsp;, and prints the fastest and the median run of each in ms of the
// thread's CPU time (so that time spent waiting for a busy machine does not
// count), with the output's size. Usage: engine_timing FILE [RUNS]
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

namespace {

double convert_ms(const std::string& source, const prismet::OutputStyle& style,
                  const prismet::Vocabulary& vocabulary, std::string& page) {
  page.clear();
  timespec start, end;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &start);
  prismet::TextReader input;
  input.open_memory(source.data(), source.size());
  prismet::TextWriter output;
  output.open_memory(&page);
  prismet::convert_source(output, input, style, vocabulary);
  output.close();
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &end);
  return (end.tv_sec - start.tv_sec) * 1e3 + (end.tv_nsec - start.tv_nsec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::ifstream file(argv[1], std::ios::binary);
  const std::string source((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const int runs = argc > 2 ? std::atoi(argv[2]) : 20;
  prismet::Vocabulary vocabulary;
  prismet::set_builtin_vocabulary(vocabulary);
  prismet::OutputStyle style;
  prismet::set_default_output_style(style, "", "");
  std::string page;
  page.reserve(source.size() * 4);
  for (const bool full : {false, true}) {
    style.line_numbers = style.expand_tabs = style.nbsp_spaces = full;
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) times.push_back(convert_ms(source, style, vocabulary, page));
    std::sort(times.begin(), times.end());
    std::printf("%-8s min %.2f ms  median %.2f ms  output %zu bytes\n", full ? "full" : "default",
                times.front(), times[times.size() / 2], page.size());
  }
  prismet::free_vocabulary(vocabulary);
  return 0;
}
