#include "editor/playback_control.h"

#include <algorithm>

#include "editor/document_window.h"
#include "editor/frame.h"
#include "editor/frame_controls.h"
#include "effects/speed_source.h"
#include "ui/text.h"

PlaybackControl::PlaybackControl(Frame& frame) : m_frame(frame) {
  m_notifier = std::make_unique<ui::NotifierWindow>([this] {
    if (m_player) m_player->onNotify();
  });
  m_player = std::make_unique<WavePlayer>(makeSystemWaveOutDevice, [this] { m_notifier->post(); });
  m_player->set_listener(this, nullptr);
  // Slow and fast play keep the pitch: the time stretcher's speed source.
  m_transport = std::make_unique<Transport>(*m_player, makePlaybackSpeedSource);
  m_warmUp.start([] { makeSystemWaveOutDevice()->deviceNames(); }, sys::ThreadPriority::BelowNormal);
}

PlaybackControl::~PlaybackControl() {
  // A driver that hangs in its start-up must not hold up the exit.
  if (!m_warmUp.join(2000)) m_warmUp.detach();
  // The player goes before the notifier its threads post to.
  m_transport.reset();
  m_player.reset();
  m_notifier.reset();
}

PlayDocument PlaybackControl::playDocument(DocumentWindow* document) const {
  PlayDocument played;
  played.buffer = &document->buffer();
  played.cursor = document->view().cursor;
  played.selectionStart = document->view().selectionStart;
  played.selectionEnd = document->view().selectionEnd;
  return played;
}

PlaySettings PlaybackControl::playSettings() const {
  EditorSettings& settings = m_frame.settings();
  PlaySettings play;
  play.soundOutDevice = static_cast<uint32_t>(std::max(0, settings.soundOutDevice()));
  play.playSpeed = std::clamp(settings.playSpeed(), 0, 2);
  play.playRepeat = settings.playRepeat();
  play.reduceVolWhenRewind = settings.reduceVolWhenRewind();
  return play;
}

void PlaybackControl::takeBack(DocumentWindow* document, const PlayDocument& played) {
  ViewState& view = document->view();
  view.selectionStart = played.selectionStart;
  view.selectionEnd = played.selectionEnd;
  document->setCursor(played.cursor);
}

bool PlaybackControl::report(bool opened) {
  if (!opened)
    ui::showMessage(m_frame.handle(), kNoPlayerDeviceMessage, kNoPlayerDeviceCaption, MB_OK | MB_ICONINFORMATION);
  return opened;
}

void PlaybackControl::play(DocumentWindow* document, bool fromCursor) {
  if (!document) return;
  if (m_playing && m_playing != document) stop();
  PlayDocument played = playDocument(document);
  if (report(m_transport->play(played, playSettings(), fromCursor))) m_playing = document;
  takeBack(document, played);
}

void PlaybackControl::pause(DocumentWindow* document) {
  if (!document) return;
  if (m_playing && m_playing != document) stop();
  PlayDocument played = playDocument(document);
  if (report(m_transport->pause(played, playSettings()))) m_playing = document;
  takeBack(document, played);
}

void PlaybackControl::stop() {
  m_transport->stop();
  m_playing = nullptr;
}

void PlaybackControl::goToStart(DocumentWindow* document) {
  PlayDocument played = playDocument(document);
  m_transport->goToStart(played);
  takeBack(document, played);
}

void PlaybackControl::goToEnd(DocumentWindow* document) {
  PlayDocument played = playDocument(document);
  m_transport->goToEnd(played);
  takeBack(document, played);
}

void PlaybackControl::pressScan(ScanDirection direction, DocumentWindow* document) {
  if (!document) return;
  PlayDocument played = playDocument(document);
  if (report(m_transport->pressScan(direction, played, playSettings()))) m_playing = document;
  takeBack(document, played);
}

void PlaybackControl::releaseScan(DocumentWindow* document) {
  if (!document || m_transport->scanning() == ScanDirection::None) return;
  PlayDocument played = playDocument(document);
  report(m_transport->releaseScan(played, playSettings()));
  takeBack(document, played);
}

void PlaybackControl::documentGone(DocumentWindow* document) {
  if (m_playing == document) stop();
}

void PlaybackControl::cursorPlaced(DocumentWindow* document) {
  if (m_playing == document && m_player->isHolding()) m_player->seek(document->view().cursor);
}

bool PlaybackControl::active() const { return m_playing != nullptr && (m_player->state() & 1) != 0; }

void PlaybackControl::setVolumeDb(int decibels) { m_player->set_volume(decibels); }

int PlaybackControl::volumeDb() const { return static_cast<int>(m_player->volume()); }

void PlaybackControl::position(int32_t, void*) {
  // The cursor follows what is heard and the view scrolls along.
  if (m_playing) m_playing->setCursor(m_player->position());
}

void PlaybackControl::levels(const LevelRecord& record, void*) {
  int left = record.channels > 0 ? record.levels[0] : kSilentLevel;
  int right = record.channels > 1 ? record.levels[1] : left;
  m_frame.showLevels(left, right);
}

void PlaybackControl::started(void*) { m_frame.showPlaying(true); }

void PlaybackControl::stopped(void*) {
  m_playing = nullptr;
  m_frame.showPlaying(false);
  m_frame.showLevels(kSilentLevel, kSilentLevel);
}
