#pragma once
// The transport of a waveform window over a WavePlayer: what the editor's
// Play, Pause, Stop, Go To Start / End, Rewind and Fast Forward controls do.
// It builds the source for each play (the selection or the whole sound,
// looped, at the chosen speed) and runs the accelerating scans.
//
// The editor keeps the cursor: it passes the window's state in a
// PlayDocument, which these calls update, and moves the cursor itself on the
// player's position reports (also during a scan).

#include <cstdint>
#include <functional>

#include "core/sound_buffer.h"
#include "devices/wave_player.h"

// What the active waveform window shows.
struct PlayDocument {
  const SoundBuffer* buffer = nullptr;
  int32_t cursor = 0;
  int32_t selectionStart = 0;
  int32_t selectionEnd = 0;
  bool hasSelection() const { return selectionStart < selectionEnd; }
};

// The settings the transport reads (section "Settings").
struct PlaySettings {
  uint32_t soundOutDevice = 0;       // "SoundOutDevice"
  int playSpeed = 1;                 // "PlaySpeed": 0 slow, 1 normal, 2 fast
  bool playRepeat = false;           // "PlayRepeat"
  bool reduceVolWhenRewind = false;  // "ReduceVolWhenRewind"
};

// Makes a source that plays source at percent of normal speed (50 for Play
// Slow, 150 for Play Fast). Its positions and length must count frames of
// the source it wraps, so that the cursor follows what is heard.
using SpeedSourceMaker = std::function<SampleSourceRef(SampleSourceRef source, int percent)>;

// What the editor shows (information icon) when play finds no device.
constexpr const char* kNoPlayerDeviceMessage =
    "Please check that you have selected the correct sound player device using Options. "
    "Open Options using Tools -> Options";
constexpr const char* kNoPlayerDeviceCaption = "Razavo";

enum class ScanDirection { None = 0, Rewind = -1, FastForward = 1 };

class Transport {
 public:
  // Volume drop during a scan with "ReduceVolWhenRewind".
  static constexpr int kScanVolumeDropDb = 8;
  static constexpr int32_t kScanRampMs = 8000;

  // Without a speed source maker, slow and fast play resample (the pitch
  // moves with the speed).
  explicit Transport(WavePlayer& player, SpeedSourceMaker makeSpeedSource = {});
  void setSpeedSourceMaker(SpeedSourceMaker makeSpeedSource);

  // Play (and Play Slow/Normal/Fast once "PlaySpeed" is stored). From holding
  // it resumes. A cursor within the last second starts from 0 unless
  // fromCursor (the auto-play paths); a selection plays exactly the
  // selection. False when no device opens: show kNoPlayerDeviceMessage.
  bool play(PlayDocument& document, const PlaySettings& settings, bool fromCursor = false);
  // The Pause button and Space: holds (starting play at the cursor first
  // when stopped), or plays on when holding. False when no device opens.
  bool pause(PlayDocument& document, const PlaySettings& settings);
  void stop() { m_player.stop(); }
  void goToStart(PlayDocument& document);
  // While playing one second before the end, while holding the end itself.
  void goToEnd(PlayDocument& document);

  // Rewind / Fast Forward button pressed (key down) and released (key up).
  // A press of the running scan's button is ignored; the other button's
  // scan ends first. Press moves the cursor a step, then scans from it.
  // After the release the player goes back to what it was doing: playing
  // from the cursor, holding at it, or stopped. After either call the volume
  // shown should be read again from the player. False when no device opens.
  bool pressScan(ScanDirection direction, PlayDocument& document, const PlaySettings& settings);
  bool releaseScan(PlayDocument& document, const PlaySettings& settings);
  ScanDirection scanning() const { return m_scan; }

 private:
  enum class AfterScan { Stop = 0, Hold = 1, Play = 2 };
  SampleSourceRef withSpeed(SampleSourceRef source, int percent) const;

  WavePlayer& m_player;
  SpeedSourceMaker m_makeSpeedSource;
  int32_t m_playLength = 0;  // the end of what plays: the selection end or the sound's length
  ScanDirection m_scan = ScanDirection::None;
  AfterScan m_afterScan = AfterScan::Stop;
  bool m_volumeReduced = false;
};
