// What the dialog tests share: reading a control, handing over a drop as
// the shell does, the settings file's sections and input histories as the
// test's scratch settings file holds them, and waiting a few ticks.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/history_combo_box.h"

namespace prismet::testing {

using Texts = std::vector<std::string>;

// The whole text of the dialog's control `id`; "(none)" when it cannot be
// had.
std::string text_of(HWND dialog, int id);

// A drop of `names` as the shell hands it over; whoever receives it
// finishes it.
HDROP make_drop(const Texts& names);

// The section names of a settings file's contents, in order.
Texts section_names(const std::string& contents);

// The history stored for `place`, most recent first, and storing one.
Texts stored_history(const HistoryPlace& place);
void store_history(const HistoryPlace& place, const Texts& items);

// A condition for DialogDriver::wait_until that holds after `count` ticks:
// lets a dialog run for a while, to check that something does not happen.
std::function<bool()> ticks(int count);

}  // namespace prismet::testing
