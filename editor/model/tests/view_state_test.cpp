#include "editor/model/view_state.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

using Range = std::pair<int32_t, int32_t>;
constexpr int32_t kMax = INT32_MAX;

struct Case {
  int32_t start, end, cursor, length;
  Range expected;
};

void check(void (*operation)(ViewState&, int32_t), std::initializer_list<Case> cases) {
  for (const auto& c : cases) {
    ViewState view;
    view.visibleStart = c.start;
    view.visibleEnd = c.end;
    view.cursor = c.cursor;
    operation(view, c.length);
    EXPECT_EQ(Range(view.visibleStart, view.visibleEnd), c.expected) << c.start << ".." << c.end << " @" << c.cursor;
  }
}

TEST(ViewState, ZoomingAndScrollingStayInsideTheSound) {
  check(zoomIn, {{0, 1000, 500, 1000, {250, 750}},
                 {0, 1000, 990, 1000, {740, 1000}},  // cut at the end
                 {0, 150, 75, 1000, {25, 125}},      // no fewer than 100 frames
                 {0, 50, 0, 30, {0, 30}},
                 {0, kMax, kMax / 2, kMax, {kMax / 4 + 1, kMax / 4 + 1 + kMax / 2}}});
  check(zoomOut, {{400, 600, 0, 1000, {300, 700}},
                  {50, 250, 0, 1000, {0, 400}},
                  {0, 800, 0, 1000, {0, 1000}},
                  {kMax - 1000, kMax, 0, kMax, {kMax - 1500, kMax}},
                  {0, kMax, 0, kMax, {0, kMax}}});
  check(scrollToShowCursor, {{100, 200, 200, 1000, {100, 200}},
                             {100, 200, 50, 1000, {50, 150}},
                             {100, 200, 500, 1000, {400, 500}},
                             {0, 400, 900, 500, {100, 500}},  // past the end: the span stays whole
                             {kMax - 200, kMax - 100, kMax, kMax, {kMax - 100, kMax}}});

  ViewState view;
  view.sampleRate = 22050;
  setVisibleRange(view, 5000, 6000, 1000);
  EXPECT_EQ(Range(view.visibleStart, view.visibleEnd), Range(999, 1000));
  setVisibleRange(view, -5, int64_t{1} << 40, kMax);
  EXPECT_EQ(Range(view.visibleStart, view.visibleEnd), Range(0, kMax));
  setVisibleRange(view, 10, 20, 0);  // an empty sound shows its first second
  EXPECT_EQ(Range(view.visibleStart, view.visibleEnd), Range(0, 22050));
  zoomToSelection(view, 1000);  // no selection: nothing changes
  zoomFull(view, 0);
  EXPECT_EQ(Range(view.visibleStart, view.visibleEnd), Range(0, 22050));
  view.selectionStart = 100;
  view.selectionEnd = 400;
  zoomToSelection(view, 1000);
  EXPECT_EQ(Range(view.visibleStart, view.visibleEnd), Range(100, 400));
}

TEST(ViewState, SelectionsAndMarksAreOrderedAndClamped) {
  ViewState view;
  auto selection = [&view] { return Range(view.selectionStart, view.selectionEnd); };
  view.cursor = 300;
  selectToStart(view, 1000);
  EXPECT_EQ(selection(), Range(0, 300));
  selectToEnd(view, 1000);
  EXPECT_EQ(selection(), Range(300, 1000));
  setSelection(view, 700, -5, 1000);
  EXPECT_EQ(selection(), Range(0, 700));
  setSelection(view, 400, 400, 1000);
  EXPECT_FALSE(hasSelection(view));

  view.cursor = 600;
  markFirst(view, 1000);
  EXPECT_EQ(selection(), Range(0, 600));  // the second mark is still 0
  view.cursor = 250;
  markSecond(view, 1000);
  selectAll(view, 1000);
  recallMarks(view, 400);  // the sound got shorter since
  EXPECT_EQ(selection(), Range(250, 400));
}

}  // namespace
