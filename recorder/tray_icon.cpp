#include "recorder/tray_icon.h"

#include <shellapi.h>

#include "recorder/recorder_icons.h"

namespace recorder {

TrayIcon::TrayIcon()
    : m_smallNormal(drawRecorderIcon(false, 16)),
      m_smallRecording(drawRecorderIcon(true, 16)),
      m_bigNormal(drawRecorderIcon(false, 32)),
      m_bigRecording(drawRecorderIcon(true, 32)) {}

TrayIcon::~TrayIcon() {
  hide();
  for (HICON icon : {m_smallNormal, m_smallRecording, m_bigNormal, m_bigRecording})
    if (icon) DestroyIcon(icon);
}

void TrayIcon::update(DWORD message) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = m_owner;
  data.uID = 1;
  data.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
  data.uCallbackMessage = kTrayMessage;
  data.hIcon = smallIcon(m_recording);
  wcsncpy(data.szTip, m_recording ? L"Recording" : L"Rezara", ARRAYSIZE(data.szTip) - 1);
  Shell_NotifyIconW(message, &data);
}

void TrayIcon::show() {
  if (m_shown || !m_owner) return;
  update(NIM_ADD);
  m_shown = true;
}

void TrayIcon::hide() {
  if (!m_shown) return;
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = m_owner;
  data.uID = 1;
  Shell_NotifyIconW(NIM_DELETE, &data);
  m_shown = false;
}

void TrayIcon::setRecording(bool recording) {
  m_recording = recording;
  if (m_shown) update(NIM_MODIFY);
}

void TrayIcon::showMenu(HINSTANCE instance, int menuId) {
  HMENU menu = LoadMenuW(instance, MAKEINTRESOURCEW(menuId));
  if (!menu) return;
  POINT cursor;
  GetCursorPos(&cursor);
  // The menu closes when the user clicks elsewhere only if the owner is in front.
  SetForegroundWindow(m_owner);
  TrackPopupMenu(GetSubMenu(menu, 0), TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, m_owner, nullptr);
  PostMessageW(m_owner, WM_NULL, 0, 0);
  DestroyMenu(menu);
}

}  // namespace recorder
