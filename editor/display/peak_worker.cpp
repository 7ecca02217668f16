#include "editor/display/peak_worker.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace display {

namespace {

// Columns computed between two looks at the cache: small enough that a
// paint or a new request never waits long, large enough to keep the
// overview reads sequential.
constexpr int kColumnsPerRound = 64;

int computedColumns(const PeakView& view) { return std::clamp(view.columns, 0, kMaxPeakColumns); }

// The number of whole columns between two first frames at one scale, when
// there is one: the columns then show the same frames and can be moved.
std::optional<int64_t> wholeColumnShift(int64_t fromFrame, int64_t toFrame, double framesPerPixel) {
  double columns = static_cast<double>(toFrame - fromFrame) / framesPerPixel;
  double whole = std::round(columns);
  // Frame boundaries are whole numbers; an error far below one frame moves none.
  if (std::abs((whole - columns) * framesPerPixel) > 1e-6) return std::nullopt;
  return static_cast<int64_t>(whole);
}

}  // namespace

PeakWorker::PeakWorker() = default;

void PeakWorker::setSound(const SoundBuffer& buffer) {
  {
    std::lock_guard hold(m_requestLock);
    m_pendingSound = buffer;
    ++m_requestedSound;
    wakeLocked();
  }
}

void PeakWorker::setView(const PeakView& view) {
  {
    std::lock_guard hold(m_requestLock);
    if (m_request == view) return;
    m_request = view;
    wakeLocked();
  }
}

PeakView PeakWorker::view() const {
  std::lock_guard hold(m_requestLock);
  return m_request;
}

void PeakWorker::restart() {
  {
    std::lock_guard hold(m_requestLock);
    m_restart = true;
    wakeLocked();
  }
}

void PeakWorker::setWindow(HWND window, int borderPixels) {
  std::lock_guard hold(m_requestLock);
  m_window = window;
  m_border = borderPixels;
}

void PeakWorker::requestStop() {
  {
    std::lock_guard hold(m_requestLock);
    m_stopping = true;
    wakeLocked();
  }
}

void PeakWorker::wakeLocked() {
  // Under the request lock, so that the thread, which clears both as it
  // takes a request, never clears them for a request it has not seen.
  m_abort = true;
  m_wake.set();
}

PeakSnapshot PeakWorker::snapshot() const {
  std::lock_guard hold(m_cacheLock);
  return m_cache;
}

bool PeakWorker::ready() const {
  PeakView view;
  uint64_t sound;
  {
    std::lock_guard hold(m_requestLock);
    if (m_restart || m_pendingSound) return false;
    view = m_request;
    sound = m_requestedSound;
  }
  std::lock_guard hold(m_cacheLock);
  const PeakMapping& mapping = m_cache.mapping;
  if (mapping.sound != sound || mapping.firstFrame != view.firstFrame ||
      mapping.framesPerPixel != view.framesPerPixel() || mapping.columns != computedColumns(view) ||
      mapping.displayMode != view.displayMode || mapping.verticalZoom != view.verticalZoom)
    return false;
  return std::all_of(m_cache.valid.begin(), m_cache.valid.begin() + mapping.columns, [](bool v) { return v; });
}

PeakWork PeakWorker::work() const {
  std::lock_guard hold(m_cacheLock);
  return m_work;
}

void PeakWorker::resetWork() {
  std::lock_guard hold(m_cacheLock);
  m_work = PeakWork{};
}

void PeakWorker::run(HANDLE stopEvent) {
  HANDLE waitFor[2] = {stopEvent, static_cast<HANDLE>(m_wake.nativeHandle())};
  while (WaitForSingleObject(stopEvent, 0) != WAIT_OBJECT_0) {
    Round round;
    bool restartAll = false;
    {
      std::lock_guard hold(m_requestLock);
      if (m_stopping) return;
      m_wake.reset();
      m_abort = false;  // requests from here on cut the coming round short
      round.view = m_request;
      restartAll = std::exchange(m_restart, false);
      if (m_pendingSound) {
        m_sound = std::move(*m_pendingSound);
        m_pendingSound.reset();
        m_soundNumber = m_requestedSound;
        restartAll = true;
      }
    }
    if (restartAll || !m_reader) {
      // A fresh reader: the old one may hold a block file of the old sound open.
      m_reader = m_sound.openReader();
      m_finished.reset();
    }
    round.sound = m_soundNumber;
    if (m_finished && *m_finished == round) {
      WaitForMultipleObjects(2, waitFor, FALSE, INFINITE);
      continue;
    }
    int x0 = 0, x1 = 0;
    if (!prepare(round, restartAll, x0, x1)) continue;
    if (computeColumns(round, x0, x1)) m_finished = round;
  }
}

