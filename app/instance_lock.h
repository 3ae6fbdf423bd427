// Guards a file that every running instance shares (the settings file):
// while one instance holds the lock for a path, another waits. The lock
// leaves nothing behind on disk.
#pragma once

namespace prismet {

class InstanceLock {
 public:
  // Waits until the lock for `path` is held. If the lock cannot be had at
  // all, the work goes on unguarded, as a single instance would.
  explicit InstanceLock(const char* path);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

 private:
  void* handle_ = nullptr;  // Windows: the named mutex
  int fd_ = -1;             // Linux: the locked folder
};

}  // namespace prismet
