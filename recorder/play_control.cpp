#include "recorder/play_control.h"

#include <cstdio>

#include "devices/wave_out_device.h"
#include "sys/folders.h"

namespace recorder {
namespace {

constexpr DWORD kChildStyle = WS_CHILD | WS_VISIBLE | DS_CONTROL | DS_SETFONT;

// The dialog class under the control's own name, so that it can be found.
void registerControlClass(HINSTANCE instance) {
  WNDCLASSEXW type{};
  type.cbSize = sizeof type;
  if (GetClassInfoExW(instance, PlayControl::kWindowClass, &type)) return;
  if (!GetClassInfoExW(nullptr, MAKEINTRESOURCEW(0x8002), &type)) return;
  type.cbSize = sizeof type;
  type.hInstance = instance;
  type.lpszClassName = PlayControl::kWindowClass;
  RegisterClassExW(&type);
}

ui::DialogTemplate controlTemplate() {
  return ui::DialogTemplate("", 200, 18, kChildStyle)
      .windowClass(PlayControl::kWindowClass)
      .button(PlayControl::kPlay, "Play", 2, 2, 40, 14)
      .button(PlayControl::kStop, "Stop", 46, 2, 40, 14)
      .text(PlayControl::kTime, "", 92, 5, 106, 10);
}

}  // namespace

PlayControl::PlayControl(HINSTANCE instance, const FormatContext& formats)
    : ui::Dialog((registerControlClass(instance), controlTemplate()), instance), m_formats(formats) {
  m_notifier = std::make_unique<ui::NotifierWindow>([this] {
    if (m_player) m_player->onNotify();
  });
  m_player = std::make_unique<WavePlayer>(makeSystemWaveOutDevice, [this] { m_notifier->post(); });
  m_player->set_listener(this, nullptr);
}

PlayControl::~PlayControl() {
  // The player goes before the notifier its threads post to.
  m_player.reset();
  m_notifier.reset();
}

bool PlayControl::create(HWND parent) { return createModeless(parent) != nullptr; }

bool PlayControl::play(const std::string& path) {
  stop();
  m_file = path;
  OpenedSound opened = openSoundFile(path, m_formats);
  if (opened.result != 0 || !opened.source) return false;
  const bool playing = m_player->open_and_play(std::move(opened.source));
  showTime();
  return playing;
}

void PlayControl::stop() {
  if (m_player->isOpen()) m_player->stop();
  showTime();
}

bool PlayControl::playing() const { return m_player->isOpen(); }

void PlayControl::onCommand(int id, int) {
  if (id == kPlay && !m_file.empty()) {
    if (!play(m_file)) MessageBoxW(GetParent(handle()), L"Cannot play the selected file.", L"Rezara Recording List",
                                   MB_OK | MB_ICONWARNING);
  } else if (id == kStop) {
    stop();
  }
}

INT_PTR PlayControl::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  // Enter and Escape belong to the list window, not to this control.
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) return TRUE;
  return ui::Dialog::handleMessage(message, wParam, lParam);
}

void PlayControl::showTime() {
  if (!handle()) return;
  if (!m_player->isOpen()) {
    setText(kTime, "");
    return;
  }
  const int32_t ms = m_player->positionMs();
  char text[64];
  std::snprintf(text, sizeof text, "%d:%02d.%d", ms / 60000, (ms / 1000) % 60, (ms / 100) % 10);
  setText(kTime, text);
}

}  // namespace recorder
