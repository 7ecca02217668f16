#pragma once
// The peak thread of one waveform display and everything it shares with the
// window: the requested view (under the request lock), the column cache and
// the mapping it was computed for (under the cache lock), and the wake event.
// The window's thread only asks and reads; this thread alone reads the sound
// and writes the cache.

#include <windows.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>

#include "core/sound_buffer.h"
#include "editor/model/peaks.h"
#include "sys/threads.h"
#include "ui/worker_thread.h"

namespace display {

// No more than kMaxPeakColumns (peaks.h) columns are ever computed; wider
// displays leave the rest blank.

// What the window wants drawn. span 0 means "one frame per pixel" (the scale
// of a display that was never given a range).
struct PeakView {
  int64_t firstFrame = 0;
  int64_t span = 0;
  int columns = 0;  // width of the drawing area in pixels
  int displayMode = 0;
  bool verticalZoom = false;

  double framesPerPixel() const {
    return span > 0 && columns > 0 ? static_cast<double>(span) / columns : 1.0;
  }
  bool operator==(const PeakView&) const = default;
};

// The frames-to-pixels mapping the cached columns belong to.
struct PeakMapping {
  int64_t firstFrame = 0;
  double framesPerPixel = 1.0;
  int columns = 0;  // computed columns: the width, at most kMaxPeakColumns
  int displayMode = 0;
  bool verticalZoom = false;
  uint64_t sound = 0;  // which setSound the columns come from
  int32_t totalFrames = 0;
  int channels = 1;
};

// How the columns were computed since the last reset: proof for tests and
// benchmarks of which data a view was drawn from.
struct PeakWork {
  int64_t sampleColumns = 0;
  int64_t overviewColumns = 0;
  OverviewReadStats overview;
};

// A copy of the cache for painting.
struct PeakSnapshot {
  PeakMapping mapping;
  std::array<uint8_t, kMaxPeakColumns> upper{};
  std::array<uint8_t, kMaxPeakColumns> lower{};
  std::array<bool, kMaxPeakColumns> valid{};
};

class PeakWorker final : public ui::WorkerTask {
 public:
  PeakWorker();

  // Window side.
  void setSound(const SoundBuffer& buffer);
  void setView(const PeakView& view);
  PeakView view() const;
  // Recomputes every column on the next round.
  void restart();
  // The window invalidated as columns arrive; null once it is gone.
  void setWindow(HWND window, int borderPixels);
  // Makes the running computation return at once; the thread ends when the
  // worker's stop event is set too.
  void requestStop();

  PeakSnapshot snapshot() const;
  // True when every column of the requested view is computed.
  bool ready() const;
  PeakWork work() const;
  void resetWork();

  // Thread side.
  void run(HANDLE stopEvent) override;

 private:
  struct Round {
    PeakView view;
    uint64_t sound = 0;
    bool operator==(const Round&) const = default;
  };
  // Applies the new view to the cache (shifting reusable columns) and
  // returns the columns still to compute.
  bool prepare(const Round& round, bool restartAll, int& x0, int& x1);
  bool computeColumns(const Round& round, int x0, int x1);
  void invalidate(int x0, int x1);
  void wakeLocked();

  // Request lock: what the window asks for.
  mutable std::mutex m_requestLock;
  PeakView m_request;
  uint64_t m_requestedSound = 0;
  std::optional<SoundBuffer> m_pendingSound;
  bool m_restart = false;
  bool m_stopping = false;
  HWND m_window = nullptr;
  int m_border = 0;

  // Cache lock: the columns and their mapping.
  mutable std::mutex m_cacheLock;
  PeakSnapshot m_cache;
  PeakWork m_work;

  sys::Event m_wake{true, false};
  // Set to cut the running computation short: a new request or a stop.
  std::atomic<bool> m_abort{false};

  // The thread's own: the sound it reads and the last finished round.
  SoundBuffer m_sound;
  uint64_t m_soundNumber = 0;
  SampleSourceRef m_reader;
  std::optional<Round> m_finished;
};

}  // namespace display
