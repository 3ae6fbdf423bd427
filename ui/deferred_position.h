// Moves and resizes inside a deferred window-position batch.
//
// None of these begins or ends a batch: the caller runs BeginDeferWindowPos,
// hands the batch to any number of them and ends it with EndDeferWindowPos.
// Each replaces `batch` with what DeferWindowPos returns, so after a failure
// the batch is empty and the platform refuses the rest of it.
#pragma once

#include <windows.h>

namespace prismet {

void defer_move(HDWP& batch, HWND window, int x, int y);
void defer_size(HDWP& batch, HWND window, int width, int height);

// Moves the window by (dx, dy) from where it is now.
void defer_move_by(HDWP& batch, HWND window, int dx, int dy);
// Grows the window by (dw, dh) from its current size (negative: shrinks).
void defer_size_by(HDWP& batch, HWND window, int dw, int dh);
void defer_size_item_by(HDWP& batch, HWND dialog, int id, int dw, int dh);

}  // namespace prismet
