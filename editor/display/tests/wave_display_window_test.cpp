// The display as a window: what it paints, what the mouse does, and how it
// ends.

#include <gtest/gtest.h>

#include <memory>

#include "editor/display/tests/display_test_support.h"
#include "editor/display/wave_display.h"

namespace {

using displaytest::Picture;
using displaytest::TestSound;
using displaytest::TestWindow;

constexpr DWORD kPeakWaitMs = 10000;

// Column x of the drawing area is client pixel x + 1 (inside the border).
int clientX(int column) { return column + 1; }

TEST(WaveDisplayPainting, ColumnsMarksAndBorderShowInTheirColours) {
  constexpr int kColumns = 600, kHeight = 200;
  TestWindow window(kColumns + 2, 2 * (kHeight + 2));
  auto display = WaveDisplay::create(window.handle(), 1, RECT{0, 0, kColumns + 2, kHeight + 2});
  ASSERT_TRUE(display);
  TestSound sound = displaytest::makeTestSound(400000);
  display->setSound(sound.buffer);
  // 100 frames a column; the sound ends at column 4000 - 3500 = 500.
  display->setRange(350000 - 0, 100 * kColumns);
  display->setSelection(350000 + 100 * 100, 350000 + 200 * 100);
  display->setHighlight(350000 + 150 * 100, 350000 + 250 * 100);
  display->setCursor(350000 + 300 * 100 + 50);
  // 8,000 ms at 44,100 Hz is frame 352,800: column 28.
  display->setBookmarks({8000});
  ASSERT_TRUE(display->waitForPeaks(kPeakWaitMs));
  Picture picture = displaytest::printClient(display->window());
  ASSERT_EQ(picture.width, kColumns + 2);

  const int centre = 1 + kHeight / 2;
  const int top = 1 + 10;
  struct Column {
    int column;
    COLORREF background, wave;
  };
  const Column columns[] = {
      {60, RGB(0, 0, 0), RGB(102, 255, 102)},             // plain
      {120, RGB(255, 255, 189), RGB(0, 128, 0)},          // selected
      {170, RGB(0, 128, 0), RGB(255, 255, 189)},          // selected and highlighted
      {220, RGB(5, 95, 167), RGB(255, 255, 255)},         // highlighted
      {550, GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_GRAYTEXT)},  // past the end
  };
  for (const Column& c : columns) {
    EXPECT_EQ(picture.at(clientX(c.column), top), c.background) << "column " << c.column;
    EXPECT_EQ(picture.at(clientX(c.column), centre), c.wave) << "column " << c.column;
  }

  // The wave reaches (byte * height) >> 9 pixels above and below the centre.
  auto upper = display->upperColumns();
  auto lower = display->lowerColumns();
  for (int column : {60, 130, 260, 420}) {
    int up = (upper[column] * kHeight) >> 9;
    int down = (lower[column] * kHeight) >> 9;
    ASSERT_GT(up, 3) << column;
    COLORREF wave = picture.at(clientX(column), centre);
    EXPECT_EQ(picture.at(clientX(column), centre - up), wave) << column;
    EXPECT_NE(picture.at(clientX(column), centre - up - 1), wave) << column;
    EXPECT_EQ(picture.at(clientX(column), centre + down), wave) << column;
    EXPECT_NE(picture.at(clientX(column), centre + down + 1), wave) << column;
  }

  // Cursor: a line clear of the edges by 6 pixels, and markers 4 pixels to each side.
  const COLORREF yellow = RGB(255, 255, 17);
  const int cursorX = clientX(300);
  EXPECT_EQ(picture.at(cursorX, centre - 40), yellow);
  EXPECT_EQ(picture.at(cursorX, 6), yellow);
  EXPECT_EQ(picture.at(cursorX, kHeight + 2 - 7), yellow);
  EXPECT_EQ(picture.at(cursorX - 4, 1), yellow);
  EXPECT_EQ(picture.at(cursorX + 4, 1), yellow);
  EXPECT_EQ(picture.at(cursorX - 4, kHeight), yellow);
  EXPECT_NE(picture.at(cursorX - 6, 1), yellow);
  EXPECT_NE(picture.at(cursorX + 1, centre - 40), yellow);

  // Bookmark: markers at both ends, and a dotted line between.
  const COLORREF blue = RGB(0, 191, 255);
  const int markX = clientX(28);
  EXPECT_EQ(picture.at(markX - 3, 1), blue);
  EXPECT_EQ(picture.at(markX + 3, kHeight), blue);
  int dots = 0;
  for (int y = 20; y < 40; ++y) dots += picture.at(markX, y) == blue;
  EXPECT_GE(dots, 5);
  EXPECT_LE(dots, 15);

