#include "ui/history_combo_box.h"

#include "ui/input_history.h"

namespace prismet {

namespace {

InputHistory* attached_history(HWND dialog, const char* property) {
  return static_cast<InputHistory*>(GetPropA(dialog, property));
}

void fill_combo_box(HWND combo_box, const InputHistory& history) {
  for (InputHistory::Node* node = history.first(); node != nullptr; node = node->next())
    SendMessageA(combo_box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(node->item().c_str()));
}

// The combo box's prefix search picks the first item beginning with the
// text, so a more recent, longer entry (".html" for ".htm") is offered. The
// empty text begins every item, so it is never searched for: an empty tag
// must stay empty rather than take the most recent entry on OK.
void show_initial_text(HWND dialog, int id, const char* initial_text) {
  HWND combo_box = GetDlgItem(dialog, id);
  if (initial_text[0] != '\0' && SendMessageA(combo_box, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                                              reinterpret_cast<LPARAM>(initial_text)) != CB_ERR)
    return;
  SetDlgItemTextA(dialog, id, initial_text);
}

}  // namespace

bool attach_history(HWND dialog, int id, const char* section, const char* initial_text,
                    const char* property) {
  InputHistoryPtr history = load_history(section, "");
  bool attached = false;
  if (history && SetPropA(dialog, property, history.get())) {
    fill_combo_box(GetDlgItem(dialog, id), *history);
    history.release();  // now owned by the dialog until release_history
    attached = true;
  }
  show_initial_text(dialog, id, initial_text);
  return attached;
}

bool record_history(HWND dialog, const char* property, const char* section, const char* text) {
  InputHistory* history = attached_history(dialog, property);
  if (history == nullptr || push_history(*history, text) < 0) return false;
  return save_history(section, *history);
}

bool release_history(HWND dialog, const char* property) {
  InputHistoryPtr history(static_cast<InputHistory*>(RemovePropA(dialog, property)));
  if (!history) return false;
  free_history(std::move(history));
  return true;
}

}  // namespace prismet
