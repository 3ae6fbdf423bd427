// Running out of memory while the settings file is written: every
// allocation of the code under test is made to fail in turn, the first, the
// second and so on, until the write goes through. Whatever failed, the
// failure is reported and the file is as it was: nothing that can fail
// comes after the new file has taken its place. (Linux: on Windows each write goes to the file through the
// platform's profile functions.)
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <new>
#include <string>

#include "settings/ini_file_image.h"
#include "settings/settings_file.h"
#include "tests/test_files.h"

namespace {

// Allocations left before the next one fails; negative: no limit.
long allocations_left = -1;

void* allocate(std::size_t size) {
  if (allocations_left == 0) throw std::bad_alloc();
  if (allocations_left > 0) --allocations_left;
  if (void* block = std::malloc(size != 0 ? size : 1)) return block;
  throw std::bad_alloc();
}

// Lets `allowed` more allocations through, then fails every one until it
// goes out of scope.
class AllocationLimit {
 public:
  explicit AllocationLimit(long allowed) { allocations_left = allowed; }
  ~AllocationLimit() { allocations_left = -1; }
  AllocationLimit(const AllocationLimit&) = delete;
  AllocationLimit& operator=(const AllocationLimit&) = delete;
};

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

namespace prismet {
namespace {

using testing::read_file;
using testing::scratch_path;
using testing::write_file;

constexpr long kEnough = 100000;  // far more allocations than one save makes

TEST(SettingsMemory, AnImageThatRunsOutOfMemoryKeepsTheFile) {
  const std::string path = scratch_path("image-memory.ini");
  const std::string start = "[a]\r\nk=old\r\n";
  long failures = 0;
  for (long allowed = 0; allowed < kEnough; ++allowed) {
    write_file(path, start);
    ini::FileImage image(path.c_str());
    bool saved = false;
    {
      const AllocationLimit limit(allowed);
      saved = image.write_string("a", "k", "new") && image.write_string("b", "m", "2") && image.save();
    }
    const std::string written = "[a]\r\nk=new\r\n[b]\r\nm=2\r\n";
    if (saved) {
      EXPECT_EQ(read_file(path), written);
      break;
    }
    ++failures;
    const std::string bytes = read_file(path);
    ASSERT_TRUE(bytes == start) << "allocation " << allowed << " failed";
    EXPECT_EQ(image.error(), ENOMEM) << allowed;
  }
  EXPECT_GT(failures, 3);
}

TEST(SettingsMemory, ASaveThatRunsOutOfMemoryKeepsTheFileAndSaysWhy) {
  const std::string path = scratch_path("save-memory.ini");
  const std::string start = "[prismet]\r\nkept=1\r\n";
  Settings settings;
  const std::string reference = scratch_path("save-reference.ini");
  write_file(reference, start);
  ASSERT_TRUE(save_settings_to(reference.c_str(), settings, "memory"));
  long failures = 0;
  for (long allowed = 0; allowed < kEnough; ++allowed) {
    write_file(path, start);
    int error = 0;
    bool saved = false;
    {
      const AllocationLimit limit(allowed);
      saved = save_settings_to(path.c_str(), settings, "memory", &error);
    }
    if (saved) {
      EXPECT_EQ(read_file(path), read_file(reference));
      EXPECT_NE(read_file(path).find("\r\n[memory]\r\n"), std::string::npos);
      break;
    }
    ++failures;
    const std::string bytes = read_file(path);
    ASSERT_TRUE(bytes == start) << "allocation " << allowed << " failed";
    ASSERT_EQ(error, ENOMEM) << allowed;
  }
  EXPECT_GT(failures, 10);
}

}  // namespace
}  // namespace prismet
