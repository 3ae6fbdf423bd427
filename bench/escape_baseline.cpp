// The practical limit for any converter: read in large blocks, escape the
// four HTML characters, write in large blocks.
// Usage: escape_baseline IN OUT | escape_baseline --each FILE...
#include <cstdio>
#include <cstring>
#include <vector>

#include "bench/baseline_files.h"

int main(int argc, char** argv) {
  std::vector<char> input(1 << 16), output((1 << 16) * 6);
  return bench::run_baseline(argc, argv, [&](std::FILE* in, std::FILE* out) {
    std::size_t got;
    while ((got = std::fread(input.data(), 1, input.size(), in)) > 0) {
      char* o = output.data();
      for (std::size_t i = 0; i < got; ++i) {
        switch (const char c = input[i]) {
          case '&':
            std::memcpy(o, "&amp;", 5);
            o += 5;
            break;
          case '<':
            std::memcpy(o, "&lt;", 4);
            o += 4;
            break;
          case '>':
            std::memcpy(o, "&gt;", 4);
            o += 4;
            break;
          case '"':
            std::memcpy(o, "&quot;", 6);
            o += 6;
            break;
          default:
            *o++ = c;
        }
      }
      std::fwrite(output.data(), 1, static_cast<std::size_t>(o - output.data()), out);
    }
  });
}
