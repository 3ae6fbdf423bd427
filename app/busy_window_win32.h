// The hidden busy window and its tray icon.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstddef>

namespace prismet {

// The tray icon record in its first form (no fields after the 64-byte tip).
inline constexpr DWORD kNotifyIconRecordSize = NOTIFYICONDATAA_V1_SIZE;
#if defined(__i386__)
static_assert(kNotifyIconRecordSize == 88, "the 32-bit record is 88 bytes");
static_assert(sizeof(WNDCLASSEXA) == 48, "the 32-bit class record is 48 bytes");
#endif

inline constexpr char kBusyWindowClass[] = "prismet";
inline constexpr char kWaitIconProperty[] = "PROP_WAITICON";
inline constexpr UINT kTrayIconId = 1;
inline constexpr UINT kTrayCallbackMessage = WM_APP;
inline constexpr int kProgramIconResource = 128;

HICON load_icon_resource(HINSTANCE instance, LPCSTR name, int width, int height, UINT flags);

ATOM register_window_class(HINSTANCE instance, const char* class_name, WNDPROC procedure, UINT style,
                           const char* menu_name, int stock_object);
ATOM register_busy_window_class(HINSTANCE instance);

BOOL fill_notify_icon_data(NOTIFYICONDATAA& record, HWND window, UINT id, UINT callback_message, HICON icon,
                           const char* tip);
NOTIFYICONDATAA* add_notify_icon(NOTIFYICONDATAA* destination, HWND window, UINT id, UINT callback_message,
                                 HICON icon, const char* tip);

// Creates the hidden window and adds the tray icon with `tip`.
HWND create_busy_window(HINSTANCE instance, const char* tip);

// Removes the tray icon, destroys the window and drains the thread's message
// queue up to the quit message it posts. True when that message carried 0.
bool destroy_busy_window(HWND window);

}  // namespace prismet
