#include "tests/test_files.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <filesystem>
#include <mutex>
#include <random>
#include <stdexcept>
#include <system_error>
#include <utility>

namespace prismet::testing {

namespace {

struct ScratchFolder {
  std::filesystem::path path;
  ScratchFolder() {
    std::random_device random;
    path = std::filesystem::temp_directory_path() /
           ("prismet-test-" + std::to_string(random()) + std::to_string(std::time(nullptr)));
    std::filesystem::create_directories(path);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

const ScratchFolder& scratch() {
  static ScratchFolder folder;
  return folder;
}

#ifndef _WIN32
// The Linux program keeps its settings in the user's configuration folder;
// tests must never touch the real one, so every test process gets its own.
const bool kOwnConfigurationFolder = [] {
  return ::setenv("XDG_CONFIG_HOME", (scratch().path / "config").string().c_str(), 1) == 0;
}();
#endif

}  // namespace

std::string scratch_path(std::string_view name) { return (scratch().path / std::string(name)).string(); }

int count_entries(const std::string& folder) {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++count;
  return count;
}

void make_folder(const std::string& path) { std::filesystem::create_directories(path); }

void write_file(const std::string& path, std::string_view bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) throw std::runtime_error("cannot create " + path);
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

std::string read_file(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) throw std::runtime_error("cannot open " + path);
  std::string bytes;
  char block[65536];
  std::size_t got;
  while ((got = std::fread(block, 1, sizeof block, file)) > 0) bytes.append(block, got);
  std::fclose(file);
  return bytes;
}

std::string_view kept_text(std::string text) {
  static std::deque<std::string> texts;  // a deque never moves what it holds
  static std::mutex guard;
  const std::lock_guard<std::mutex> lock(guard);
  return texts.emplace_back(std::move(text));
}

}  // namespace prismet::testing
