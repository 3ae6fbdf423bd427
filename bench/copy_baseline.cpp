// A plain byte copy in large blocks: the cost of the I/O alone.
// Usage: copy_baseline IN OUT | copy_baseline --each FILE...
#include <cstdio>
#include <vector>

#include "bench/baseline_files.h"

int main(int argc, char** argv) {
  std::vector<char> block(1 << 16);
  return bench::run_baseline(argc, argv, [&](std::FILE* in, std::FILE* out) {
    std::size_t got;
    while ((got = std::fread(block.data(), 1, block.size(), in)) > 0) std::fwrite(block.data(), 1, got, out);
  });
}
