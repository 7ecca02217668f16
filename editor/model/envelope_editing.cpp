#include "editor/model/envelope_editing.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kTop = 255;  // the largest position and level

// a / b rounded to the nearest, for a >= 0 and b > 0.
int roundedDivide(int64_t a, int64_t b) { return static_cast<int>((2 * a + b) / (2 * b)); }

// Pixels from the plot's first column or row to a value 0..255.
int valueAtOffset(int offset, int pixels) {
  if (pixels < 2) return 0;
  return roundedDivide(std::clamp(offset, 0, pixels - 1) * int64_t{kTop}, pixels - 1);
}

int offsetOfValue(int value, int pixels) {
  if (pixels < 2) return 0;
  return roundedDivide(int64_t{std::clamp(value, 0, kTop)} * (pixels - 1), kTop);
}

uint8_t toByte(int value) { return static_cast<uint8_t>(std::clamp(value, 0, kTop)); }

}  // namespace

int positionToX(const CurvePlot& plot, int position) { return plot.left + offsetOfValue(position, plot.width); }

int levelToY(const CurvePlot& plot, int level) { return plot.top + offsetOfValue(kTop - level, plot.height); }

uint8_t positionAtX(const CurvePlot& plot, int x) { return toByte(valueAtOffset(x - plot.left, plot.width)); }

uint8_t levelAtY(const CurvePlot& plot, int y) { return toByte(kTop - valueAtOffset(y - plot.top, plot.height)); }

int envelopePointAt(const EnvelopeCurve& curve, const CurvePlot& plot, int x, int y, int radius) {
  int found = -1;
  int64_t nearest = 0;
  for (size_t i = 0; i < curve.points.size(); ++i) {
    const int dx = std::abs(positionToX(plot, curve.points[i].position) - x);
    const int dy = std::abs(levelToY(plot, curve.points[i].level) - y);
    if (dx > radius || dy > radius) continue;
    const int64_t distance = int64_t{dx} * dx + int64_t{dy} * dy;
    if (found < 0 || distance <= nearest) {
      found = static_cast<int>(i);
      nearest = distance;
    }
  }
  return found;
}

EnvelopeCurve editableEnvelope(EnvelopeCurve curve) {
  auto& points = curve.points;
  if (points.size() < 2) return flatEnvelope();
  if (points.size() > kMaxEnvelopePoints) points.resize(kMaxEnvelopePoints);
  for (size_t i = 1; i < points.size(); ++i) points[i].position = std::max(points[i].position, points[i - 1].position);
  points.front().position = 0;
  if (points.back().position < kTop) {
    if (points.size() < kMaxEnvelopePoints) {
      points.push_back({kTop, points.back().level});
    } else {
      points.back().position = kTop;
    }
  }
  return curve;
}

int addEnvelopePoint(EnvelopeCurve& curve, int position, int level) {
  auto& points = curve.points;
  if (points.size() < 2 || points.size() >= kMaxEnvelopePoints) return -1;
  position = std::clamp<int>(position, points.front().position, points.back().position);
  size_t index = 1;
  while (index < points.size() - 1 && points[index].position <= position) ++index;
  points.insert(points.begin() + static_cast<std::ptrdiff_t>(index), {toByte(position), toByte(level)});
  return static_cast<int>(index);
}

void moveEnvelopePoint(EnvelopeCurve& curve, size_t index, int position, int level) {
  auto& points = curve.points;
  if (index >= points.size()) return;
  points[index].level = toByte(level);
  if (index == 0 || index == points.size() - 1) return;
  points[index].position = toByte(std::clamp<int>(position, points[index - 1].position, points[index + 1].position));
}

bool removeEnvelopePoint(EnvelopeCurve& curve, size_t index) {
  auto& points = curve.points;
  if (index == 0 || index + 1 >= points.size()) return false;
  points.erase(points.begin() + static_cast<std::ptrdiff_t>(index));
  return true;
}

int envelopePositionPercent(int position) { return roundedDivide(int64_t{std::clamp(position, 0, kTop)} * 100, kTop); }

// Level 128 is the original loudness.
int envelopeLevelPercent(int level) { return roundedDivide(int64_t{std::clamp(level, 0, kTop)} * 100, 128); }

std::string envelopePointText(int position, int level) {
  char text[64];
  std::snprintf(text, sizeof text, "Position %d %%   Level %d %%", envelopePositionPercent(position),
                envelopeLevelPercent(level));
  return text;
}
