#include "tests/dialog_driver_win32.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <utility>

#include "settings/settings_file.h"
#include "tests/test_files.h"

namespace prismet::testing {

namespace {

DialogDriver* active_driver = nullptr;

// Beyond the driver's own limit, how long the process may go on before the
// last-resort watchdog ends it.
constexpr DWORD kHardLimitExtraMs = 15000;

// Ends the whole process when the run it guards does not finish in time:
// for code under test that hangs without running a message loop.
class HardWatchdog {
 public:
  explicit HardWatchdog(DWORD limit_ms) : limit_ms_(limit_ms) {
    finished_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, &HardWatchdog::watch, this, 0, nullptr);
  }
  ~HardWatchdog() {
    SetEvent(finished_);
    if (thread_ != nullptr) {
      WaitForSingleObject(thread_, INFINITE);
      CloseHandle(thread_);
    }
    CloseHandle(finished_);
  }
  HardWatchdog(const HardWatchdog&) = delete;
  HardWatchdog& operator=(const HardWatchdog&) = delete;

 private:
  static DWORD WINAPI watch(void* context) {
    auto* self = static_cast<HardWatchdog*>(context);
    if (WaitForSingleObject(self->finished_, self->limit_ms_) == WAIT_TIMEOUT) {
      std::fprintf(stderr, "dialog driver: the code under test hung; ending the test process\n");
      std::fflush(stderr);
      TerminateProcess(GetCurrentProcess(), 3);
    }
    return 0;
  }

  DWORD limit_ms_;
  HANDLE finished_ = nullptr;
  HANDLE thread_ = nullptr;
};

BOOL CALLBACK find_menu_window(HWND window, LPARAM found) {
  char class_name[16];
  if (GetClassNameA(window, class_name, sizeof class_name) > 0 && std::string(class_name) == "#32768" &&
      IsWindowVisible(window)) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

void post_key(HWND window, UINT virtual_key) {
  PostMessageA(window, WM_KEYDOWN, virtual_key, 1);
  PostMessageA(window, WM_KEYUP, virtual_key, 0xC0000001);
}

}  // namespace

DialogDriver::DialogDriver(DWORD limit_ms) : limit_ms_(limit_ms) {}

DialogDriver::~DialogDriver() {
  if (timer_ != 0) KillTimer(nullptr, timer_);
  if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
  if (active_driver == this) active_driver = nullptr;
}

DialogDriver& DialogDriver::add(std::string what, std::function<bool()> attempt) {
  steps_.push_back(Step{std::move(what), std::move(attempt)});
  return *this;
}

DialogDriver& DialogDriver::wait_until(std::string what, std::function<bool()> done) {
  return add(std::move(what), std::move(done));
}

DialogDriver& DialogDriver::then(std::string what, std::function<void()> action) {
  return add(std::move(what), [action = std::move(action)] {
    action();
    return true;
  });
}

DialogDriver& DialogDriver::wait_for_dialog() {
  const std::size_t awaited = ++dialogs_awaited_;
  return add("wait for dialog " + std::to_string(awaited), [this, awaited] {
    if (caught_.size() < awaited || dialog() == nullptr) return false;
    awaited_dialog_ = caught_[awaited - 1];
    return true;
  });
}

DialogDriver& DialogDriver::wait_for_close() {
  return add("wait for the dialog to close", [this] { return !IsWindow(awaited_dialog_); });
}

DialogDriver& DialogDriver::set_text(int id, std::string text) {
  return add("set the text of " + std::to_string(id), [this, id, text = std::move(text)] {
    if (dialog() == nullptr) return false;
    SetDlgItemTextA(dialog(), id, text.c_str());
    return true;
  });
}

DialogDriver& DialogDriver::select_item(int id, int index) {
  return add("select item " + std::to_string(index) + " of " + std::to_string(id), [this, id, index] {
    HWND owner = dialog();
    if (owner == nullptr) return false;
    HWND combo_box = GetDlgItem(owner, id);
    SendMessageA(combo_box, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    PostMessageA(owner, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo_box));
    return true;
  });
}

DialogDriver& DialogDriver::press(int id) {
  // Posted, so that whatever the click opens runs its own modal loop from
  // the dialog's, not from inside this step.
  return add("press " + std::to_string(id), [this, id] {
    if (dialog() == nullptr) return false;
    PostMessageA(GetDlgItem(dialog(), id), BM_CLICK, 0, 0);
    return true;
  });
}

DialogDriver& DialogDriver::key(UINT virtual_key) {
  return add("key " + std::to_string(virtual_key), [this, virtual_key] {
    HWND focus = GetFocus();
    if (focus == nullptr) focus = dialog();
    if (focus == nullptr) return false;
    post_key(focus, virtual_key);
    return true;
  });
}

DialogDriver& DialogDriver::wait_for_menu() {
  return add("wait for a popup menu", [] { return menu_window() != nullptr; });
}

DialogDriver& DialogDriver::menu_keys(std::initializer_list<UINT> virtual_keys) {
  return add("keys to the popup menu", [keys = std::vector<UINT>(virtual_keys)] {
    HWND menu = menu_window();
    if (menu == nullptr) return false;
    for (UINT virtual_key : keys) post_key(menu, virtual_key);
    return true;
  });
}

HWND DialogDriver::dialog() const {
  for (auto it = caught_.rbegin(); it != caught_.rend(); ++it)
    if (IsWindow(*it)) return *it;
  return nullptr;
}

HWND DialogDriver::menu_window() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), find_menu_window, reinterpret_cast<LPARAM>(&found));
  return found;
}

