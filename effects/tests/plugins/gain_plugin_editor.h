#pragma once
// The editor window of the test gain plug-in, in builds that have one.

#include <cstdint>

// The control identifier of the editor's text in the host's window.
constexpr int kGainEditorControlId = 1000;

struct GainEditorRect {
  int16_t top, left, bottom, right;
};

GainEditorRect* gainEditorRect();
void openGainEditor(void* parent);
void closeGainEditor();
