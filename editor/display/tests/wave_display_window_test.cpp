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
  // An upper display in mode 0 with every kind of column and mark, a lower
  // one in mode 2 close up around the burst; the screen is saved for people
  // to look at.
  constexpr int kColumns = 600, kHeight = 200;
  TestWindow window(kColumns + 2, 2 * (kHeight + 2), POINT{40, 320});
  auto display = WaveDisplay::create(window.handle(), 1, RECT{0, 0, kColumns + 2, kHeight + 2});
  auto dual = WaveDisplay::create(window.handle(), 2, RECT{0, kHeight + 2, kColumns + 2, 2 * (kHeight + 2)});
  ASSERT_TRUE(display && dual);
  TestSound sound = displaytest::makeTestSound(400000);
  display->setSound(sound.buffer);
  // 100 frames a column; the sound ends at column 500.
  display->setRange(350000, 100 * kColumns);
  display->setSelection(350000 + 100 * 100, 350000 + 200 * 100);
  display->setHighlight(350000 + 150 * 100, 350000 + 250 * 100);
  display->setCursor(350000 + 300 * 100 + 50);
  display->setBookmarks({8000});  // frame 352,800: column 28
  dual->setSound(sound.buffer);
  dual->setMode(2, false);
  dual->setRange(displaytest::kBurstFrame - 40 * 100, 100 * kColumns);
  ASSERT_TRUE(display->waitForPeaks(kPeakWaitMs));
  ASSERT_TRUE(dual->waitForPeaks(kPeakWaitMs));
  displaytest::pumpMessages(300);

  // What the screen shows is what the display paints for itself.
  Picture picture = displaytest::printClient(display->window());
  Picture screen = displaytest::captureScreen(window.handle());
  EXPECT_TRUE(displaytest::saveBitmap(screen, displaytest::outputFolder() + "/wave_display.bmp"));
  POINT origin{0, 0};
  ClientToScreen(display->window(), &origin);
  RECT frame;
  GetWindowRect(window.handle(), &frame);
  int differing = 0;
  for (int y = 0; y < picture.height; y += 3)
    for (int x = 0; x < picture.width; x += 3)
      differing += screen.at(origin.x - frame.left + x, origin.y - frame.top + y) != picture.at(x, y);
  EXPECT_EQ(differing, 0);

  const int centre = 1 + kHeight / 2;
  const int top = 1 + 10;
  struct Column {
    int column;
    COLORREF background, wave;
  };
  const Column columns[] = {
      {60, RGB(0, 0, 0), RGB(102, 255, 102)},                          // plain
      {120, RGB(255, 255, 189), RGB(0, 128, 0)},                       // selected
      {170, RGB(0, 128, 0), RGB(255, 255, 189)},                       // selected and highlighted
      {220, RGB(5, 95, 167), RGB(255, 255, 255)},                      // highlighted
      {550, GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_GRAYTEXT)},  // past the end
  };
  for (const Column& c : columns) {
    EXPECT_EQ(picture.at(clientX(c.column), top), c.background) << "column " << c.column;
    EXPECT_EQ(picture.at(clientX(c.column), centre), c.wave) << "column " << c.column;
  }

  // The wave reaches (byte * height) >> 9 pixels above and below the centre;
  // in mode 2 each channel does so in its half about its own centre.
  auto expectReach = [](const Picture& picture, int column, int centre, int up, int down) {
    COLORREF wave = picture.at(clientX(column), centre);
    EXPECT_EQ(picture.at(clientX(column), centre - up), wave) << column;
    EXPECT_NE(picture.at(clientX(column), centre - up - 1), wave) << column;
    EXPECT_EQ(picture.at(clientX(column), centre + down), wave) << column;
    EXPECT_NE(picture.at(clientX(column), centre + down + 1), wave) << column;
  };
  auto upper = display->upperColumns(), lower = display->lowerColumns();
  for (int column : {60, 130, 260, 420})
    expectReach(picture, column, centre, (upper[column] * kHeight) >> 9, (lower[column] * kHeight) >> 9);
  Picture dualPicture = displaytest::printClient(dual->window());
  upper = dual->upperColumns(), lower = dual->lowerColumns();
  for (int column : {20, 45, 300}) {
    const int left = (upper[column] * kHeight / 2) >> 9, right = (lower[column] * kHeight / 2) >> 9;
    expectReach(dualPicture, column, 1 + kHeight / 4, left, left);
    expectReach(dualPicture, column, 1 + 3 * kHeight / 4, right, right);
  }
  EXPECT_EQ(dualPicture.at(clientX(20), 1 + kHeight / 2), GetSysColor(COLOR_GRAYTEXT));

  // Cursor: a line clear of the edges by 6 pixels, and markers 4 pixels to each side.
  const COLORREF yellow = RGB(255, 255, 17);
  const int cursorX = clientX(300);
  for (POINT p : {POINT{cursorX, 6}, POINT{cursorX, centre - 40}, POINT{cursorX, kHeight + 2 - 7},
                  POINT{cursorX - 4, 1}, POINT{cursorX + 4, 1}, POINT{cursorX - 4, kHeight}})
    EXPECT_EQ(picture.at(p.x, p.y), yellow) << p.x << "," << p.y;
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

  EnableWindow(display->window(), FALSE);
  picture = displaytest::printClient(display->window());
  EXPECT_EQ(picture.at(clientX(60), centre), RGB(128, 128, 128));
  EXPECT_EQ(picture.at(0, 0), RGB(128, 128, 128));
}

