// The frame's key handler, ahead of menus and accelerators: user-assigned
// keys and macros first, then the default key table.

#include "editor/command_ids.h"
#include "editor/document_window.h"
#include "editor/frame.h"
#include "editor/model/keys_file.h"
#include "editor/playback_control.h"

namespace {

uint32_t currentKeyCode(UINT virtualKey) {
  uint32_t code = virtualKey;
  if (GetKeyState(VK_CONTROL) < 0) code |= kKeyCtrl;
  if (GetKeyState(VK_MENU) < 0) code |= kKeyAlt;
  if (GetKeyState(VK_SHIFT) < 0) code |= kKeyShift;
  return code;
}

bool isScanKey(UINT virtualKey) {
  return virtualKey == VK_LEFT || virtualKey == VK_RIGHT || virtualKey == VK_F7 || virtualKey == VK_F8;
}

}  // namespace

bool Frame::preTranslate(MSG& message) {
  if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN && message.message != WM_KEYUP &&
      message.message != WM_SYSKEYUP)
    return false;
  // Keys typed into another top-level window (a modeless dialog) are its own.
  HWND root = GetAncestor(message.hwnd, GA_ROOT);
  if (root != m_window) return false;
  bool down = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
  auto virtualKey = static_cast<UINT>(message.wParam);
  bool repeat = (message.lParam & (1 << 30)) != 0;
  return down ? onKeyDown(virtualKey, repeat) : onKeyUp(virtualKey);
}

bool Frame::onKeyDown(UINT virtualKey, bool repeat) {
  // Holding a scan key keeps one scan running: its repeats are dropped.
  if (repeat && isScanKey(virtualKey)) return true;
  uint32_t code = currentKeyCode(virtualKey);
  if (const UserKey* key = findUserKey(m_userKeys, code)) {
    for (uint32_t command : key->commands) SendMessageW(m_window, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    return true;
  }
  DocumentWindow* document = activeDocument();
  switch (virtualKey) {
    case VK_SHIFT:
      if (!m_shiftHeld && document) m_anchor = document->view().cursor;
      m_shiftHeld = true;
      return false;
    case VK_SPACE:
      if (code != VK_SPACE || !document) break;
      m_playback->pause(document);
      return true;
    case VK_LEFT:
    case VK_F7:
    case VK_RIGHT:
    case VK_F8: {
      if ((code & ~kKeyShift) != virtualKey || !document) break;
      m_follow = (code & kKeyShift) != 0;
      bool back = virtualKey == VK_LEFT || virtualKey == VK_F7;
      m_playback->pressScan(back ? ScanDirection::Rewind : ScanDirection::FastForward, document);
      if (m_follow) {
        ViewState& view = document->view();
        setSelection(view, m_anchor, view.cursor, document->length());
        document->viewChanged();
      }
      return true;
    }
    case VK_HOME:
    case VK_END:
      if ((code & ~kKeyShift) != virtualKey) break;
      m_follow = (code & kKeyShift) != 0;
      onCommand(virtualKey == VK_HOME ? cmd::GoToStart : cmd::GoToEnd, 0);
      return true;
  }
  std::vector<uint32_t> commands = defaultKeyCommands(code);
  if (commands.empty()) return false;
  for (uint32_t command : commands) SendMessageW(m_window, WM_COMMAND, MAKEWPARAM(command, 0), 0);
  return true;
}

bool Frame::onKeyUp(UINT virtualKey) {
  if (findUserKey(m_userKeys, currentKeyCode(virtualKey))) return true;
  switch (virtualKey) {
    case VK_SHIFT: m_shiftHeld = false; break;
    case VK_HOME:
    case VK_END: m_follow = false; break;
    case VK_LEFT:
    case VK_F7:
    case VK_RIGHT:
    case VK_F8:
      m_follow = false;
      m_playback->releaseScan(activeDocument());
      break;
  }
  return false;
}
