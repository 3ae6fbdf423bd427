// A plain byte copy in large blocks: the cost of the I/O alone.
// Usage: copy_baseline IN OUT
#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  std::FILE* in = std::fopen(argv[1], "rb");
  std::FILE* out = std::fopen(argv[2], "wb");
  if (in == nullptr || out == nullptr) return 1;
  std::vector<char> block(1 << 16);
  std::size_t got;
  while ((got = std::fread(block.data(), 1, block.size(), in)) > 0) std::fwrite(block.data(), 1, got, out);
  std::fclose(in);
  return std::fclose(out) == 0 ? 0 : 1;
}
