#pragma once
// The waveform display: a child window that draws a peak picture of a range
// of a sound's frames with the cursor, the selection, a highlighted range and
// the bookmarks, and lets the user set the cursor and the selection with the
// mouse. Its peaks come from a thread of its own (display::PeakWorker).
//
// Columns: pixel x of the drawing area (client pixel x + 1, inside the
// border) shows the frames [first + x * scale, first + (x + 1) * scale).

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "core/sound_buffer.h"
#include "editor/display/peak_worker.h"
#include "editor/display/wave_painter.h"
#include "ui/worker_thread.h"

constexpr wchar_t kWaveDisplayClass[] = L"LVRWaveWindow";
// The same control as the record dialog's recording display.
constexpr wchar_t kRecordingDisplayClass[] = L"LWaveWindow";

class WaveDisplay {
 public:
  // What a left click does: Edit sets the cursor and drags a selection;
  // Navigate (an overview strip) hands the frame under the mouse to onNavigate
  // while the button is down, and the parent moves its visible range.
  enum class ClickMode { Edit, Navigate };

  // Creates the child window and starts its peak thread; null when either fails.
  static std::unique_ptr<WaveDisplay> create(HWND parent, int id, const RECT& area,
                                             const wchar_t* className = kWaveDisplayClass);
  ~WaveDisplay();
  WaveDisplay(const WaveDisplay&) = delete;
  WaveDisplay& operator=(const WaveDisplay&) = delete;

  // Null once the window is gone (destroyed with its parent, or by close()).
  HWND window() const { return m_window; }
  // Destroys the window; its thread is stopped first.
  void close();

  // Shows a sound: the display keeps its own sharing copy.
  void setSound(const SoundBuffer& buffer);
  // Shows span frames from firstFrame across the width.
  void setRange(int64_t firstFrame, int64_t span);
  void setCursor(int64_t frame);  // negative: no cursor
  void setSelection(int64_t start, int64_t end);
  void setHighlight(int64_t start, int64_t end);
  void setBookmarks(std::vector<int64_t> milliseconds);
  // 0: plus up and minus down; 1: left up and right down; 2: left and right
  // in halves of their own. Vertical zoom magnifies eight times.
  void setMode(int mode, bool verticalZoom);
  void setClickMode(ClickMode mode) { m_clickMode = mode; }

  // Told of the user's clicks and drags, with frames clamped to the sound.
  std::function<void(int64_t frame)> onCursor;
  std::function<void(int64_t start, int64_t end)> onSelect;
  std::function<void(int64_t frame)> onNavigate;

  int32_t sampleRate() const { return m_sampleRate; }
  int channels() const { return m_channels; }
  int64_t cursor() const { return m_marks.cursor; }
  int64_t selectionStart() const { return m_marks.selectionStart; }
  int64_t selectionEnd() const { return m_marks.selectionEnd; }

  // The mapping of the requested range; x counts columns of the drawing area.
  int64_t frameAtPixel(int x) const;
  int pixelOfFrame(int64_t frame) const;
  double framesPerPixel() const;
  int columns() const;

  // For tests and benchmarks: whether every column of the requested range is
  // computed, the cached columns, and which data they were computed from.
  bool peaksReady() const;
  bool waitForPeaks(DWORD timeoutMs) const;
  std::vector<uint8_t> upperColumns() const;
  std::vector<uint8_t> lowerColumns() const;
  display::PeakWork peakWork() const;
  void resetPeakWork();
  bool threadRunning() const { return m_thread.running(); }

 private:
  WaveDisplay();
  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void onPaint();
  void onSize(int width, int height);
  void onButtonDown(int x, bool shift);
  void onDrag(int x);
  void onDestroy();
  void stopThread();
  void repaint();
  int64_t frameAtClientX(int x) const;
  void updateView(const std::function<void(display::PeakView&)>& change);

  HWND m_window = nullptr;
  std::shared_ptr<display::PeakWorker> m_worker;
  ui::WorkerThread m_thread;
  display::WavePainter m_painter;
  display::WaveMarks m_marks;
  std::vector<int64_t> m_bookmarkMs;
  int32_t m_sampleRate = 44100;
  int m_channels = 1;
  int64_t m_totalFrames = 0;

  // The off-screen picture painting draws into before it is copied.
  ui::MemoryDc m_memoryDc;
  ui::Bitmap m_memoryBitmap;
  HGDIOBJ m_memoryDefaultBitmap = nullptr;
  SIZE m_memorySize{0, 0};

  ClickMode m_clickMode = ClickMode::Edit;
  bool m_dragging = false;
  int64_t m_anchor = 0;
};
