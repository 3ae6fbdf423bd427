// The settings dialog's file list: a sorted list box of the paths to
// convert, to which files dropped from the shell are added once each.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstddef>
#include <string>
#include <vector>

namespace prismet {

// The path as the shell spells the item it names (a short 8.3 name comes
// back in its long form), in `result` of `size` bytes. False, with `result`
// empty, when the shell cannot parse the path or the result does not fit.
bool canonical_path(const char* path, char* result, std::size_t size);

// Adds the canonical form of `path` to the list box, unless the path names
// nothing or a folder, cannot be canonicalised, or the list already holds
// it (compared without regard to case). True when an entry was added.
bool add_file_to_list(HWND list, const char* path);

// Offers every name of the drop to add_file_to_list, redrawing the list
// once at the end, and finishes the drop handle in every case.
void add_dropped_files(HWND list, HDROP drop);

// Deletes the selected entry and selects the one that took its place, or
// the new last one. Nothing without a selection.
void delete_selected_file(HWND list);

// Every entry, in list order. May throw std::bad_alloc.
std::vector<std::string> list_box_entries(HWND list);

}  // namespace prismet
