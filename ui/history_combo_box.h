// Drop-down combo boxes that offer a field's input history.
//
// A dialog attaches one history per field at WM_INITDIALOG, records the
// confirmed text at OK and releases the history at WM_DESTROY. While the
// dialog is open the history lives under a window property of the dialog.
#pragma once

#include <windows.h>

namespace prismet {

// Where each field's history is kept: its section of the settings file and
// the dialog's window property that holds it.
struct HistoryPlace {
  const char* section;
  const char* property;
};

inline constexpr HistoryPlace kExtensionHistory{"履歴：拡張子", "PROP_INPUTHISTORYEXTENSION"};
inline constexpr HistoryPlace kVocabularyFileHistory{"履歴：語彙の指定", "PROP_INPUTHISTORYVOCABULARYFILE"};
inline constexpr HistoryPlace kInsertBeforeHistory{"履歴：先頭に挿入", "PROP_INPUTHISTORYHEADFILENAME"};
inline constexpr HistoryPlace kInsertAfterHistory{"履歴：末尾に挿入", "PROP_INPUTHISTORYBOTTOMFILENAME"};
inline constexpr HistoryPlace kOpenTagHistory{"履歴：直前に挿入", "PROP_INPUTHISTORYOPENTAG"};
inline constexpr HistoryPlace kCloseTagHistory{"履歴：直後に挿入", "PROP_INPUTHISTORYCLOSETAG"};

// Loads the history of `section`, keeps it under `property` of the dialog
// and lists it, most recent first, in the combo box `id` (which must not
// sort). The field shows the first item that begins with `initial_text`,
// compared without regard to case, or else `initial_text` itself; an empty
// initial text is always shown as it is. False when the history could not
// be loaded or kept (the field then just holds the initial text).
bool attach_history(HWND dialog, int id, const char* section, const char* initial_text, const char* property);

// Puts `text` at the front of the history under `property` and saves the
// whole history to `section` at once. False when the dialog holds no such
// history or it could not be brought up to date.
bool record_history(HWND dialog, const char* property, const char* section, const char* text);

// Removes the property and frees its history. False when there was none.
bool release_history(HWND dialog, const char* property);

}  // namespace prismet
