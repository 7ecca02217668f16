#include "editor/effect_preview.h"

#include "devices/devices.h"
#include "ui/notifier_window.h"
#include "ui/text.h"

namespace {

// The arrow comes back when the render is over, however it ends.
class WaitCursor {
 public:
  WaitCursor() : m_previous(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
  ~WaitCursor() { SetCursor(m_previous); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  HCURSOR m_previous;
};

}  // namespace

EffectPreview::EffectPreview(const PreviewInput& input) : m_input(input) {
  m_notifier = std::make_unique<ui::NotifierWindow>([this] {
    if (m_player) m_player->onNotify();
  });
  m_player = std::make_unique<WavePlayer>(makeSystemWaveOutDevice, [this] { m_notifier->post(); });
}

EffectPreview::~EffectPreview() {
  m_player.reset();  // stops and waits for its threads
  m_notifier.reset();
}

bool EffectPreview::playing() const { return m_player->isOpen(); }

void EffectPreview::stop() { m_player->stop(); }

void EffectPreview::toggle(HWND owner, const PreviewRange& range, const Render& render) {
  if (playing()) {
    stop();
    return;
  }
  if (!m_input.sound || range.length() <= 0) return;
  SampleSourceRef rendered;
  {
    WaitCursor wait;
    SoundBuffer piece;
    JobResult result = JobResult::Failed;
    if (piece.extractRange(*m_input.sound, range.start, range.end))
      result = render(piece, range.selectionStart, range.selectionEnd, nullptr);
    if (result != JobResult::Done) {
      ui::showMessage(owner, "The preview could not be made: the audio could not be processed or written. "
                             "Check the free space of the working folder's drive.",
                      "Error", MB_OK | MB_ICONERROR);
      return;
    }
    // The reader holds its own copy of the piece: the player is the only
    // owner of what it plays, and the blocks go when it stops.
    rendered = piece.openReader();
  }
  m_player->setDevice(m_input.device);
  if (!m_player->open_and_play(std::move(rendered)))
    ui::showMessage(owner, kNoPlayerDeviceMessage, kNoPlayerDeviceCaption, MB_OK | MB_ICONINFORMATION);
}
