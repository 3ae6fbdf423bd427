// The I/O floor: reads the source in large blocks and writes exactly
// PAGE_BYTES bytes to the output in large blocks, with no work per byte, so
// that the time left is the kernel's reading and writing of a page that size.
// Usage: io_floor IN OUT PAGE_BYTES
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  char* end = nullptr;
  unsigned long long left = std::strtoull(argv[3], &end, 10);
  if (end == argv[3] || *end != '\0') return 2;
  std::FILE* in = std::fopen(argv[1], "rb");
  if (in == nullptr) return 1;
  std::FILE* out = std::fopen(argv[2], "wb");
  if (out == nullptr) {
    std::fclose(in);
    return 1;
  }
  std::vector<char> block(1 << 16);
  bool ok = true;
  // The source's blocks are written as they come; once it has run out (the
  // page is larger than its source), the last block is written again.
  std::size_t got = 0;
  bool source_left = true;
  while (left > 0 && ok) {
    if (source_left) {
      const std::size_t now = std::fread(block.data(), 1, block.size(), in);
      if (now > 0) got = now;
      source_left = now == block.size();
      if (got == 0) std::memset(block.data(), ' ', got = block.size());  // an empty source
    }
    const std::size_t size = left < got ? static_cast<std::size_t>(left) : got;
    ok = std::fwrite(block.data(), 1, size, out) == size;
    left -= size;
  }
  // A source longer than the page is still read whole.
  while (source_left && std::fread(block.data(), 1, block.size(), in) == block.size()) {
  }
  std::fclose(in);
  return std::fclose(out) == 0 && ok ? 0 : 1;
}
