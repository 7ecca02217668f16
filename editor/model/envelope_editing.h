#pragma once
// Editing an envelope curve on screen, apart from the window that shows it:
// where a point lies in pixels and back, which point the mouse is on, and
// adding, moving and removing points under the curve's rules (at most
// kMaxEnvelopePoints points, positions never decreasing, the first and last
// points always there).

#include <cstdint>
#include <string>

#include "effects/amplitude_effects.h"

// The plot in client pixels: position 0..255 runs from the left column to
// the right one, level 0..255 from the bottom row to the top one.
struct CurvePlot {
  int left = 0;
  int top = 0;
  int width = 256;
  int height = 256;
};

// The pixel of a position or level (nearest), and back (nearest, clamped to
// 0..255 for pixels outside the plot).
int positionToX(const CurvePlot& plot, int position);
int levelToY(const CurvePlot& plot, int level);
uint8_t positionAtX(const CurvePlot& plot, int x);
uint8_t levelAtY(const CurvePlot& plot, int y);

// The point nearest to (x, y) within `radius` pixels in both directions, or
// -1. Of points drawn on the same pixel the last wins, so that a point
// dragged onto another can be dragged off again.
int envelopePointAt(const EnvelopeCurve& curve, const CurvePlot& plot, int x, int y, int radius);

// The curve as the editor holds it: at least two points, the first at
// position 0 and the last at 255. The effect ignores where the first point
// lies and holds the last point's level to the end, so the result of
// applying it stays the same (a last point before 255 gets a partner at 255;
// only a full curve has its last point moved instead). Fewer than two points
// do nothing when applied: they become the flat curve.
EnvelopeCurve editableEnvelope(EnvelopeCurve curve);

// Adds a point between the first and the last one, after any point at the
// same position; returns its index, or -1 when the curve is full (or has
// fewer than two points to put it between).
int addEnvelopePoint(EnvelopeCurve& curve, int position, int level);
// Moves a point: its position stays between its neighbours' (the first and
// last points keep theirs), its level within 0..255.
void moveEnvelopePoint(EnvelopeCurve& curve, size_t index, int position, int level);
// Removes a point other than the first and the last; false if it may not go.
bool removeEnvelopePoint(EnvelopeCurve& curve, size_t index);

// Position in percent of the selection, level in percent of the original
// (128 = 100 %), rounded to the nearest.
int envelopePositionPercent(int position);
int envelopeLevelPercent(int level);
// "Position 50 %   Level 100 %"
std::string envelopePointText(int position, int level);
