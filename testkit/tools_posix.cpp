#include <cstdio>
#include <cstdlib>
#include <string>

#include "testkit/testkit.h"

namespace testkit {

bool hostToolsRunHere() { return true; }

bool haveTool(const std::string& tool) {
  return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

int runTool(const std::string& commandLine) { return std::system(commandLine.c_str()); }

std::string toolOutput(const std::string& commandLine) {
  std::string text;
  if (FILE* pipe = popen(commandLine.c_str(), "r")) {
    char chunk[4096];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, pipe)) > 0) text.append(chunk, got);
    pclose(pipe);
  }
  return text;
}

}  // namespace testkit
