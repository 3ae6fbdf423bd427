// What windows still hold when they are torn down, and what the process
// holds of GDI and USER objects: for tests that code releases everything it
// attaches to a window or creates.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace prismet::testing {

// The names of a window's properties; an integer atom reads "#<number>".
std::vector<std::string> window_properties(HWND window);

// The names that are strings rather than integer atoms: what code sets with
// SetPropA and a name (the system's own properties use atoms).
std::vector<std::string> named_properties(HWND window);

// Those of `names` that a window had when it was torn down (the system
// keeps properties of its own on some windows, such as Wine's X11 window).
std::vector<std::string> still_held(const std::vector<std::string>& properties,
                                    const std::vector<std::string>& names);

// Records every window of the thread at WM_NCDESTROY, the last message it
// gets (after WM_DESTROY has been handled): its class, its named properties
// and its window procedure then. One watch at a time.
class TeardownWatch {
 public:
  struct Teardown {
    HWND window;
    std::string class_name;
    std::vector<std::string> properties;
    LONG_PTR procedure;
  };

  TeardownWatch();
  ~TeardownWatch();
  TeardownWatch(const TeardownWatch&) = delete;
  TeardownWatch& operator=(const TeardownWatch&) = delete;

  const std::vector<Teardown>& seen() const { return seen_; }
  // The teardowns of windows of class `class_name` (compared ignoring case).
  std::vector<Teardown> of_class(const char* class_name) const;

 private:
  static LRESULT CALLBACK hook_procedure(int code, WPARAM wparam, LPARAM lparam);
  HHOOK hook_ = nullptr;
  std::vector<Teardown> seen_;
};

// The process's GDI and USER object counts (GetGuiResources); nullopt where
// the platform does not count them (Wine answers 0 and
// ERROR_CALL_NOT_IMPLEMENTED).
struct GuiCounts {
  DWORD gdi;
  DWORD user;
};
std::optional<GuiCounts> gui_counts();

// Calls `run` with 0 to times - 1 and expects the GDI and USER counts to be
// back where they were before; where the platform does not count them, it
// records the test property "gui_counts" saying so and checks nothing.
void expect_gui_counts_kept(int times, const std::function<void(int run)>& run);

// True while `icon` is still a live icon.
bool icon_alive(HICON icon);

}  // namespace prismet::testing
