// Drives the modal dialogs, popup menus and file choosers that code under
// test opens on the test's thread, the way a person would: set a field's
// text, pick an item, press a button, send a key.
//
// The script is a list of steps. While the code under test runs its modal
// loop, a thread timer takes one step per tick; a step that waits (for a
// dialog, a menu, a condition) is retried on the next tick. Every dialog
// initialised on the thread is caught by a hook at WM_INITDIALOG, so no
// production code needs to cooperate.
//
// Every run ends by itself. When the script is not done within the limit, or
// a dialog or menu is still open that long after the script ended, the
// watchdog fails the test and ends every menu and caught dialog (with
// IDCANCEL). Should even that not end the run, a second watchdog thread ends
// the process.
//
// One driver runs at a time (the hook and the timer reach it through a
// process-wide pointer).
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace prismet::testing {

class DialogDriver {
 public:
  explicit DialogDriver(DWORD limit_ms = 5000);
  ~DialogDriver();
  DialogDriver(const DialogDriver&) = delete;
  DialogDriver& operator=(const DialogDriver&) = delete;

  // --- Building the script; each call appends a step and returns *this.

  // Retries `done` on every tick until it answers true.
  DialogDriver& wait_until(std::string what, std::function<bool()> done);
  // Runs `action` once; for checks made while the UI is open.
  DialogDriver& then(std::string what, std::function<void()> action);
  // Waits until one more dialog has been initialised than at the previous
  // wait_for_dialog; later steps act on the innermost open dialog.
  DialogDriver& wait_for_dialog();
  // Waits until the dialog found by the last wait_for_dialog is gone.
  DialogDriver& wait_for_close();
  DialogDriver& set_text(int id, std::string text);
  // Selects item `index` of a combo box as a click in its list would,
  // notifying the dialog with CBN_SELCHANGE.
  DialogDriver& select_item(int id, int index);
  // Clicks a button (BM_CLICK): a disabled button does nothing.
  DialogDriver& press(int id);
  // Posts a key press (down and up) to the window with the focus.
  DialogDriver& key(UINT virtual_key);
  // Waits for a popup menu of the thread to be open.
  DialogDriver& wait_for_menu();
  // Posts key presses to the open popup menu.
  DialogDriver& menu_keys(std::initializer_list<UINT> virtual_keys);

  // --- Running.

  // Calls `open`, which runs the modal UI, and drives the script while it
  // runs; steps left when `open` returns are tried once more then (so a
  // script may end with wait_for_close). True when every step was taken and
  // nothing timed out; failures are also reported to the test.
  bool run(const std::function<void()>& open);

  // The innermost caught dialog that is still open, or nullptr.
  HWND dialog() const;
  // The open popup menu window of the thread, or nullptr.
  static HWND menu_window();
  // Every dialog caught in this run, in the order of initialisation.
  const std::vector<HWND>& caught_dialogs() const { return caught_; }
  bool timed_out() const { return timed_out_; }

 private:
  struct Step {
    std::string what;
    std::function<bool()> attempt;  // true: done
  };

  static LRESULT CALLBACK hook_procedure(int code, WPARAM wparam, LPARAM lparam);
  static void CALLBACK timer_procedure(HWND, UINT, UINT_PTR, DWORD);
  void tick();
  void end_everything();
  DialogDriver& add(std::string what, std::function<bool()> attempt);

  DWORD limit_ms_;
  std::vector<Step> steps_;
  std::vector<HWND> caught_;
  std::size_t next_step_ = 0;
  std::size_t dialogs_awaited_ = 0;
  HWND awaited_dialog_ = nullptr;
  DWORD started_ = 0;
  DWORD script_done_at_ = 0;
  bool timed_out_ = false;
  HHOOK hook_ = nullptr;
  UINT_PTR timer_ = 0;
};

// A window that the test owns, destroyed with the object.
class ScopedWindow {
 public:
  ScopedWindow() = default;
  explicit ScopedWindow(HWND window) : window_(window) {}
  ~ScopedWindow() { reset(); }
  ScopedWindow(ScopedWindow&& other) noexcept : window_(other.release()) {}
  ScopedWindow& operator=(ScopedWindow&& other) noexcept {
    if (this != &other) {
      reset();
      window_ = other.release();
    }
    return *this;
  }
  HWND get() const { return window_; }
  operator HWND() const { return window_; }
  HWND release() { return std::exchange(window_, nullptr); }
  void reset() {
    if (window_ != nullptr) DestroyWindow(window_);
    window_ = nullptr;
  }

 private:
  HWND window_ = nullptr;
};

// A window of a system class: a top-level popup when `parent` is null, else
// a child with the control id `id`.
ScopedWindow make_window(const char* class_name, DWORD style, int x, int y, int width, int height,
                         HWND parent = nullptr, int id = 0, const char* text = "");

// The settings file beside the test executable. The constructor and the
// destructor delete it, so each test starts and ends without one.
class ScratchSettingsFile {
 public:
  ScratchSettingsFile();
  ~ScratchSettingsFile();
  ScratchSettingsFile(const ScratchSettingsFile&) = delete;
  ScratchSettingsFile& operator=(const ScratchSettingsFile&) = delete;

  const std::string& path() const { return path_; }
  bool exists() const;
  // The file's bytes; empty when there is no file.
  std::string contents() const;
  void write(std::string_view bytes) const;

 private:
  std::string path_;
};

}  // namespace prismet::testing
