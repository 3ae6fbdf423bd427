#include <windows.h>

#include <string>

#include "settings/replace_file.h"

namespace prismet {

namespace {

// The new file while it is being written; deleted unless it took the old
// file's place.
class TemporaryFile {
 public:
  TemporaryFile() = default;
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    close();
    if (!path_.empty() && !kept_) DeleteFileA(path_.c_str());
  }

  bool create(const std::string& target) {
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
      std::string candidate =
          target + ".tmp" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
      handle_ = CreateFileA(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
      if (handle_ != INVALID_HANDLE_VALUE) {
        path_ = std::move(candidate);
        return true;
      }
      if (GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    return false;
  }

  bool write_all(std::string_view bytes) {
    while (!bytes.empty()) {
      const DWORD chunk = bytes.size() > 0x40000000u ? 0x40000000u : static_cast<DWORD>(bytes.size());
      DWORD written = 0;
      if (!WriteFile(handle_, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
      bytes.remove_prefix(written);
    }
    return FlushFileBuffers(handle_) != 0;
  }

  bool close() {
    if (handle_ == INVALID_HANDLE_VALUE) return true;
    const bool ok = CloseHandle(handle_) != 0;
    handle_ = INVALID_HANDLE_VALUE;
    return ok;
  }

  const std::string& path() const { return path_; }
  void keep() { kept_ = true; }

 private:
  std::string path_;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  bool kept_ = false;
};

}  // namespace

bool replace_file_contents(const char* path, std::string_view bytes) {
  if (path == nullptr || path[0] == '\0') return false;
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    return false;
  }
  TemporaryFile temporary;
  if (!temporary.create(path) || !temporary.write_all(bytes) || !temporary.close()) return false;
  if (!MoveFileExA(temporary.path().c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return false;
  }
  temporary.keep();
  return true;
}

}  // namespace prismet
