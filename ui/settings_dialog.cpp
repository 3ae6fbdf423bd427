#include "ui/settings_dialog.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "common/bounded_copy.h"
#include "common/fixed_text.h"
#include "res/resource.h"
#include "ui/client_area_drag.h"
#include "ui/common_controls.h"
#include "ui/control_helpers.h"
#include "ui/deferred_position.h"
#include "ui/dialog_placement.h"
#include "ui/drag_list_box.h"
#include "ui/file_chooser.h"
#include "ui/file_list.h"
#include "ui/geometry.h"
#include "ui/history_combo_box.h"
#include "ui/menu_helpers.h"
#include "ui/tag_dialog.h"
#include "ui/tag_list.h"
#include "ui/tooltip_helpers.h"

namespace prismet {

namespace {

// The dialog's own state, kept under kSettingsLayoutProperty from
// WM_INITDIALOG to WM_DESTROY. Messages that arrive before WM_INITDIALOG
// (the first WM_SIZE, WM_GETMINMAXINFO) find none and are left alone.
struct SettingsLayout {
  SIZE minimum_window{};          // outer size at creation: the smallest the user may make it
  SIZE client{};                  // client size at the last layout
  char tab_width_tip[1024] = {};  // the tooltip's text, which must outlive its tool
};

using PathBuffer = char[kPathCapacity];

// A path or extension field: its combo box, its history and the buffer of
// the record that it edits.
struct PathField {
  int id;
  const HistoryPlace* history;
  PathBuffer& (*buffer)(Settings& settings);
};

// In the order in which the histories are attached, recorded and released.
constexpr std::array<PathField, 4> kPathFields{{
    {IDC_EXTENSION, &kExtensionHistory, [](Settings& s) -> PathBuffer& { return s.extension; }},
    {IDC_VOCABULARY_FILE, &kVocabularyFileHistory,
     [](Settings& s) -> PathBuffer& { return s.vocabulary_file; }},
    {IDC_INSERT_BEFORE, &kInsertBeforeHistory,
     [](Settings& s) -> PathBuffer& { return s.style.insert_before; }},
    {IDC_INSERT_AFTER, &kInsertAfterHistory, [](Settings& s) -> PathBuffer& { return s.style.insert_after; }},
}};

// A check box and the flag of the record that it edits.
struct FlagField {
  int id;
  bool& (*flag)(Settings& settings);
};

constexpr std::array<FlagField, 3> kStyleFlags{{
    {IDC_LINE_NUMBERS, [](Settings& s) -> bool& { return s.style.line_numbers; }},
    {IDC_NBSP_SPACES, [](Settings& s) -> bool& { return s.style.nbsp_spaces; }},
    {IDC_EXPAND_TABS, [](Settings& s) -> bool& { return s.style.expand_tabs; }},
}};

// A browse button: the combo box it fills and the chooser it opens. A
// filter is a run of display text and pattern pairs; the literal's own NUL
// ends the run.
struct BrowseButton {
  int button;
  int combo_box;
  const char* title;
  const char* filter;
};

constexpr char kAnyFileFilter[] = "すべてのファイル (*.*)\0*.*\0";
constexpr char kInsertFileFilter[] = "HTML ﾌｧｲﾙ (htm; html)\0*.htm; *.html\0*.*\0*.*\0";

constexpr std::array<BrowseButton, 3> kBrowseButtons{{
    {IDC_BROWSE_VOCABULARY, IDC_VOCABULARY_FILE, "ファイルの選択", kAnyFileFilter},
    {IDC_BROWSE_INSERT_BEFORE, IDC_INSERT_BEFORE, "挿入するファイルを選ぶ", kInsertFileFilter},
    {IDC_BROWSE_INSERT_AFTER, IDC_INSERT_AFTER, "挿入するファイルを選ぶ", kInsertFileFilter},
}};

// On resizing, these follow the right edge...
constexpr int kMovedWithRightEdge[] = {IDOK,
                                       IDCANCEL,
                                       IDC_EXTENSION_LABEL,
                                       IDC_EXTENSION,
                                       IDC_EXPAND_TABS,
                                       IDC_TAB_WIDTH,
                                       IDC_TAB_WIDTH_SPIN,
                                       IDC_NBSP_SPACES,
                                       IDC_LINE_NUMBERS,
                                       IDC_SHOW_SETTINGS_DIALOG,
                                       IDC_BROWSE_VOCABULARY,
                                       IDC_BROWSE_INSERT_BEFORE,
                                       IDC_BROWSE_INSERT_AFTER};
// ...these stretch sideways...
constexpr int kWidenedWithRightEdge[] = {IDC_VOCABULARY_FILE, IDC_INSERT_BEFORE, IDC_INSERT_AFTER,
                                         IDC_TAG_LIST};
// ...and the file list stretches sideways and grows downwards. One batch
// moves them all, made for that many windows.
constexpr int kLayoutWindowCount =
    static_cast<int>(std::size(kMovedWithRightEdge) + std::size(kWidenedWithRightEdge)) + 1;

constexpr char kTopmostMenuText[] = "常に最前面に表示(&T)";
constexpr char kTabWidthTipFormat[] = "タブ幅 : %d ～ %d";

CustomBoxParam* param_of(HWND dialog) {
  return static_cast<CustomBoxParam*>(GetPropA(dialog, kCustomBoxParamProperty));
}

SettingsLayout* layout_of(HWND dialog) {
  return static_cast<SettingsLayout*>(GetPropA(dialog, kSettingsLayoutProperty));
}

bool is_checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void set_checked(HWND dialog, int id, bool checked) {
  CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

// The answer of a message whose result the dialog manager takes from
// DWLP_MSGRESULT.
INT_PTR answer(HWND dialog, LRESULT result) {
  SetWindowLongPtrA(dialog, DWLP_MSGRESULT, result);
  return TRUE;
}

// A field's text cut to what its buffer holds, never inside a double-byte
// character; none when no memory is left for it.
std::optional<std::string> path_field_text(HWND dialog, int id) {
  std::optional<std::string> text = dialog_item_text(dialog, id);
  if (!text) return std::nullopt;
  char cut[kPathCapacity];
  copy_string_bounded(cut, text->c_str(), sizeof cut);
  text->assign(cut);
  return text;
}

// The text of a number field as an unsigned decimal number. Blanks may stand
// around the digits; no digits, or anything else, gives 0, as the system's
// GetDlgItemInt has it. A number beyond what an unsigned int holds saturates
// rather than failing, so a long run of digits still reads as large.
unsigned int unsigned_decimal(const std::string& text) {
  constexpr unsigned int kMost = std::numeric_limits<unsigned int>::max();
  std::size_t position = text.find_first_not_of(' ');
  if (position == std::string::npos) return 0;
  unsigned int value = 0;
  const std::size_t first_digit = position;
  for (; position < text.size() && text[position] >= '0' && text[position] <= '9'; ++position) {
    const unsigned int digit = static_cast<unsigned int>(text[position] - '0');
    value = value > (kMost - digit) / 10 ? kMost : value * 10 + digit;
  }
  if (position == first_digit || text.find_first_not_of(' ', position) != std::string::npos) return 0;
  return value;
}

// The tab width that OK stores for the number read from the field.
int clamp_tab_width(unsigned int typed) {
  if (typed < static_cast<unsigned int>(kMinTabWidth)) return kMinTabWidth;
  if (typed > static_cast<unsigned int>(kMaxTabWidth)) return kMaxTabWidth;
  return static_cast<int>(typed);
}

// --- Initialisation

void show_tab_width(HWND dialog, int tab_width) {
  SetDlgItemInt(dialog, IDC_TAB_WIDTH, static_cast<UINT>(tab_width), FALSE);
  HWND spin = GetDlgItem(dialog, IDC_TAB_WIDTH_SPIN);
  set_updown_buddy(spin, GetDlgItem(dialog, IDC_TAB_WIDTH));
  set_updown_range(spin, kMinTabWidth, kMaxTabWidth);
  set_updown_pos(spin, tab_width);
}

void enable_tab_width(HWND dialog) {
  const bool expand = is_checked(dialog, IDC_EXPAND_TABS);
  enable_dialog_item(dialog, IDC_TAB_WIDTH, expand);
  enable_dialog_item(dialog, IDC_TAB_WIDTH_SPIN, expand);
}

void fill_file_list(HWND dialog, const std::vector<std::string>& files) {
  HWND list = GetDlgItem(dialog, IDC_FILE_LIST);
  attach_drag_list_box(list);
  DragAcceptFiles(list, TRUE);
  // The command line's paths as they were given, repeats included; the list
  // box sorts them.
  for (const std::string& file : files)
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(file.c_str()));
}

void add_topmost_menu_item(HWND dialog) {
  HMENU menu = GetSystemMenu(dialog, FALSE);
  const int count = GetMenuItemCount(menu);
  for (int position = 0; position < count; ++position) {
    if (GetMenuItemID(menu, position) == SC_MAXIMIZE) {
      InsertMenuA(menu, static_cast<UINT>(position + 1), MF_BYPOSITION | MF_STRING, IDM_TOPMOST,
                  kTopmostMenuText);
      return;
    }
  }
}

// The remembered size is never below the size at creation, which is the
// smallest the window may be: a settings file edited by hand cannot squeeze
// the controls on top of each other.
void apply_placement(HWND dialog, const SettingsLayout& layout) {
  DialogPlacement placement;
  placement.width = layout.minimum_window.cx;
  placement.height = layout.minimum_window.cy;
  load_dialog_placement(kSettingsPlacementSection, placement);
  set_topmost(dialog, placement.topmost);
  set_window_size(dialog, std::max<int>(placement.width, layout.minimum_window.cx),
                  std::max<int>(placement.height, layout.minimum_window.cy));
  center_on_cursor(dialog);
  if (placement.maximized) ShowWindow(dialog, SW_SHOWMAXIMIZED);
}

void add_tab_width_tip(HWND dialog, SettingsLayout& layout) {
  HWND tooltip = create_tooltip(dialog, GetModuleHandleA(nullptr), TTS_ALWAYSTIP, 0);
  std::snprintf(layout.tab_width_tip, sizeof layout.tab_width_tip, kTabWidthTipFormat, kMinTabWidth,
                kMaxTabWidth);
  add_tool(tooltip, TTF_SUBCLASS, dialog, GetDlgItem(dialog, IDC_TAB_WIDTH), layout.tab_width_tip);
}

INT_PTR on_init_dialog(HWND dialog, CustomBoxParam* param) {
  std::unique_ptr<SettingsLayout> layout(new (std::nothrow) SettingsLayout);
  if (param == nullptr || layout == nullptr || !SetPropA(dialog, kCustomBoxParamProperty, param)) {
    EndDialog(dialog, IDCANCEL);
    return TRUE;
  }
  set_program_icons(dialog);
  layout->client = client_size(dialog);
  layout->minimum_window = window_size(dialog);
  if (!SetPropA(dialog, kSettingsLayoutProperty, layout.get())) {
    EndDialog(dialog, IDCANCEL);
    return TRUE;
  }
  SettingsLayout& kept = *layout.release();  // owned by the dialog until WM_DESTROY
  center_on_cursor(dialog);

  Settings& settings = param->settings;
  set_checked(dialog, IDC_SHOW_SETTINGS_DIALOG, settings.show_settings_dialog);
  for (const PathField& field : kPathFields)
    attach_history(dialog, field.id, field.history->section, field.buffer(settings), field.history->property);
  for (const FlagField& flag : kStyleFlags) set_checked(dialog, flag.id, flag.flag(settings));
  show_tab_width(dialog, settings.style.tab_width);
  enable_tab_width(dialog);
  fill_tag_list(GetDlgItem(dialog, IDC_TAG_LIST), settings.style);
  fill_file_list(dialog, param->files);
  add_topmost_menu_item(dialog);
  apply_placement(dialog, kept);
  add_tab_width_tip(dialog, kept);
  return TRUE;  // the focus goes to the first tab stop
}

// --- Commands

INT_PTR on_ok(HWND dialog, WORD) {
  CustomBoxParam* param = param_of(dialog);
  if (param == nullptr) return TRUE;
  // Everything is read before anything changes, so that running out of
  // memory leaves the record whole (and the dialog open).
  std::array<std::string, kPathFields.size()> paths;
  std::array<std::optional<TagPair>, kTagRows.size()> tags;
  std::vector<std::string> files;
  std::optional<std::string> tab_width = dialog_item_text(dialog, IDC_TAB_WIDTH);
  if (!tab_width) return TRUE;
  try {
    for (std::size_t i = 0; i < kPathFields.size(); ++i) {
      std::optional<std::string> text = path_field_text(dialog, kPathFields[i].id);
      if (!text) return TRUE;
      paths[i] = std::move(*text);
    }
    HWND tag_list = GetDlgItem(dialog, IDC_TAG_LIST);
    for (std::size_t i = 0; i < kTagRows.size(); ++i) {
      const int row = find_tag_row(tag_list, kTagRows[i].name);
      if (row >= 0) tags[i] = read_row_tags(tag_list, row);
    }
    files = list_box_entries(GetDlgItem(dialog, IDC_FILE_LIST));
  } catch (const std::bad_alloc&) {
    return TRUE;
  }

  Settings& settings = param->settings;
  settings.show_settings_dialog = is_checked(dialog, IDC_SHOW_SETTINGS_DIALOG);
  for (std::size_t i = 0; i < kPathFields.size(); ++i)
    copy_string_bounded(kPathFields[i].buffer(settings), paths[i].c_str());
  for (const PathField& field : kPathFields)
    record_history(dialog, field.history->property, field.history->section, field.buffer(settings));
  for (const FlagField& flag : kStyleFlags) flag.flag(settings) = is_checked(dialog, flag.id);
  settings.style.tab_width = clamp_tab_width(unsigned_decimal(*tab_width));
  for (std::size_t i = 0; i < kTagRows.size(); ++i)
    if (tags[i]) settings.style.*kTagRows[i].pair = std::move(*tags[i]);
  param->files = std::move(files);  // conversion follows the list's sorted order
  EndDialog(dialog, IDOK);
  return TRUE;
}

INT_PTR on_cancel(HWND dialog, WORD) {
  EndDialog(dialog, IDCANCEL);
  return TRUE;
}

// The chooser starts at the field's file; the history is recorded only on OK.
INT_PTR on_browse(HWND dialog, WORD id) {
  for (const BrowseButton& browse : kBrowseButtons) {
    if (browse.button != id) continue;
    char initial[kPathCapacity] = {};
    GetDlgItemTextA(dialog, browse.combo_box, initial, sizeof initial);
    char chosen[kPathCapacity] = {};
    if (choose_file(dialog, OFN_HIDEREADONLY, chosen, sizeof chosen, initial, browse.title, browse.filter))
      SetDlgItemTextA(dialog, browse.combo_box, chosen);
  }
  return TRUE;
}

INT_PTR on_expand_tabs(HWND dialog, WORD) {
  enable_tab_width(dialog);
  return TRUE;
}

INT_PTR on_delete_file(HWND dialog, WORD) {
  delete_selected_file(GetDlgItem(dialog, IDC_FILE_LIST));
  return FALSE;
}

struct CommandHandler {
  WORD id;
  INT_PTR (*handle)(HWND dialog, WORD id);
};

constexpr CommandHandler kCommands[] = {
    {IDOK, on_ok},
    {IDCANCEL, on_cancel},
    {IDC_BROWSE_VOCABULARY, on_browse},
    {IDC_BROWSE_INSERT_BEFORE, on_browse},
    {IDC_BROWSE_INSERT_AFTER, on_browse},
    {IDC_EXPAND_TABS, on_expand_tabs},
    {IDM_DELETE_FILE, on_delete_file},
};

// Only the id is looked at, not the notification code.
INT_PTR on_command(HWND dialog, WORD id) {
  for (const CommandHandler& command : kCommands)
    if (command.id == id) return command.handle(dialog, id);
  return FALSE;
}

// --- Notifications

// Only a double click opens the tag dialog, and only on a selected row.
void edit_selected_row(HWND dialog) {
  HWND list = GetDlgItem(dialog, IDC_TAG_LIST);
  const int row = selected_row(list);
  if (row < 0) return;
  try {
    TagPair pair = read_row_tags(list, row);
    if (show_tag_dialog(dialog, pair)) write_row_tags(list, row, pair);
  } catch (const std::bad_alloc&) {
  }
}

INT_PTR on_tag_list_notify(HWND dialog, const NMHDR& header) {
  if (header.code != static_cast<UINT>(NM_DBLCLK)) return FALSE;
  edit_selected_row(dialog);
  return TRUE;
}

void show_file_list_menu(HWND dialog, HWND list) {
  if (SendMessageA(list, LB_GETCOUNT, 0, 0) <= 0) return;
  popup_menu_at_cursor(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDM_FILE_LIST_MENU), 0, dialog,
                       TPM_RIGHTBUTTON);
}

// The list stays in its sorted order: every move is refused. What the
// dialog does not handle goes back to the list box for its default action.
INT_PTR on_file_list_notify(HWND dialog, WPARAM wparam, LPARAM lparam) {
  auto& notice = *reinterpret_cast<DDLBNOTIFY*>(lparam);
  HWND list = notice.hdr.hwndFrom;
  switch (notice.hdr.code) {
    case DDLBN_QUERYMOVE:
      return answer(dialog, 1);
    case DDLBN_DROPFILES:
      add_dropped_files(list, reinterpret_cast<HDROP>(notice.wParam));
      return FALSE;
    case DDLBN_CONTEXTMENU:
      show_file_list_menu(dialog, list);
      return FALSE;
    default:
      return answer(dialog, SendMessageA(list, WM_NOTIFY, wparam, lparam));
  }
}

// The sender is checked as well as the id: the tooltip's notifications carry
// the tool's window handle as their id.
INT_PTR on_notify(HWND dialog, WPARAM id, LPARAM lparam) {
  const auto& header = *reinterpret_cast<const NMHDR*>(lparam);
  if (header.hwndFrom != GetDlgItem(dialog, static_cast<int>(id))) return FALSE;
  switch (id) {
    case IDC_TAG_LIST:
      return on_tag_list_notify(dialog, header);
    case IDC_FILE_LIST:
      return on_file_list_notify(dialog, id, lparam);
    default:
      return FALSE;
  }
}

// --- Window state

// The right-hand column and the browse buttons follow the right edge, the
// path fields and the tag list stretch sideways, and only the file list
// grows downwards. A batch that fails leaves the controls where they were
// and the remembered size as it was, so the next resize makes up for it.
void layout_settings_dialog(HWND dialog, WPARAM size_type, LPARAM client) {
  SettingsLayout* layout = layout_of(dialog);
  if (layout == nullptr || size_type == SIZE_MINIMIZED) return;
  const int width = LOWORD(client);
  const int height = HIWORD(client);
  const int dx = width - layout->client.cx;
  const int dy = height - layout->client.cy;
  HDWP batch = BeginDeferWindowPos(kLayoutWindowCount);
  if (batch == nullptr) return;
  for (int id : kMovedWithRightEdge) defer_move_by(batch, GetDlgItem(dialog, id), dx, 0);
  for (int id : kWidenedWithRightEdge) defer_size_item_by(batch, dialog, id, dx, 0);
  defer_size_item_by(batch, dialog, IDC_FILE_LIST, dx, dy);
  if (batch == nullptr || !EndDeferWindowPos(batch)) return;
  layout->client = SIZE{width, height};
}

INT_PTR on_get_min_max_info(HWND dialog, MINMAXINFO& limits) {
  const SettingsLayout* layout = layout_of(dialog);
  if (layout == nullptr) return FALSE;
  limits.ptMinTrackSize = POINT{layout->minimum_window.cx, layout->minimum_window.cy};
  return TRUE;
}

INT_PTR on_sys_command(HWND dialog, WPARAM command) {
  if (LOWORD(command) != IDM_TOPMOST) return FALSE;
  set_topmost(dialog, !is_topmost(dialog));
  return TRUE;
}

INT_PTR on_init_menu_popup(HWND dialog) {
  check_menu_item(GetSystemMenu(dialog, FALSE), IDM_TOPMOST, MF_BYCOMMAND, is_topmost(dialog));
  return TRUE;
}

// The window state is remembered however the dialog ended.
INT_PTR on_destroy(HWND dialog) {
  save_dialog_placement(dialog, kSettingsPlacementSection);
  RemovePropA(dialog, kCustomBoxParamProperty);
  std::unique_ptr<SettingsLayout> layout(
      static_cast<SettingsLayout*>(RemovePropA(dialog, kSettingsLayoutProperty)));
  for (const PathField& field : kPathFields) release_history(dialog, field.history->property);
  release_window_icons(dialog);
  return TRUE;
}

INT_PTR CALLBACK settings_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG:
      return on_init_dialog(dialog, reinterpret_cast<CustomBoxParam*>(lparam));
    case WM_COMMAND:
      return on_command(dialog, LOWORD(wparam));
    case WM_NOTIFY:
      return on_notify(dialog, wparam, lparam);
    case WM_SIZE:
      layout_settings_dialog(dialog, wparam, lparam);
      return TRUE;
    case WM_GETMINMAXINFO:
      return on_get_min_max_info(dialog, *reinterpret_cast<MINMAXINFO*>(lparam));
    case WM_NCHITTEST:
      return drag_by_client_area(dialog, message, wparam, lparam);
    case WM_SYSCOMMAND:
      return on_sys_command(dialog, wparam);
    case WM_INITMENUPOPUP:
      return on_init_menu_popup(dialog);
    case WM_DESTROY:
      return on_destroy(dialog);
    default:
      return FALSE;
  }
}

}  // namespace

bool run_settings_dialog(HWND owner, CustomBoxParam& param) {
  register_common_control_classes();
  return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SETTINGS_DIALOG), owner,
                         settings_dialog_proc, reinterpret_cast<LPARAM>(&param)) == IDOK;
}

}  // namespace prismet