  // Sunken border: dark above and left, light below and right.
  EXPECT_EQ(picture.at(0, 50), RGB(0, 0, 0));
  EXPECT_EQ(picture.at(300, 0), RGB(0, 0, 0));
  EXPECT_EQ(picture.at(kColumns + 1, 50), RGB(255, 255, 255));
  EXPECT_EQ(picture.at(300, kHeight + 1), RGB(255, 255, 255));

  // Dual mode: left in the upper half, right in the lower, a line between.
  display->setMode(2, false);
  ASSERT_TRUE(display->waitForPeaks(kPeakWaitMs));
  picture = displaytest::printClient(display->window());
  upper = display->upperColumns();
  lower = display->lowerColumns();
  const int half = kHeight / 2;
  for (int column : {60, 260}) {
    int left = (upper[column] * half) >> 9;
    int right = (lower[column] * half) >> 9;
    EXPECT_EQ(picture.at(clientX(column), 1 + kHeight / 4 - left), RGB(102, 255, 102)) << column;
    EXPECT_EQ(picture.at(clientX(column), 1 + kHeight / 4 + left), RGB(102, 255, 102)) << column;
    EXPECT_EQ(picture.at(clientX(column), 1 + 3 * kHeight / 4 + right), RGB(102, 255, 102)) << column;
    EXPECT_EQ(picture.at(clientX(column), 1 + 3 * kHeight / 4 + right + 1), RGB(0, 0, 0)) << column;
  }
  EXPECT_EQ(picture.at(clientX(60), 1 + kHeight / 2), GetSysColor(COLOR_GRAYTEXT));

  // Disabled: all gray.
  EnableWindow(display->window(), FALSE);
  picture = displaytest::printClient(display->window());
  EXPECT_EQ(picture.at(clientX(60), centre), RGB(128, 128, 128));
  EXPECT_EQ(picture.at(0, 0), RGB(128, 128, 128));
}

TEST(WaveDisplayPainting, ScreenshotOfARealWaveform) {
  // For people to look at: the whole sound in the upper display (mode 0,
  // from the overview) and a close-up around the burst in mode 2 below.
  TestWindow window(802, 404);
  auto overview = WaveDisplay::create(window.handle(), 1, RECT{0, 0, 802, 202});
  auto closeUp = WaveDisplay::create(window.handle(), 2, RECT{0, 202, 802, 404});
  ASSERT_TRUE(overview && closeUp);
  TestSound sound = displaytest::makeTestSound(700000);
  overview->setSound(sound.buffer);
  overview->setRange(0, 720000);
  overview->setSelection(200000, 320000);
  overview->setHighlight(280000, 400000);
  overview->setCursor(450000);
  overview->setBookmarks({5000, 12000});
  closeUp->setSound(sound.buffer);
  closeUp->setMode(2, false);
  closeUp->setRange(displaytest::kBurstFrame - 40 * 100, 800 * 100);
  closeUp->setCursor(displaytest::kBurstFrame + 1000);
  ASSERT_TRUE(overview->waitForPeaks(kPeakWaitMs));
  ASSERT_TRUE(closeUp->waitForPeaks(kPeakWaitMs));
  EXPECT_GT(overview->peakWork().overviewColumns, 0);
  EXPECT_GT(closeUp->peakWork().sampleColumns, 0);
  displaytest::pumpMessages(300);

  // What the screen shows is what the display painted for itself.
  Picture screen = displaytest::captureScreen(window.handle());
  Picture own = displaytest::printClient(overview->window());
  POINT origin{0, 0};
  ClientToScreen(overview->window(), &origin);
  RECT frame;
  GetWindowRect(window.handle(), &frame);
  int dx = origin.x - frame.left, dy = origin.y - frame.top;
  int differing = 0;
  for (int y = 0; y < own.height; y += 3)
    for (int x = 0; x < own.width; x += 3) differing += screen.at(dx + x, dy + y) != own.at(x, y);
  EXPECT_EQ(differing, 0);
  EXPECT_TRUE(displaytest::saveBitmap(screen, displaytest::outputFolder() + "/wave_display.bmp"));
}

