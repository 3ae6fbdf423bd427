// The tag list of the settings dialog: a report-view list with one row per
// output category, holding working copies of the category's open and close
// tags while the dialog is open.
#pragma once

#include <windows.h>

#include <array>
#include <cstddef>

#include "settings/output_style.h"

namespace prismet {

// A row: the category's name, shown in column 0 and used to find the row
// again, and the pair of the style it edits.
struct TagRow {
  const char* name;
  TagPair OutputStyle::*pair;
};

// In display order.
inline constexpr std::array<TagRow, 8> kTagRows{{
    {"全体", &OutputStyle::whole},
    {"ｺﾒﾝﾄ", &OutputStyle::comment},
    {"ｷｰﾜｰﾄﾞ", &OutputStyle::keyword},
    {"文字列", &OutputStyle::string_literal},
    {"文字定数", &OutputStyle::char_constant},
    {"定数", &OutputStyle::constant},
    {"行番号", &OutputStyle::line_number},
    {"行全体", &OutputStyle::line},
}};

// Columns: the category name, the open tag and the close tag.
inline constexpr int kNameColumn = 0;
inline constexpr int kOpenColumn = 1;
inline constexpr int kCloseColumn = 2;

// A tag is read back from a row through a buffer of this many bytes, so at
// most one byte fewer survives.
inline constexpr std::size_t kRowTextCapacity = 32768;

// Adds `styles` to the list view's extended styles.
void add_list_view_ex_style(HWND list, DWORD styles);

// Appends a left-aligned column; its index, or -1.
int add_list_column(HWND list, int index, const char* header, int width);

// Sets up the columns (with full-row selection and headers that can be
// reordered) and appends the eight rows with the style's tags; the first row
// is selected and has the focus.
void fill_tag_list(HWND list, const OutputStyle& style);

// The row whose name is `name` (the whole text of column 0), or -1.
int find_tag_row(HWND list, const char* name);

// Copies of the row's open and close tags. May throw std::bad_alloc.
TagPair read_row_tags(HWND list, int row);

void write_row_tags(HWND list, int row, const TagPair& pair);

// The row selected, or -1.
int selected_row(HWND list);

}  // namespace prismet
