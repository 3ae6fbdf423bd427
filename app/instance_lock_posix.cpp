#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "app/instance_lock.h"
#include "common/path_text.h"

namespace prismet {

// Locks the folder that holds the file: every instance of the program uses
// the same folder, and a folder lock needs no extra file.
InstanceLock::InstanceLock(const char* path) {
  const std::string folder = folder_of(path);
  fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_ < 0) return;
  while (::flock(fd_, LOCK_EX) != 0) {
    if (errno != EINTR) {
      ::close(fd_);
      fd_ = -1;
      return;
    }
  }
}

InstanceLock::~InstanceLock() {
  if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}

}  // namespace prismet
