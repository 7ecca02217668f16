#pragma once
// The part of a document that edits read and move: the selected frames and
// the cursor.

#include <cstdint>

struct Selection {
  int32_t start = 0;   // first selected frame
  int32_t end = 0;     // one past the last selected frame; start == end: none
  int32_t cursor = 0;  // frame of the cursor

  bool empty() const { return end <= start; }
  int32_t length() const { return end > start ? end - start : 0; }
  bool operator==(const Selection&) const = default;
};