bool DialogDriver::run(const std::function<void()>& open) {
  if (active_driver != nullptr && active_driver != this) {
    ADD_FAILURE() << "another dialog driver is running";
    return false;
  }
  active_driver = this;
  caught_.clear();
  next_step_ = 0;
  awaited_dialog_ = nullptr;
  timed_out_ = false;
  started_ = GetTickCount();
  hook_ = SetWindowsHookExA(WH_CALLWNDPROCRET, hook_procedure, nullptr, GetCurrentThreadId());
  timer_ = SetTimer(nullptr, 0, 10, timer_procedure);
  if (hook_ == nullptr || timer_ == 0) ADD_FAILURE() << "the dialog driver could not hook or start its timer";
  {
    HardWatchdog watchdog(limit_ms_ + kHardLimitExtraMs);
    open();
  }
  KillTimer(nullptr, timer_);
  timer_ = 0;
  UnhookWindowsHookEx(hook_);
  hook_ = nullptr;
  active_driver = nullptr;
  // The timer's own messages may still wait in the queue; they would call
  // into a driver that is gone.
  MSG message;
  while (PeekMessageA(&message, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) {
  }
  // Steps that only wait for the UI to be gone can be taken now that no
  // modal loop ticks any more.
  while (!timed_out_ && next_step_ < steps_.size() && steps_[next_step_].attempt()) ++next_step_;
  if (!timed_out_ && next_step_ < steps_.size())
    ADD_FAILURE() << "the UI closed before step " << next_step_ << " (" << steps_[next_step_].what << ")";
  return !timed_out_ && next_step_ == steps_.size();
}

LRESULT CALLBACK DialogDriver::hook_procedure(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HC_ACTION && active_driver != nullptr) {
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lparam);
    if (call->message == WM_INITDIALOG) active_driver->caught_.push_back(call->hwnd);
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

void CALLBACK DialogDriver::timer_procedure(HWND, UINT, UINT_PTR, DWORD) {
  if (active_driver != nullptr) active_driver->tick();
}

void DialogDriver::tick() {
  const DWORD elapsed = GetTickCount() - started_;
  if (elapsed > limit_ms_) {
    if (!timed_out_) {
      timed_out_ = true;
      if (next_step_ < steps_.size())
        ADD_FAILURE() << "step " << next_step_ << " (" << steps_[next_step_].what << ") not done after "
                      << limit_ms_ << " ms";
      else
        ADD_FAILURE() << "the UI was still open " << limit_ms_ << " ms after the script began";
    }
    end_everything();  // again on every tick until the modal loops are gone
    return;
  }
  if (next_step_ >= steps_.size()) return;
  // The step counts as taken before it runs: should it start a modal loop of
  // its own, the ticks inside that loop go on with the following steps.
  const std::size_t index = next_step_++;
  if (!steps_[index].attempt() && next_step_ == index + 1) next_step_ = index;
}

void DialogDriver::end_everything() {
  EndMenu();
  for (auto it = caught_.rbegin(); it != caught_.rend(); ++it)
    if (IsWindow(*it)) EndDialog(*it, IDCANCEL);
}

ScopedWindow make_window(const char* class_name, DWORD style, int x, int y, int width, int height,
                         HWND parent, int id, const char* text) {
  if (parent != nullptr) style |= WS_CHILD;
  HMENU menu = parent != nullptr ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)) : nullptr;
  return ScopedWindow(CreateWindowExA(0, class_name, text, style, x, y, width, height, parent, menu,
                                      GetModuleHandleA(nullptr), nullptr));
}

ScratchSettingsFile::ScratchSettingsFile() {
  char path[kPathCapacity];
  if (!settings_file_path(path))
    ADD_FAILURE() << "no settings file path";
  else
    path_ = path;
  DeleteFileA(path_.c_str());
}

ScratchSettingsFile::~ScratchSettingsFile() { DeleteFileA(path_.c_str()); }

bool ScratchSettingsFile::exists() const {
  return GetFileAttributesA(path_.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ScratchSettingsFile::contents() const { return exists() ? read_file(path_) : std::string(); }

void ScratchSettingsFile::write(std::string_view bytes) const { write_file(path_, bytes); }

}  // namespace prismet::testing
