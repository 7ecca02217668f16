#include "effects/cross_fade_graph.h"

#include <algorithm>

CrossFadeGraph crossFadeGraph(const CrossFadeLayout& layout, int width, int height) {
  width = std::max(width, 2);
  height = std::max(height, 2);
  // An eighth of the output on each side, so the flat parts before and after
  // the join show; at least a frame so that a zero-length join still draws.
  const int64_t margin = std::max<int64_t>(layout.outputFrames / 8, 1);
  const int64_t shown = layout.outputFrames + 2 * margin;
  // Output frame k to a column; wide arithmetic since k * width may pass 32 bits.
  auto column = [&](int64_t k) {
    return static_cast<int>(std::clamp<int64_t>(k + margin, 0, shown) * (width - 1) / shown);
  };
  const int top = 0, bottom = height - 1;
  const int64_t lead = layout.lead, gap = layout.gap;
  CrossFadeGraph graph;
  graph.joinStartX = column(0);
  graph.selectionStartX = column(lead);
  graph.selectionEndX = column(lead + gap);
  graph.joinEndX = column(layout.outputFrames);
  graph.fadingOut = {{0, top}, {column(lead), top}, {column(lead + layout.fadeOut), bottom}, {width - 1, bottom}};
  graph.fadingIn = {{0, bottom}, {column(lead + gap - layout.fadeIn), bottom}, {column(lead + gap), top}, {width - 1, top}};
  return graph;
}
