#include <windows.h>

#include <cstdint>
#include <cstdio>

#include "app/instance_lock.h"
#include "common/ascii_case.h"

namespace prismet {

namespace {

// Mutex names may not hold backslashes, so the path is named by its hash.
void mutex_name(const char* path, char (&name)[64]) {
  std::uint32_t hash = 2166136261u;  // FNV-1a
  for (const char* p = path; *p != '\0'; ++p) {
    const char byte = lower_ascii(*p);  // paths ignore case
    hash = (hash ^ static_cast<unsigned char>(byte)) * 16777619u;
  }
  std::snprintf(name, sizeof name, "prismet-temp-%08lx", static_cast<unsigned long>(hash));
}

}  // namespace

InstanceLock::InstanceLock(const char* path) {
  char name[64];
  mutex_name(path, name);
  HANDLE mutex = CreateMutexA(nullptr, FALSE, name);
  if (mutex == nullptr) return;
  const DWORD waited = WaitForSingleObject(mutex, INFINITE);
  // An abandoned mutex (its holder ended without releasing it) is ours now.
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
    CloseHandle(mutex);
    return;
  }
  handle_ = mutex;
}

InstanceLock::~InstanceLock() {
  if (handle_ == nullptr) return;
  ReleaseMutex(static_cast<HANDLE>(handle_));
  CloseHandle(static_cast<HANDLE>(handle_));
}

}  // namespace prismet
