#include "settings/output_style.h"

#include "common/bounded_copy.h"

namespace prismet {

void set_default_output_style(OutputStyle& style, const char* insert_before, const char* insert_after) {
  style.tab_width = 4;
  style.line_numbers = false;
  style.expand_tabs = false;
  style.nbsp_spaces = false;
  style.whole = {"<PRE>", "</PRE>"};
  style.comment = {"<FONT COLOR=\"#008040\">", "</FONT>"};
  style.constant = {"<FONT COLOR=\"#FF0000\">", "</FONT>"};
  style.char_constant = {"<FONT COLOR=\"#FF0000\">", "</FONT>"};
  style.string_literal = {"<FONT COLOR=\"#FF0000\">", "</FONT>"};
  style.keyword = {"<FONT COLOR=\"#0000FF\">", "</FONT>"};
  style.line_number = {"", ""};
  style.line = {"", ""};
  copy_string_bounded(style.insert_before, insert_before);
  copy_string_bounded(style.insert_after, insert_after);
}

void set_default_settings(Settings& settings, const char* insert_before, const char* insert_after) {
  copy_string_bounded(settings.vocabulary_file, "");
  copy_string_bounded(settings.extension, ".htm");
  settings.show_settings_dialog = true;
  set_default_output_style(settings.style, insert_before, insert_after);
}

void release_output_style(OutputStyle& style) {
  for (TagPair* pair : {&style.whole, &style.comment, &style.constant, &style.char_constant,
                        &style.string_literal, &style.keyword, &style.line_number, &style.line}) {
    std::string().swap(pair->open);
    std::string().swap(pair->close);
  }
}

}  // namespace prismet
