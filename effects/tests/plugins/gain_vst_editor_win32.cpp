// The window of the test gain plug-in's editor: one line of text in the
// host's window, so that a test can find it there.

#include <windows.h>

#include "effects/tests/plugins/gain_plugin_editor.h"

namespace {

GainEditorRect g_rect{0, 0, 120, 320};
HWND g_window = nullptr;

}  // namespace

GainEditorRect* gainEditorRect() { return &g_rect; }

void openGainEditor(void* parent) {
  if (g_window) return;
  g_window = CreateWindowExW(0, L"STATIC", L"Zed Test Gain editor", WS_CHILD | WS_VISIBLE | SS_CENTER, 0, 40, 320, 40,
                             static_cast<HWND>(parent), reinterpret_cast<HMENU>(kGainEditorControlId),
                             GetModuleHandleW(nullptr), nullptr);
}

void closeGainEditor() {
  if (g_window) DestroyWindow(g_window);
  g_window = nullptr;
}
