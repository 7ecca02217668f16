#include "editor/model/envelope_editing.h"

#include <gtest/gtest.h>

namespace {

using Points = std::vector<std::pair<int, int>>;

Points pointsOf(const EnvelopeCurve& curve) {
  Points points;
  for (const auto& point : curve.points) points.emplace_back(point.position, point.level);
  return points;
}

EnvelopeCurve curveOf(const Points& points) {
  EnvelopeCurve curve;
  for (auto [position, level] : points)
    curve.points.push_back({static_cast<uint8_t>(position), static_cast<uint8_t>(level)});
  return curve;
}

TEST(EnvelopeEditing, PixelsMapOntoPositionsAndLevelsAndBack) {
  // 511 columns: two pixels per position step, exactly; 256 rows: one per level.
  const CurvePlot exact{10, 20, 511, 256};
  const struct {
    int value, x, y;
  } corners[] = {{0, 10, 275}, {1, 12, 274}, {128, 266, 147}, {255, 520, 20}};
  for (const auto& c : corners) {
    EXPECT_EQ(positionToX(exact, c.value), c.x) << c.value;
    EXPECT_EQ(levelToY(exact, c.value), c.y) << c.value;
    EXPECT_EQ(positionAtX(exact, c.x), c.value) << c.value;
    EXPECT_EQ(levelAtY(exact, c.y), c.value) << c.value;
  }
  // Outside the plot: the nearest edge.
  EXPECT_EQ(positionAtX(exact, -50), 0);
  EXPECT_EQ(positionAtX(exact, 5000), 255);
  EXPECT_EQ(levelAtY(exact, 0), 255);
  EXPECT_EQ(levelAtY(exact, 900), 0);

  // A plot with more pixels than values gives every value back; one with
  // fewer gives every pixel back. Either way the mapping never goes backwards.
  for (const CurvePlot plot : {CurvePlot{3, 7, 400, 300}, CurvePlot{0, 0, 256, 256}}) {
    int lastX = -1;
    for (int value = 0; value <= 255; ++value) {
      EXPECT_EQ(positionAtX(plot, positionToX(plot, value)), value) << plot.width << " " << value;
      EXPECT_EQ(levelAtY(plot, levelToY(plot, value)), value) << plot.height << " " << value;
      EXPECT_GT(positionToX(plot, value), lastX);
      lastX = positionToX(plot, value);
    }
  }
  const CurvePlot narrow{5, 5, 90, 60};
  for (int x = 5; x < 95; ++x) EXPECT_EQ(positionToX(narrow, positionAtX(narrow, x)), x) << x;
  for (int y = 5; y < 65; ++y) EXPECT_EQ(levelToY(narrow, levelAtY(narrow, y)), y) << y;
  // A plot too small to draw in maps everything onto its corner.
  EXPECT_EQ(positionToX({4, 4, 1, 1}, 200), 4);
  EXPECT_EQ(positionAtX({4, 4, 0, 0}, 100), 0);
}

TEST(EnvelopeEditing, FindsTheNearestPointWithinTheRadius) {
  const CurvePlot plot{0, 0, 511, 256};  // x = 2 * position, y = 255 - level
  EnvelopeCurve curve = curveOf({{0, 128}, {50, 200}, {52, 200}, {255, 0}});
  EXPECT_EQ(envelopePointAt(curve, plot, 0, 127, 4), 0);
  EXPECT_EQ(envelopePointAt(curve, plot, 101, 55, 4), 1);  // 50 lies at x 100, 52 at x 104
  EXPECT_EQ(envelopePointAt(curve, plot, 103, 56, 4), 2);
  EXPECT_EQ(envelopePointAt(curve, plot, 510, 255, 4), 3);
  EXPECT_EQ(envelopePointAt(curve, plot, 505, 255, 4), -1);  // 5 pixels off
  EXPECT_EQ(envelopePointAt(curve, plot, 100, 60, 4), -1);
  // Two points on one pixel: the later one, so a point dropped onto a
  // neighbour can be picked up again.
  curve = curveOf({{0, 128}, {100, 128}, {100, 128}, {255, 128}});
  EXPECT_EQ(envelopePointAt(curve, plot, 200, 127, 4), 2);
  EXPECT_EQ(envelopePointAt(EnvelopeCurve{}, plot, 0, 0, 4), -1);
}

TEST(EnvelopeEditing, AddsPointsInOrderUpToSixtyFour) {
  EnvelopeCurve curve = flatEnvelope();
  EXPECT_EQ(addEnvelopePoint(curve, 100, 40), 1);
  EXPECT_EQ(addEnvelopePoint(curve, 50, 300), 1);   // before 100; level capped
  EXPECT_EQ(addEnvelopePoint(curve, 100, 0), 3);    // after the point already at 100
  EXPECT_EQ(addEnvelopePoint(curve, 0, 10), 1);     // after the first point, never before it
  EXPECT_EQ(addEnvelopePoint(curve, 255, 10), 5);   // before the last point, never after it
  EXPECT_EQ(addEnvelopePoint(curve, 999, -5), 6);   // off the plot: clamped
  EXPECT_EQ(pointsOf(curve),
            (Points{{0, 128}, {0, 10}, {50, 255}, {100, 40}, {100, 0}, {255, 10}, {255, 0}, {255, 128}}));

  curve = flatEnvelope();
  for (int i = 0; i < 62; ++i) ASSERT_EQ(addEnvelopePoint(curve, 4 * i + 2, i), i + 1) << i;
  ASSERT_EQ(curve.points.size(), kMaxEnvelopePoints);
  const Points full = pointsOf(curve);
  EXPECT_EQ(addEnvelopePoint(curve, 3, 3), -1);
  EXPECT_EQ(pointsOf(curve), full);
  // Room again once one goes.
  ASSERT_TRUE(removeEnvelopePoint(curve, 10));
  EXPECT_EQ(addEnvelopePoint(curve, 38, 9), 10);

  EnvelopeCurve lone = curveOf({{0, 128}});
  EXPECT_EQ(addEnvelopePoint(lone, 5, 5), -1);  // not an editable curve
}

TEST(EnvelopeEditing, MovedPointsStayBetweenTheirNeighboursAndEndsKeepTheirPositions) {
  EnvelopeCurve curve = curveOf({{0, 128}, {60, 100}, {120, 100}, {255, 128}});
  const struct {
    size_t index;
    int position, level;
    Points expected;
  } moves[] = {
      {1, 80, 90, {{0, 128}, {80, 90}, {120, 100}, {255, 128}}},
      {1, 200, 300, {{0, 128}, {120, 255}, {120, 100}, {255, 128}}},  // stops at its neighbour
      {2, 10, -4, {{0, 128}, {120, 255}, {120, 0}, {255, 128}}},
      {2, 250, 64, {{0, 128}, {120, 255}, {250, 64}, {255, 128}}},
      {0, 90, 20, {{0, 20}, {120, 255}, {250, 64}, {255, 128}}},      // first: level only
      {3, 3, 255, {{0, 20}, {120, 255}, {250, 64}, {255, 255}}},      // last: level only
      {4, 3, 3, {{0, 20}, {120, 255}, {250, 64}, {255, 255}}},        // no such point
  };
  for (const auto& move : moves) {
    moveEnvelopePoint(curve, move.index, move.position, move.level);
    EXPECT_EQ(pointsOf(curve), move.expected) << move.index << " to " << move.position;
  }
}

TEST(EnvelopeEditing, RemovesInnerPointsOnly) {
  EnvelopeCurve curve = curveOf({{0, 1}, {10, 2}, {20, 3}, {255, 4}});
  EXPECT_FALSE(removeEnvelopePoint(curve, 0));
  EXPECT_FALSE(removeEnvelopePoint(curve, 3));
  EXPECT_FALSE(removeEnvelopePoint(curve, 9));
  EXPECT_TRUE(removeEnvelopePoint(curve, 1));
  EXPECT_EQ(pointsOf(curve), (Points{{0, 1}, {20, 3}, {255, 4}}));
  EXPECT_TRUE(removeEnvelopePoint(curve, 1));
  EXPECT_FALSE(removeEnvelopePoint(curve, 1));  // the two ends stay
  EXPECT_EQ(pointsOf(curve), (Points{{0, 1}, {255, 4}}));
}

TEST(EnvelopeEditing, StoredCurvesBecomeEditableWithoutChangingTheirEffect) {
  const struct {
    Points stored, editable;
  } cases[] = {
      {{}, {{0, 128}, {255, 128}}},
      {{{40, 7}}, {{0, 128}, {255, 128}}},  // one point does nothing: flat
      {{{0, 0}, {255, 128}}, {{0, 0}, {255, 128}}},
      {{{30, 9}, {100, 200}, {255, 1}}, {{0, 9}, {100, 200}, {255, 1}}},  // the first point's place is not used
      {{{0, 9}, {100, 200}, {180, 50}}, {{0, 9}, {100, 200}, {180, 50}, {255, 50}}},  // the level holds after it
      {{{0, 9}, {100, 200}, {60, 50}, {255, 1}}, {{0, 9}, {100, 200}, {100, 50}, {255, 1}}},
  };
  for (const auto& c : cases) EXPECT_EQ(pointsOf(editableEnvelope(curveOf(c.stored))), c.editable);

  // A full curve that stops early cannot take a partner: its last point moves.
  Points full;
  for (int i = 0; i < 64; ++i) full.emplace_back(i * 3, i);
  Points expected = full;
  expected.back().first = 255;
  EXPECT_EQ(pointsOf(editableEnvelope(curveOf(full))), expected);
}

TEST(EnvelopeEditing, ReadoutInPercent) {
  const struct {
    int position, level;
    const char* text;
  } cases[] = {
      {0, 0, "Position 0 %   Level 0 %"},
      {128, 128, "Position 50 %   Level 100 %"},
      {255, 255, "Position 100 %   Level 199 %"},
      {64, 64, "Position 25 %   Level 50 %"},
      {1, 1, "Position 0 %   Level 1 %"},
  };
  for (const auto& c : cases) EXPECT_EQ(envelopePointText(c.position, c.level), c.text);
}

}  // namespace
