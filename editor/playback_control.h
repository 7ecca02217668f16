#pragma once
// The frame's player: the wave-out player, its transport and the listener
// that moves the cursor and the level meter. Everything here runs on the main
// thread; the player's threads reach it through the notifier window.

#include <memory>

#include "devices/devices.h"
#include "sys/threads.h"
#include "ui/notifier_window.h"

class DocumentWindow;
class Frame;

class PlaybackControl final : private PlayerListener {
 public:
  explicit PlaybackControl(Frame& frame);
  ~PlaybackControl() override;

  // Each shows the "no device" message when no device opens.
  void play(DocumentWindow* document, bool fromCursor = false);
  void pause(DocumentWindow* document);
  void stop();
  void goToStart(DocumentWindow* document);
  void goToEnd(DocumentWindow* document);
  void pressScan(ScanDirection direction, DocumentWindow* document);
  void releaseScan(DocumentWindow* document);
  // Stops when the document that plays goes away or changes.
  void documentGone(DocumentWindow* document);
  // While held, the snippet moves to where the user put the cursor, so that
  // dragging it makes each place audible.
  void cursorPlaced(DocumentWindow* document);
  bool active() const;
  // The volume control: 0 dB at the top, -60 dB at the bottom.
  void setVolumeDb(int decibels);
  int volumeDb() const;

 private:
  void position(int32_t milliseconds, void* context) override;
  void levels(const LevelRecord& record, void* context) override;
  void started(void* context) override;
  void stopped(void* context) override;
  PlayDocument playDocument(DocumentWindow* document) const;
  PlaySettings playSettings() const;
  void takeBack(DocumentWindow* document, const PlayDocument& played);
  bool report(bool opened);

  Frame& m_frame;
  std::unique_ptr<ui::NotifierWindow> m_notifier;
  std::unique_ptr<WavePlayer> m_player;
  std::unique_ptr<Transport> m_transport;
  DocumentWindow* m_playing = nullptr;
  // Loads the system's sound driver in the background at start-up, so that
  // the first Play does not wait for it.
  sys::Thread m_warmUp;
};