bool PeakWorker::prepare(const Round& round, bool restartAll, int& x0, int& x1) {
  PeakMapping next;
  next.firstFrame = round.view.firstFrame;
  next.framesPerPixel = round.view.framesPerPixel();
  next.columns = computedColumns(round.view);
  next.displayMode = round.view.displayMode;
  next.verticalZoom = round.view.verticalZoom;
  next.sound = round.sound;
  next.totalFrames = m_sound.totalFrames();
  next.channels = m_sound.channels();
  bool moved = false;
  {
    std::lock_guard hold(m_cacheLock);
    PeakMapping& old = m_cache.mapping;
    auto& valid = m_cache.valid;
    bool sameScale = !restartAll && old.sound == next.sound && old.framesPerPixel == next.framesPerPixel &&
                     old.displayMode == next.displayMode && old.verticalZoom == next.verticalZoom;
    if (!sameScale) {
      valid.fill(false);
    } else if (old.firstFrame != next.firstFrame) {
      auto shift = wholeColumnShift(old.firstFrame, next.firstFrame, next.framesPerPixel);
      if (!shift || std::abs(*shift) >= kMaxPeakColumns) {
        valid.fill(false);
      } else if (*shift > 0) {
        // Scrolled forward: column x now shows what column x + shift showed.
        int k = static_cast<int>(*shift);
        std::copy(m_cache.upper.begin() + k, m_cache.upper.end(), m_cache.upper.begin());
        std::copy(m_cache.lower.begin() + k, m_cache.lower.end(), m_cache.lower.begin());
        std::copy(valid.begin() + k, valid.end(), valid.begin());
        std::fill(valid.end() - k, valid.end(), false);
      } else {
        int k = static_cast<int>(-*shift);
        std::copy_backward(m_cache.upper.begin(), m_cache.upper.end() - k, m_cache.upper.end());
        std::copy_backward(m_cache.lower.begin(), m_cache.lower.end() - k, m_cache.lower.end());
        std::copy_backward(valid.begin(), valid.end() - k, valid.end());
        std::fill(valid.begin(), valid.begin() + k, false);
      }
    }
    // Columns beyond the old width were never computed for this view.
    if (old.columns < next.columns) std::fill(valid.begin() + old.columns, valid.begin() + next.columns, false);
    moved = old.firstFrame != next.firstFrame || old.framesPerPixel != next.framesPerPixel ||
            old.columns != next.columns || old.sound != next.sound || old.displayMode != next.displayMode ||
            old.verticalZoom != next.verticalZoom || restartAll;
    old = next;
    auto first = std::find(valid.begin(), valid.begin() + next.columns, false);
    auto last = std::find(std::make_reverse_iterator(valid.begin() + next.columns), valid.rend(), false);
    x0 = static_cast<int>(first - valid.begin());
    x1 = static_cast<int>(valid.rend() - last);
  }
  // Moved and cleared columns show at their new places (or blank) at once.
  if (moved) invalidate(0, next.columns);
  if (x0 >= x1) {
    m_finished = round;
    return false;
  }
  return true;
}

bool PeakWorker::computeColumns(const Round& round, int x0, int x1) {
  const double framesPerPixel = round.view.framesPerPixel();
  const bool overview = usesOverview(framesPerPixel);
  std::array<uint8_t, kMaxPeakColumns> upper{}, lower{};
  for (int begin = x0; begin < x1; begin += kColumnsPerRound) {
    int end = std::min(x1, begin + kColumnsPerRound);
    PeakRequest request{round.view.firstFrame, framesPerPixel, begin, end, round.view.displayMode,
                        round.view.verticalZoom, m_sound.channels()};
    OverviewReadStats stats{};
    if (overview)
      computeOverviewPeaks(m_sound, request, upper.data(), lower.data(), m_abort, &stats);
    else
      computeSamplePeaks(*m_reader, request, upper.data(), lower.data(), m_abort);
    // A cut-short range is incomplete: drop it, the next round redoes it.
    if (m_abort) return false;
    {
      std::lock_guard hold(m_cacheLock);
      std::copy(upper.begin() + begin, upper.begin() + end, m_cache.upper.begin() + begin);
      std::copy(lower.begin() + begin, lower.begin() + end, m_cache.lower.begin() + begin);
      std::fill(m_cache.valid.begin() + begin, m_cache.valid.begin() + end, true);
      if (overview) {
        m_work.overviewColumns += end - begin;
        m_work.overview.bytesRead += stats.bytesRead;
      } else {
        m_work.sampleColumns += end - begin;
      }
    }
    invalidate(begin, end);
  }
  return true;
}

void PeakWorker::invalidate(int x0, int x1) {
  std::lock_guard hold(m_requestLock);
  if (!m_window) return;
  // Marks the columns only (clipped to the client area); the window's own
  // thread paints them.
  RECT columns{x0 + m_border, 0, x1 + m_border, SHRT_MAX};
  InvalidateRect(m_window, &columns, FALSE);
}

}  // namespace display
