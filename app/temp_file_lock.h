// Guards the temporary file beside the program, which every running instance
// shares: while one instance holds the lock for a path, another waits. The
// lock leaves nothing behind on disk.
#pragma once

namespace prismet {

class TempFileLock {
 public:
  // Waits until the lock for `temp_path` is held. If the lock cannot be had
  // at all, the conversion goes on unguarded, as a single instance would.
  explicit TempFileLock(const char* temp_path);
  ~TempFileLock();
  TempFileLock(const TempFileLock&) = delete;
  TempFileLock& operator=(const TempFileLock&) = delete;

 private:
  void* handle_ = nullptr;  // Windows: the named mutex
  int fd_ = -1;             // Linux: the locked folder
};

}  // namespace prismet
