// Writes the settings fixture (tests/settings_fixture.h) to the file whose
// full path is its one argument, through the profile functions of this
// build: in the Windows build, the platform's own. scripts/regenerate-settings-fixture
// runs it under Wine and puts the result in settings/testdata/.
#include <cerrno>
#include <cstdio>

#include "common/file_system.h"
#include "tests/settings_fixture.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: regenerate_settings_fixture FILE\n", stderr);
    return 2;
  }
  const char* file = argv[1];
  // A save keeps what the file held before, so the fixture starts from none.
  if (std::remove(file) != 0 && errno != ENOENT) {
    std::perror(file);
    return 1;
  }
  prismet::testing::save_settings_fixture(file);
  if (!prismet::path_exists(file)) {
    std::fprintf(stderr, "%s: not written\n", file);
    return 1;
  }
  return 0;
}
