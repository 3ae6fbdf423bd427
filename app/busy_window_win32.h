// The hidden window that stands for a run in progress: while it exists the
// notification area shows the program's icon with a tip; destroying it takes
// the icon away again and leaves no message of its own in the queue.
#pragma once

#include <windows.h>
#include <shellapi.h>

namespace prismet {

// The tray icon record in its first form (no fields after the 64-byte tip).
inline constexpr DWORD kNotifyIconRecordSize = NOTIFYICONDATAA_V1_SIZE;
#if defined(__i386__)
static_assert(kNotifyIconRecordSize == 88, "the 32-bit record is 88 bytes");
#endif

inline constexpr char kBusyWindowClass[] = "prismet";
inline constexpr char kWaitIconProperty[] = "PROP_WAITICON";
inline constexpr UINT kTrayIconId = 1;
inline constexpr UINT kTrayCallbackMessage = WM_APP;
inline constexpr int kProgramIconResource = 128;

// Registers the busy window's class: the default window procedure, the
// program's icons, no cursor and no background.
ATOM register_busy_window_class(HINSTANCE instance);

// Creates the hidden window and adds the tray icon (icon resource
// kProgramIconResource, 16 by 16) with `tip`, cut to the record's 64 bytes
// without splitting a character. The window keeps its own copy of the
// record, in its first form, under kWaitIconProperty.
HWND create_busy_window(HINSTANCE instance, const char* tip);

// Removes the tray icon, destroys the window and drains the thread's message
// queue up to the quit message it posts. True when that message carried 0.
bool destroy_busy_window(HWND window);

}  // namespace prismet
