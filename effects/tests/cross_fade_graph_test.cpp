#include <gtest/gtest.h>

#include "effects/cross_fade_graph.h"

namespace {

// At 1,000 Hz milliseconds are frames. The output gets a margin of an eighth
// of its length on each side; areas are chosen one column a frame.
TEST(CrossFadeGraph, LinesBendWhereTheLayoutStartsAndEndsEachFade) {
  // No gap: the lead is the whole fade in.
  CrossFadeLayout layout = crossFadeLayout(10000, 20000, 1000, {0, 300, 600});
  ASSERT_EQ(layout.outputFrames, 900);
  // Margin 112: 1,124 frames shown over columns 0..1124, column = k + 112.
  CrossFadeGraph graph = crossFadeGraph(layout, 1125, 101);
  EXPECT_EQ(graph.fadingOut, (std::vector<GraphPoint>{{0, 0}, {412, 0}, {1012, 100}, {1124, 100}}));
  EXPECT_EQ(graph.fadingIn, (std::vector<GraphPoint>{{0, 100}, {112, 100}, {412, 0}, {1124, 0}}));
  EXPECT_EQ(graph.joinStartX, 112);
  EXPECT_EQ(graph.selectionStartX, 412);
  EXPECT_EQ(graph.selectionEndX, 412);  // no gap: the end lands on the start
  EXPECT_EQ(graph.joinEndX, 1012);

  // A gap longer than the fade in: no lead; the rise starts inside the gap
  // and the fall ends before the end lands.
  layout = crossFadeLayout(10000, 20000, 1000, {600, 200, 400});
  ASSERT_EQ(layout.outputFrames, 600);
  graph = crossFadeGraph(layout, 751, 51);  // margin 75: column = k + 75
  EXPECT_EQ(graph.fadingOut, (std::vector<GraphPoint>{{0, 0}, {75, 0}, {475, 50}, {750, 50}}));
  EXPECT_EQ(graph.fadingIn, (std::vector<GraphPoint>{{0, 50}, {475, 50}, {675, 0}, {750, 0}}));
  EXPECT_EQ(graph.selectionStartX, 75);
  EXPECT_EQ(graph.selectionEndX, 675);
}

TEST(CrossFadeGraph, ScalesAnyLayoutIntoTheArea) {
  // Half the pixels: every column halves (rounded down).
  CrossFadeLayout layout = crossFadeLayout(10000, 20000, 1000, {600, 200, 400});
  CrossFadeGraph graph = crossFadeGraph(layout, 376, 26);
  EXPECT_EQ(graph.fadingIn, (std::vector<GraphPoint>{{0, 25}, {237, 25}, {337, 0}, {375, 0}}));
  // Minute-long fades at 96 kHz do not overflow; nothing leaves the area.
  layout = crossFadeLayout(0, 100000000, 96000, {60000, 60000, 60000});
  graph = crossFadeGraph(layout, 400, 120);
  for (const auto* line : {&graph.fadingOut, &graph.fadingIn}) {
    ASSERT_EQ(line->size(), 4u);
    for (size_t i = 0; i < line->size(); ++i) {
      EXPECT_GE((*line)[i].x, 0);
      EXPECT_LT((*line)[i].x, 400);
      if (i > 0) {
        EXPECT_GE((*line)[i].x, (*line)[i - 1].x);
      }
    }
  }
  // A 60 s gap in 75 s shown: from a tenth to nine tenths of 399 columns.
  EXPECT_EQ(graph.selectionStartX, 39);
  EXPECT_EQ(graph.selectionEndX, 359);
  // All times zero: still two flat lines that cross in the middle.
  graph = crossFadeGraph(crossFadeLayout(100, 100, 1000, {0, 0, 0}), 101, 11);
  EXPECT_EQ(graph.fadingOut.front(), (GraphPoint{0, 0}));
  EXPECT_EQ(graph.fadingOut.back(), (GraphPoint{100, 10}));
  EXPECT_EQ(graph.selectionStartX, 50);
}

}  // namespace
