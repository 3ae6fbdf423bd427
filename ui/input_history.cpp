#include "ui/input_history.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "common/fixed_text.h"
#include "settings/profile_values.h"
#include "settings/settings_file.h"

namespace prismet {

namespace {

// A stored value is read into this many bytes, so at most 32767 of text.
constexpr DWORD kValueBufferSize = 32768;

struct KeyName {
  char text[16];
  explicit KeyName(int index) { std::snprintf(text, sizeof text, "%d", index); }
};

InputHistory::Node* find_node(const InputHistory& history, std::string_view text) {
  for (InputHistory::Node* node = history.first(); node != nullptr; node = node->next())
    if (node->item() == text) return node;
  return nullptr;
}

// The index of a key named as the items' keys are: "%d" of a number >= 0.
int item_index(const char* name) {
  if (name[0] < '0' || name[0] > '9' || (name[0] == '0' && name[1] != '\0')) return -1;
  long long value = 0;
  for (const char* p = name; *p != '\0'; ++p) {
    if (*p < '0' || *p > '9') return -1;
    value = value * 10 + (*p - '0');
    if (value > 0x7FFFFFFF) return -1;
  }
  return static_cast<int>(value);
}

// The highest item index among the keys present in the section, -1 when
// there is none.
int highest_stored_index(const char* file, const char* section) {
  std::vector<char> names;
  for (DWORD size = 4096;; size *= 2) {
    try {
      names.assign(size, '\0');
    } catch (const std::bad_alloc&) {
      return 0x7FFFFFFF;  // unknown: no limit from here
    }
    // With no key name the profile function lists the section's keys, each
    // NUL-terminated; it answers size - 2 when the list did not fit.
    const DWORD length = GetPrivateProfileStringA(section, nullptr, "", names.data(), size, file);
    if (length + 2 < size || size >= 0x10000000) break;
  }
  int highest = -1;
  for (const char* name = names.data(); *name != '\0'; name += std::strlen(name) + 1) {
    const int index = item_index(name);
    if (index > highest) highest = index;
  }
  return highest;
}

}  // namespace

InputHistoryPtr create_history() { return InputHistoryPtr(new (std::nothrow) InputHistory); }

void free_history(InputHistoryPtr history) { history.reset(); }

int history_count(const InputHistory& history) { return history.count(); }

const std::string& history_entry(const InputHistory& history, int position) { return history.at(position); }

int push_history(InputHistory& history, std::string_view text) {
  if (InputHistory::Node* found = find_node(history, text)) {
    // Shifting the strings one place back up to the found one keeps the
    // others' order and needs no memory, so a repeat can never fail.
    for (InputHistory::Node* node = found; node->prev() != nullptr; node = node->prev())
      node->item().swap(node->prev()->item());
    return history.count();
  }
  try {
    return history.push_front(std::string(text));
  } catch (const std::bad_alloc&) {
    return -1;
  }
}

int add_loaded_entry(InputHistory& history, std::string_view text) {
  if (find_node(history, text) != nullptr) return history.count();
  try {
    return history.push_back(std::string(text));
  } catch (const std::bad_alloc&) {
    return -1;
  }
}

InputHistoryPtr load_history(const char* section, const char* default_text) {
  InputHistoryPtr history = create_history();
  if (!history) return nullptr;
  char file[kPathCapacity];
  if (!settings_file_path(file)) return history;
  std::unique_ptr<char[]> value(new (std::nothrow) char[kValueBufferSize]);
  if (!value) return nullptr;
  int count = 0;
  try {
    ProfileFile profile(file);
    count = read_profile_int(profile, section, kHistoryCountKey, 0);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  // Every key past the last one present gives the default, which is kept
  // once; reading just one of them gives the same history and keeps a
  // damaged count from making the dialog read the file billions of times.
  const int highest = highest_stored_index(file, section);
  if (highest < 0x7FFFFFFE && count > highest + 2) count = highest + 2;
  for (int index = 0; index < count; ++index) {
    value[0] = '\0';
    GetPrivateProfileStringA(section, KeyName(index).text, default_text, value.get(), kValueBufferSize, file);
    value[kValueBufferSize - 1] = '\0';
    add_loaded_entry(*history, value.get());
  }
  return history;
}

bool save_history(const char* section, const InputHistory& history) {
  char file[kPathCapacity];
  if (!settings_file_path(file)) return false;
  try {
    ProfileFile profile(file);
    bool written = write_profile_int(profile, section, kHistoryCountKey, history.count());
    int index = 0;
    for (InputHistory::Node* node = history.first(); node != nullptr; node = node->next(), ++index)
      written = write_profile_quoted(profile, section, KeyName(index).text, node->item().c_str()) && written;
    return profile.save() && written;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace prismet
