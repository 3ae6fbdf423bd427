// hello.cpp: a small program to try prismet on.
#include <cstdio>

/* Prints a greeting
   and the numbers it counts. */
int main() {
  const char* greeting = "Hello, <world> & \"friends\"";
  char last = '!';
  for (int i = 0; i < 3; ++i) {
    std::printf("%s%c %d\n", greeting, last, i * 0x10 + 1);
  }
  return 0;
}
