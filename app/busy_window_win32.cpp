#include "app/busy_window_win32.h"

#include <cstdlib>
#include <cstring>

#include "app/program_icon_win32.h"
#include "common/bounded_copy.h"

namespace prismet {

namespace {

#if defined(__i386__)
static_assert(sizeof(WNDCLASSEXA) == 48, "the 32-bit class record is 48 bytes");
#endif

HICON load_icon_resource(HINSTANCE instance, LPCSTR name, int width, int height, UINT flags) {
  return static_cast<HICON>(LoadImageA(instance, name, IMAGE_ICON, width, height, flags));
}

ATOM register_window_class(HINSTANCE instance, const char* class_name, WNDPROC procedure, UINT style,
                           const char* menu_name, int stock_object) {
  WNDCLASSEXA window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.style = style;
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = instance;
  // The class keeps these icons for the life of the process.
  window_class.hIcon = program_icon(instance, 0);
  window_class.hIconSm = program_icon(instance, 1);
  window_class.hCursor = nullptr;
  window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(stock_object));
  window_class.lpszMenuName = menu_name;
  window_class.lpszClassName = class_name;
  return RegisterClassExA(&window_class);
}

BOOL fill_notify_icon_data(NOTIFYICONDATAA& record, HWND window, UINT id, UINT callback_message, HICON icon,
                           const char* tip) {
  std::memset(&record, 0, sizeof record);
  record.cbSize = kNotifyIconRecordSize;
  record.hWnd = window;
  record.uID = id;
  record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  record.uCallbackMessage = callback_message;
  record.hIcon = icon;
  copy_string_bounded(record.szTip, tip, 64);
  return TRUE;
}

NOTIFYICONDATAA* add_notify_icon(NOTIFYICONDATAA* destination, HWND window, UINT id, UINT callback_message,
                                 HICON icon, const char* tip) {
  NOTIFYICONDATAA record;
  fill_notify_icon_data(record, window, id, callback_message, icon, tip);
  Shell_NotifyIconA(NIM_ADD, &record);
  std::memcpy(destination, &record, kNotifyIconRecordSize);
  return destination;
}

}  // namespace

ATOM register_busy_window_class(HINSTANCE instance) {
  return register_window_class(instance, kBusyWindowClass, DefWindowProcA, 0, "", NULL_BRUSH);
}

HWND create_busy_window(HINSTANCE instance, const char* tip) {
  HWND window =
      CreateWindowExA(0, kBusyWindowClass, "prismet", WS_POPUP | WS_MINIMIZE, CW_USEDEFAULT, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return nullptr;
  // The window owns a heap copy of the record, in its first 88-byte form;
  // room for the whole structure keeps every access in bounds.
  auto* record = static_cast<NOTIFYICONDATAA*>(std::calloc(1, sizeof(NOTIFYICONDATAA)));
  if (record == nullptr) return window;
  HICON icon = load_icon_resource(instance, MAKEINTRESOURCEA(kProgramIconResource), 16, 16, 0);
  NOTIFYICONDATAA added;
  add_notify_icon(&added, window, kTrayIconId, kTrayCallbackMessage, icon, tip);
  std::memcpy(record, &added, kNotifyIconRecordSize);
  if (!SetPropA(window, kWaitIconProperty, record)) {
    Shell_NotifyIconA(NIM_DELETE, record);
    if (icon != nullptr) DestroyIcon(icon);
    std::free(record);
  }
  return window;
}

bool destroy_busy_window(HWND window) {
  if (window != nullptr) {
    auto* record = static_cast<NOTIFYICONDATAA*>(GetPropA(window, kWaitIconProperty));
    RemovePropA(window, kWaitIconProperty);
    if (record != nullptr) {
      Shell_NotifyIconA(NIM_DELETE, record);
      if (record->hIcon != nullptr) DestroyIcon(record->hIcon);
      std::free(record);
    }
    DestroyWindow(window);
  }
  PostQuitMessage(0);
  // Messages that arrived while files were converted (the icon's callbacks
  // among them) go to the default procedure now.
  MSG message{};
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return message.message == WM_QUIT && message.wParam == 0;
}

}  // namespace prismet
