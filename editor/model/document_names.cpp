#include "editor/model/document_names.h"

#include <algorithm>

int nextUntitledNumber(const std::vector<std::string>& openNames) {
  for (int n = 1; n <= kMaxUntitledNumber; ++n)
    if (std::find(openNames.begin(), openNames.end(), untitledName(n)) == openNames.end()) return n;
  return 1;
}

std::string untitledName(int n) { return "Untitled " + std::to_string(n); }
