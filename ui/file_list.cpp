#include "ui/file_list.h"

#include <windows.h>
#include <shlobj.h>

#include <cstring>

#include "common/file_system.h"
#include "common/fixed_text.h"

namespace prismet {

namespace {

// Holds one reference to a COM object and releases it.
template <typename Interface>
class ComReference {
 public:
  ComReference() = default;
  ~ComReference() {
    if (object_ != nullptr) object_->Release();
  }
  ComReference(const ComReference&) = delete;
  ComReference& operator=(const ComReference&) = delete;
  Interface* operator->() const { return object_; }
  Interface* get() const { return object_; }
  Interface** put() { return &object_; }

 private:
  Interface* object_ = nullptr;
};

// An item identifier list from the shell, freed with the shell's allocator.
class ItemIdList {
 public:
  explicit ItemIdList(IMalloc* allocator) : allocator_(allocator) {}
  ~ItemIdList() {
    if (list_ != nullptr) allocator_->Free(list_);
  }
  ItemIdList(const ItemIdList&) = delete;
  ItemIdList& operator=(const ItemIdList&) = delete;
  PIDLIST_RELATIVE get() const { return list_; }
  PIDLIST_RELATIVE* put() { return &list_; }

 private:
  IMalloc* allocator_;
  PIDLIST_RELATIVE list_ = nullptr;
};

// Finishes a drop handle when it goes out of scope.
class DropHandle {
 public:
  explicit DropHandle(HDROP drop) : drop_(drop) {}
  ~DropHandle() {
    if (drop_ != nullptr) DragFinish(drop_);
  }
  DropHandle(const DropHandle&) = delete;
  DropHandle& operator=(const DropHandle&) = delete;
  HDROP get() const { return drop_; }

 private:
  HDROP drop_;
};

// Switches a window's redrawing off, and on again when it goes out of scope.
class RedrawPause {
 public:
  explicit RedrawPause(HWND window) : window_(window) { SendMessageA(window_, WM_SETREDRAW, FALSE, 0); }
  ~RedrawPause() { SendMessageA(window_, WM_SETREDRAW, TRUE, 0); }
  RedrawPause(const RedrawPause&) = delete;
  RedrawPause& operator=(const RedrawPause&) = delete;

 private:
  HWND window_;
};

// Paths are at most this many characters in any form.
constexpr int kWidePathCapacity = 260;

bool parse_to_path(IMalloc* allocator, IShellFolder* desktop, const char* path, char* result) {
  wchar_t wide[kWidePathCapacity + 1] = {};
  // A path that does not fit fails here rather than arrive cut or without
  // its terminator.
  if (MultiByteToWideChar(CP_ACP, 0, path, -1, wide, kWidePathCapacity) == 0) return false;
  ItemIdList list(allocator);
  if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, wide, nullptr, list.put(), nullptr))) return false;
  return SHGetPathFromIDListA(reinterpret_cast<PCIDLIST_ABSOLUTE>(list.get()), result) != FALSE;
}

}  // namespace

bool canonical_path(const char* path, char* result, std::size_t size) {
  if (size == 0) return false;
  result[0] = '\0';
  ComReference<IMalloc> allocator;
  if (FAILED(SHGetMalloc(allocator.put()))) return false;
  ComReference<IShellFolder> desktop;
  if (FAILED(SHGetDesktopFolder(desktop.put()))) return false;
  // SHGetPathFromIDListA writes up to MAX_PATH bytes whatever room the
  // caller has, so it writes into a buffer of that size first.
  char found[MAX_PATH] = {};
  if (!parse_to_path(allocator.get(), desktop.get(), path, found) || std::strlen(found) >= size) return false;
  std::memcpy(result, found, std::strlen(found) + 1);
  return true;
}

bool add_file_to_list(HWND list, const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return false;
  char canonical[kPathCapacity];
  if (!canonical_path(path, canonical, sizeof canonical)) return false;
  // The list box compares whole entries without regard to case.
  if (SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(canonical)) !=
      LB_ERR)
    return false;
  return SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(canonical)) >= 0;
}

void add_dropped_files(HWND list, HDROP drop) {
  DropHandle finished(drop);
  RedrawPause pause(list);
  const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    char name[kPathCapacity] = {};
    // A name that does not fit would arrive cut; it is skipped instead.
    if (DragQueryFileA(drop, i, nullptr, 0) >= sizeof name) continue;
    if (DragQueryFileA(drop, i, name, sizeof name) == 0) continue;
    if (path_exists(name)) add_file_to_list(list, name);
  }
}

void delete_selected_file(HWND list) {
  const LRESULT index = SendMessageA(list, LB_GETCURSEL, 0, 0);
  const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  if (index < 0 || index >= count) return;
  const LRESULT left = SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
  if (left > 0) SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index < left ? index : left - 1), 0);
}

std::vector<std::string> list_box_entries(HWND list) {
  std::vector<std::string> entries;
  const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    std::string text(static_cast<std::size_t>(length < 0 ? 0 : length) + 1, '\0');
    const LRESULT copied =
        SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied < 0 ? 0 : copied));
    entries.push_back(std::move(text));
  }
  return entries;
}

}  // namespace prismet
