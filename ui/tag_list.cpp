#include "ui/tag_list.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace prismet {

namespace {

struct ColumnSpec {
  const char* header;
  int width;  // pixels
};

constexpr ColumnSpec kColumns[] = {{"種類", 70}, {"開始", 175}, {"終了", 150}};

void set_cell_text(HWND list, int row, int column, const char* text) {
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = const_cast<char*>(text);
  SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

std::string cell_text(HWND list, int row, int column) {
  std::string text(kRowTextCapacity, '\0');
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = text.data();
  item.cchTextMax = static_cast<int>(text.size());
  const LRESULT length =
      SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  text.resize(static_cast<std::size_t>(length < 0 ? 0 : length));
  return text;
}

int append_row(HWND list, const char* name) {
  LVITEMA item{};
  item.mask = LVIF_TEXT;
  item.iItem = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  item.pszText = const_cast<char*>(name);
  return static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

}  // namespace

void add_list_view_ex_style(HWND list, DWORD styles) {
  // A zero mask would replace every extended style; this one adds only these.
  SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, styles, styles);
}

int add_list_column(HWND list, int index, const char* header, int width) {
  LVCOLUMNA column{};
  column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
  column.fmt = LVCFMT_LEFT;
  column.cx = width;
  column.pszText = const_cast<char*>(header);
  column.iSubItem = index;
  return static_cast<int>(
      SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column)));
}

void fill_tag_list(HWND list, const OutputStyle& style) {
  add_list_view_ex_style(list, LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP);
  int index = 0;
  for (const ColumnSpec& column : kColumns) add_list_column(list, index++, column.header, column.width);
  for (const TagRow& row : kTagRows) {
    const int added = append_row(list, row.name);
    if (added < 0) continue;
    write_row_tags(list, added, style.*row.pair);
  }
  LVITEMA state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
}

int find_tag_row(HWND list, const char* name) {
  LVFINDINFOA find{};
  find.flags = LVFI_STRING;
  find.psz = name;
  return static_cast<int>(
      SendMessageA(list, LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
}

TagPair read_row_tags(HWND list, int row) {
  // Columns are addressed by their sub-item, so the order in which the user
  // dragged the headers does not matter.
  return TagPair{cell_text(list, row, kOpenColumn), cell_text(list, row, kCloseColumn)};
}

void write_row_tags(HWND list, int row, const TagPair& pair) {
  set_cell_text(list, row, kOpenColumn, pair.open.c_str());
  set_cell_text(list, row, kCloseColumn, pair.close.c_str());
}

int selected_row(HWND list) {
  return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

}  // namespace prismet