TEST(WaveDisplayMouse, ClicksSetTheCursorDragsSelectAndShiftExtends) {
  TestWindow window(602, 202);
  auto display = WaveDisplay::create(window.handle(), 1, RECT{0, 0, 602, 202});
  ASSERT_TRUE(display);
  TestSound sound = displaytest::makeTestSound(100000);
  display->setSound(sound.buffer);
  display->setRange(20000, 600 * 100);
  std::vector<int64_t> cursors;
  std::vector<std::pair<int64_t, int64_t>> selections;
  display->onCursor = [&](int64_t frame) { cursors.push_back(frame); };
  display->onSelect = [&](int64_t start, int64_t end) { selections.emplace_back(start, end); };
  HWND hwnd = display->window();
  auto at = [](int x) { return MAKELPARAM(x, 50); };

  SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at(clientX(100)));
  SendMessageW(hwnd, WM_MOUSEMOVE, MK_LBUTTON, at(clientX(150)));
  SendMessageW(hwnd, WM_MOUSEMOVE, MK_LBUTTON, at(clientX(40)));
  SendMessageW(hwnd, WM_LBUTTONUP, 0, at(clientX(40)));
  EXPECT_EQ(cursors, (std::vector<int64_t>{30000}));
  const std::vector<std::pair<int64_t, int64_t>> dragged{{30000, 30000}, {30000, 35000}, {24000, 30000}};
  EXPECT_EQ(selections, dragged);
  EXPECT_EQ(display->cursor(), 30000);
  EXPECT_EQ(display->selectionStart(), 24000);
  EXPECT_EQ(display->selectionEnd(), 30000);

  // Shift moves the nearer end; the far one stays.
  selections.clear();
  SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, at(clientX(200)));
  SendMessageW(hwnd, WM_LBUTTONUP, MK_SHIFT, at(clientX(200)));
  SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, at(clientX(10)));
  SendMessageW(hwnd, WM_LBUTTONUP, MK_SHIFT, at(clientX(10)));
  const std::vector<std::pair<int64_t, int64_t>> extended{{24000, 40000}, {21000, 40000}};
  EXPECT_EQ(selections, extended);
  EXPECT_EQ(cursors.size(), 1u);

  // Past the end of the sound (frame 100,000 is column 800) frames stop at its length.
  SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at(clientX(590)));
  SendMessageW(hwnd, WM_LBUTTONUP, 0, at(clientX(590)));
  EXPECT_EQ(cursors.back(), 79000);
  display->setRange(50000, 600 * 100);
  SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at(clientX(590)));
  SendMessageW(hwnd, WM_MOUSEMOVE, MK_LBUTTON, at(-30));
  SendMessageW(hwnd, WM_LBUTTONUP, 0, at(-30));
  EXPECT_EQ(cursors.back(), 100000);
  // Left of the display the frame under the mouse is still taken.
  EXPECT_EQ(selections.back(), (std::pair<int64_t, int64_t>{46900, 100000}));

  // An overview strip hands the frame to its parent and keeps its marks.
  std::vector<int64_t> targets;
  display->setClickMode(WaveDisplay::ClickMode::Navigate);
  display->onNavigate = [&](int64_t frame) { targets.push_back(frame); };
  size_t cursorCalls = cursors.size();
  SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at(clientX(5)));
  SendMessageW(hwnd, WM_MOUSEMOVE, MK_LBUTTON, at(clientX(6)));
  SendMessageW(hwnd, WM_LBUTTONUP, 0, at(clientX(6)));
  EXPECT_EQ(targets, (std::vector<int64_t>{50500, 50600}));
  EXPECT_EQ(cursors.size(), cursorCalls);
}

TEST(WaveDisplayLifetime, ClosingTheWindowStopsItsThreadPromptly) {
  TestSound sound = displaytest::makeTestSound(700000);
  for (bool destroyParent : {true, false}) {
    TestWindow window(2050, 202);
    auto display = WaveDisplay::create(window.handle(), 1, RECT{0, 0, 2050, 202});
    ASSERT_TRUE(display);
    ASSERT_TRUE(display->threadRunning());
    display->setSound(sound.buffer);
    // 2,048 close-up columns of 256 frames: about half a million frames to read.
    display->setRange(0, 2048 * 256);
    Sleep(5);
    DWORD start = GetTickCount();
    if (destroyParent)
      window.destroy();  // takes the display's window with it
    else
      display->close();
    DWORD took = GetTickCount() - start;
    EXPECT_EQ(display->window(), nullptr);
    EXPECT_FALSE(display->threadRunning());
    EXPECT_LT(took, 1000u) << (destroyParent ? "parent destroyed" : "display closed");
    // Asking a closed display for more does nothing.
    display->setRange(1000, 5000);
    display->setCursor(3);
    EXPECT_FALSE(display->threadRunning());
  }
}

}  // namespace
