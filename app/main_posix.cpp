// The Linux program: its entry and its wiring. There is no keyboard state
// and no settings dialog; the stand-in beside this file takes the dialog's
// place.
#include <malloc.h>
#include <unistd.h>

#include <cstdlib>

#include "app/dialog_stand_in_posix.h"
#include "app/options_posix.h"
#include "common/interruption.h"

namespace {

bool no_shift_key() { return false; }

constexpr prismet::StartupPlatform kPlatform{no_shift_key, prismet::run_dialog_stand_in};

// Memory faulted in by the 2 MB page where the system allows it (its
// transparent huge pages in "madvise" mode) rather than by the 4 KB one:
// glibc's allocator asks for them only when told so in the environment
// before the program starts, so the program starts itself again so told,
// once, and runs as before wherever that cannot be done. A first run of
// the libstdc++ headers' site with cross-references took 5,200 page faults
// instead of 15,800, 400 ms instead of 530 on 2 cores (the site of
// bench/run.py's cross-reference peer row).
void start_with_huge_pages(char** argv) {
#if defined(__GLIBC__)
  if (std::getenv("GLIBC_TUNABLES") != nullptr) return;  // the user's tunables, or this start's
  if (setenv("GLIBC_TUNABLES", "glibc.malloc.hugetlb=1", 1) != 0) return;
  execv("/proc/self/exe", argv);
  unsetenv("GLIBC_TUNABLES");  // not started again: on without them
#else
  static_cast<void>(argv);
#endif
}

// A run allocates and frees large buffers by the thousand (pages, symbol
// pages, the site's record); glibc gives each back to the system when it is
// freed and takes page faults to touch it again at the next. Kept instead,
// up to the largest buffer a run is likely to make: a first run of the
// libstdc++ headers' site with cross-references took 13,200 page faults
// instead of 18,100 and about a fifth less processor time (perf stat; the
// site of bench/run.py's cross-reference peer row).
void keep_freed_memory() {
#if defined(__GLIBC__)
  constexpr int kLargest = 32 << 20;  // glibc's ceiling for the threshold
  mallopt(M_MMAP_THRESHOLD, kLargest);
  mallopt(M_TRIM_THRESHOLD, 4 * kLargest);
#endif
}

}  // namespace

int main(int argc, char** argv) {
  start_with_huge_pages(argv);
  // Before anything else but that, so that an interruption never leaves a
  // temporary file or a half-rewritten page.
  prismet::watch_for_interruptions();
  keep_freed_memory();
  return prismet::run_program(argc, argv, kPlatform);
}
