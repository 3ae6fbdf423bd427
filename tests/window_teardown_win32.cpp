#include "tests/window_teardown_win32.h"

#include <gtest/gtest.h>

namespace prismet::testing {

namespace {

TeardownWatch* active_watch = nullptr;

BOOL CALLBACK add_property(HWND, LPSTR name, HANDLE, ULONG_PTR context) {
  auto* names = reinterpret_cast<std::vector<std::string>*>(context);
  if (HIWORD(reinterpret_cast<ULONG_PTR>(name)) == 0) {
    names->push_back("#" + std::to_string(LOWORD(reinterpret_cast<ULONG_PTR>(name))));
  } else {
    names->emplace_back(name);
  }
  return TRUE;
}

}  // namespace

std::vector<std::string> window_properties(HWND window) {
  std::vector<std::string> names;
  EnumPropsExA(window, add_property, reinterpret_cast<LPARAM>(&names));
  return names;
}

std::vector<std::string> named_properties(HWND window) {
  std::vector<std::string> names;
  for (std::string& name : window_properties(window)) {
    if (name.empty() || name[0] != '#') names.push_back(std::move(name));
  }
  return names;
}

std::vector<std::string> still_held(const std::vector<std::string>& properties,
                                    const std::vector<std::string>& names) {
  std::vector<std::string> held;
  for (const std::string& name : names) {
    for (const std::string& property : properties) {
      if (lstrcmpiA(property.c_str(), name.c_str()) == 0) held.push_back(name);
    }
  }
  return held;
}

TeardownWatch::TeardownWatch() {
  active_watch = this;
  hook_ = SetWindowsHookExA(WH_CALLWNDPROC, hook_procedure, nullptr, GetCurrentThreadId());
}

TeardownWatch::~TeardownWatch() {
  if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
  active_watch = nullptr;
}

LRESULT CALLBACK TeardownWatch::hook_procedure(int code, WPARAM wparam, LPARAM lparam) {
  const auto* message = reinterpret_cast<const CWPSTRUCT*>(lparam);
  if (code == HC_ACTION && message->message == WM_NCDESTROY && active_watch != nullptr) {
    char name[64] = {};
    GetClassNameA(message->hwnd, name, sizeof name);
    active_watch->seen_.push_back({message->hwnd, name, named_properties(message->hwnd),
                                   GetWindowLongPtrA(message->hwnd, GWLP_WNDPROC)});
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

std::vector<TeardownWatch::Teardown> TeardownWatch::of_class(const char* class_name) const {
  std::vector<Teardown> found;
  for (const Teardown& teardown : seen_) {
    if (lstrcmpiA(teardown.class_name.c_str(), class_name) == 0) found.push_back(teardown);
  }
  return found;
}

std::optional<GuiCounts> gui_counts() {
  SetLastError(ERROR_SUCCESS);
  const DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  const DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  if ((gdi == 0 || user == 0) && GetLastError() == ERROR_CALL_NOT_IMPLEMENTED) return std::nullopt;
  if (gdi == 0 && user == 0) return std::nullopt;
  return GuiCounts{gdi, user};
}

void expect_gui_counts_kept(int times, const std::function<void(int run)>& run) {
  const auto before = gui_counts();
  for (int i = 0; i < times; ++i) run(i);
  const auto after = gui_counts();
  if (!before || !after) {
    ::testing::Test::RecordProperty("gui_counts", "not counted on this platform");
    return;
  }
  EXPECT_EQ(after->gdi, before->gdi) << "GDI objects";
  EXPECT_EQ(after->user, before->user) << "USER objects";
}

bool icon_alive(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return false;
  if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
  if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
  return true;
}

}  // namespace prismet::testing
