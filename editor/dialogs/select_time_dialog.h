#pragma once

#include <windows.h>

#include "editor/model/view_state.h"

// The "Select Specified Time" dialog: start and end times; true when the
// selection was changed.
bool askSpecifiedTime(HWND owner, ViewState& view, int32_t length);
