#include "devices/transport.h"

#include <algorithm>

#include "devices/loop_source.h"
#include "devices/player_volume.h"
#include "devices/range_source.h"
#include "devices/resample_speed_source.h"
#include "devices/scan_source.h"

Transport::Transport(WavePlayer& player, SpeedSourceMaker makeSpeedSource)
    : m_player(player), m_makeSpeedSource(std::move(makeSpeedSource)) {}

void Transport::setSpeedSourceMaker(SpeedSourceMaker makeSpeedSource) {
  m_makeSpeedSource = std::move(makeSpeedSource);
}

SampleSourceRef Transport::withSpeed(SampleSourceRef source, int percent) const {
  if (m_makeSpeedSource) {
    SampleSourceRef faster = m_makeSpeedSource(source, percent);
    if (faster) return faster;
  }
  return makeRef<ResampleSpeedSource>(std::move(source), percent);
}

bool Transport::play(PlayDocument& document, const PlaySettings& settings, bool fromCursor) {
  if (!document.buffer) return true;
  if (m_player.isHolding()) {
    m_player.resume();
    return true;
  }
  m_player.stop();
  const SoundBuffer& sound = *document.buffer;
  const int32_t length = sound.totalFrames();
  if (!fromCursor && document.cursor > static_cast<int64_t>(length) - sound.sampleRate()) document.cursor = 0;

  SampleSourceRef source = sound.openReader();
  int32_t loopStart = 0;
  m_playLength = length;
  if (document.hasSelection()) {
    document.cursor = document.selectionStart;
    source = makeRef<RangeSource>(std::move(source), document.selectionStart, document.selectionEnd);
    loopStart = document.selectionStart;
    m_playLength = document.selectionEnd;
  }
  if (document.cursor != 0) source->seek(document.cursor);
  // The loop goes inside the speed change: it turns at exact frames of the
  // sound whatever the speed, and the selection never plays short or long.
  if (settings.playRepeat) source = makeRef<LoopSource>(std::move(source), loopStart, m_playLength);
  if (settings.playSpeed == 0 || settings.playSpeed == 2) {
    source = withSpeed(std::move(source), (settings.playSpeed + 1) * 50);
  }
  m_player.setDevice(settings.soundOutDevice);
  return m_player.open_and_play(std::move(source));
}

bool Transport::pause(PlayDocument& document, const PlaySettings& settings) {
  if (!document.buffer) return true;
  if (m_player.isHolding()) return play(document, settings);
  if (!m_player.isOpen() && !play(document, settings, true)) return false;
  m_player.hold();
  return true;
}

void Transport::goToStart(PlayDocument& document) {
  if (m_player.isOpen()) {
    m_player.seek(0);
  } else {
    document.cursor = 0;
  }
}

void Transport::goToEnd(PlayDocument& document) {
  if (m_player.isOpen()) {
    int64_t target = m_playLength;
    if (!m_player.isHolding()) target -= m_player.source()->sampleRate();
    m_player.seek(static_cast<int32_t>(std::max<int64_t>(target, 0)));
  } else if (document.buffer) {
    document.cursor = document.buffer->totalFrames();
  }
}

bool Transport::pressScan(ScanDirection direction, PlayDocument& document, const PlaySettings& settings) {
  if (!document.buffer || direction == ScanDirection::None || direction == m_scan) return true;
  if (m_scan != ScanDirection::None) releaseScan(document, settings);

  m_afterScan = !m_player.isOpen() ? AfterScan::Stop : m_player.isHolding() ? AfterScan::Hold : AfterScan::Play;
  const bool held = m_afterScan == AfterScan::Hold;
  m_player.stop();

  const SoundBuffer& sound = *document.buffer;
  const int d = static_cast<int>(direction);
  const int32_t stepFrames = held ? sound.sampleRate() / 10 : sound.sampleRate() / 5;
  document.cursor = clampTo(static_cast<int64_t>(document.cursor) + d * stepFrames, 0, sound.totalFrames());
  SampleSourceRef source = sound.openReader();
  source->seek(document.cursor);
  source = makeRef<ScanSource>(std::move(source), d * (held ? 0.1 : 0.5), d * (held ? 3.0 : 7.0), kScanRampMs);

  m_player.setDevice(settings.soundOutDevice);
  m_volumeReduced = settings.reduceVolWhenRewind;
  if (m_volumeReduced) m_player.set_volume(volumeLoweredBy(m_player.volume(), kScanVolumeDropDb));
  m_scan = direction;
  return m_player.open_and_play(std::move(source));
}

bool Transport::releaseScan(PlayDocument& document, const PlaySettings& settings) {
  if (m_scan == ScanDirection::None) return true;
  if (m_volumeReduced) m_player.set_volume(volumeLoweredBy(m_player.volume(), -kScanVolumeDropDb));
  m_player.stop();
  m_scan = ScanDirection::None;
  m_volumeReduced = false;
  bool opened = true;
  switch (m_afterScan) {
    case AfterScan::Hold:
      opened = play(document, settings, true);
      if (opened) m_player.hold();
      break;
    case AfterScan::Play:
      opened = play(document, settings, true);
      break;
    case AfterScan::Stop:
      break;
  }
  m_afterScan = AfterScan::Stop;
  return opened;
}
