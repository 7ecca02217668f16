#pragma once
// Where the lines of a cross fade's picture go, in the pixels of a drawing
// area: the gain of the audio after the selection start (falling) and of the
// audio before the selection end (rising) along the output, with a margin of
// untouched audio on each side so that the lead and the gap show. Pixel
// (0, 0) is the top left corner; full gain is the top row, silence the
// bottom row.

#include <cstdint>
#include <vector>

#include "effects/amplitude_effects.h"

struct GraphPoint {
  int x = 0, y = 0;
  bool operator==(const GraphPoint&) const = default;
};

struct CrossFadeGraph {
  std::vector<GraphPoint> fadingOut;  // the first stream's gain, left to right
  std::vector<GraphPoint> fadingIn;   // the second stream's gain, left to right
  int joinStartX = 0;                 // output frame 0: the first frame replaced
  int selectionStartX = 0;            // output frame lead: where the selection start lands
  int selectionEndX = 0;              // lead + gap: where the selection end lands
  int joinEndX = 0;                   // the last output frame: the rest of the sound follows
};

// A drawing area of width x height pixels (each at least 2).
CrossFadeGraph crossFadeGraph(const CrossFadeLayout& layout, int width, int height);