TEST(WaveDisplayMouse, ClicksSetTheCursorDragsSelectAndShiftExtends) {
  TestWindow window(602, 202);
  auto display = WaveDisplay::create(window.handle(), 1, RECT{0, 0, 602, 202});
  ASSERT_TRUE(display);
  TestSound sound = displaytest::makeTestSound(100000);
  display->setSound(sound.buffer);
  display->setRange(20000, 600 * 100);
  std::vector<int64_t> cursors, targets;
  std::vector<std::pair<int64_t, int64_t>> selections;
  display->onCursor = [&](int64_t frame) { cursors.push_back(frame); };
  display->onSelect = [&](int64_t start, int64_t end) { selections.emplace_back(start, end); };
  display->onNavigate = [&](int64_t frame) { targets.push_back(frame); };
  // Presses at the first client x, moves through the others and lets go at the last.
  auto drag = [&](WPARAM keys, std::initializer_list<int> xs) {
    for (int x : xs)
      SendMessageW(display->window(), x == *xs.begin() ? WM_LBUTTONDOWN : WM_MOUSEMOVE, keys | MK_LBUTTON,
                   MAKELPARAM(x, 50));
    SendMessageW(display->window(), WM_LBUTTONUP, keys, MAKELPARAM(*(xs.end() - 1), 50));
  };
  using Range = std::pair<int64_t, int64_t>;

  drag(0, {clientX(100), clientX(150), clientX(40)});
  EXPECT_EQ(cursors, (std::vector<int64_t>{30000}));
  EXPECT_EQ(selections, (std::vector<Range>{{30000, 30000}, {30000, 35000}, {24000, 30000}}));
  EXPECT_EQ(display->cursor(), 30000);
  EXPECT_EQ(Range(display->selectionStart(), display->selectionEnd()), Range(24000, 30000));

  // Shift moves the nearer end; the far one stays.
  selections.clear();
  drag(MK_SHIFT, {clientX(200)});
  drag(MK_SHIFT, {clientX(10)});
  EXPECT_EQ(selections, (std::vector<Range>{{24000, 40000}, {21000, 40000}}));
  EXPECT_EQ(cursors.size(), 1u);

  // Frames stop at the sound's length (column 500 here); left of the display
  // the frame under the mouse is still taken.
  display->setRange(50000, 600 * 100);
  drag(0, {clientX(590), -30});
  EXPECT_EQ(cursors.back(), 100000);
  EXPECT_EQ(selections.back(), Range(46900, 100000));

  // An overview strip hands the frame to its parent and keeps its marks.
  display->setClickMode(WaveDisplay::ClickMode::Navigate);
  size_t cursorCalls = cursors.size();
  drag(0, {clientX(5), clientX(6)});
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
