// Reading and making folders: a folder's entries with the kind of each (a
// link's kind is that of its target), and a folder made with every missing
// folder above it. One implementation per platform (folder_listing_posix.cpp,
// folder_listing_win32.cpp). Names are byte strings in the system code page.
#pragma once

#include <string>
#include <vector>

namespace prismet {

struct FolderEntry {
  enum class Kind { kFile, kFolder, kOther };
  std::string name;
  Kind kind = Kind::kOther;  // of the entry, or of a link's target
  // A name that begins with '.', or (Windows) the hidden or system attribute.
  bool hidden = false;
  // A symbolic link (Linux) or a reparse point such as a junction (Windows);
  // the kind is that of what it points to (kOther when that is missing).
  bool link = false;
};

// The entries of the folder, "." and ".." left out, in no particular order.
// False, with `error` set to the system's error number (errno values), when
// the folder cannot be read.
bool list_folder(const char* path, std::vector<FolderEntry>& entries, int& error);

// True when the path names a folder (through links).
bool is_folder(const char* path);

// True when the path's last name is itself a symbolic link (Linux) or a
// reparse point such as a junction (Windows), whether or not what it points
// to exists.
bool is_link(const char* path);

// Makes the folder and every missing folder above it, with the permission
// bits `mode` before the umask (Linux; Windows gives them no meaning). True
// when it exists as a folder afterwards; otherwise false with `error` set.
bool make_folders(const std::string& path, int& error, unsigned mode = 0777);

// Removes the folder when it is empty (never a link: only the link's own
// name would go). False when it is not there afterwards.
bool remove_empty_folder(const char* path);

// How many processors the program may run on; at least 1.
unsigned processor_count();

}  // namespace prismet
