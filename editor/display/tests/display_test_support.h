#pragma once
// Shared set-up of the display tests: a block store, a test sound whose
// samples the tests keep, the peaks worked out from those samples, a
// top-level window to hold displays, and pictures of windows.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/sound_buffer.h"

namespace displaytest {

// A stereo sound written through the block store, and its samples.
struct TestSound {
  std::vector<Sample> samples;  // interleaved left, right
  SoundBuffer buffer;
  int64_t frames() const { return static_cast<int64_t>(samples.size() / 2); }
};

// Rising and falling sines, a loud burst (left up, right down) at burstFrame
// and a stretch of silence at silenceFrame.
constexpr int64_t kBurstFrame = 300000;
constexpr int64_t kBurstFrames = 2000;
constexpr int64_t kSilenceFrame = 500000;
constexpr int64_t kSilenceFrames = 40000;
TestSound makeTestSound(int32_t frames);

// The bytes a column should hold, worked out from the samples: mode 0 the
// largest and the most negative sample over both channels, modes 1 and 2 the
// largest magnitude of the left and of the right channel; steps of 2^11, or
// 2^8 with vertical zoom, at most 255. Columns are whole frames wide.
struct ColumnPeaks {
  std::vector<uint8_t> upper, lower;
};
ColumnPeaks expectedPeaks(const TestSound& sound, int64_t firstFrame, int64_t framesPerColumn, int columns,
                          int mode, bool verticalZoom);

// A visible top-level window of the given client size, destroyed with the
// object. Tests run side by side on one screen: a window whose pixels are read
// from the screen goes where no other test puts one (below y = 300).
class TestWindow {
 public:
  TestWindow(int clientWidth, int clientHeight, POINT position = {40, 40});
  ~TestWindow();
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;
  HWND handle() const { return m_window; }
  void destroy();

 private:
  HWND m_window = nullptr;
};

// Dispatches the messages of this thread for about ms milliseconds.
void pumpMessages(DWORD ms);

// A 32-bit top-down picture.
struct Picture {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;  // 0x00RRGGBB
  COLORREF at(int x, int y) const;
};
// The window's client area as it paints itself (WM_PRINTCLIENT).
Picture printClient(HWND window);
// What the screen shows of a window (its whole rectangle).
Picture captureScreen(HWND window);
bool saveBitmap(const Picture& picture, const std::string& path);

// Where tests leave files for people to look at.
std::string outputFolder();

}  // namespace displaytest
