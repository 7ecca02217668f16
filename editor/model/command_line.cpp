#include "editor/model/command_line.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalIgnoringCase(const std::string& a, const char* b) {
  size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (size_t i = 0; i < n; ++i)
    if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
  return true;
}

bool endsWithIgnoringCase(const std::string& text, const char* tail) {
  size_t n = std::strlen(tail);
  return text.size() >= n && equalIgnoringCase(text.substr(text.size() - n), tail);
}

// A window size: decimal digits only, within an int.
bool parseSize(const std::string& text, int& value) {
  if (text.empty() || text.size() > 10) return false;
  long long number = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + (c - '0');
  }
  if (number > INT_MAX) return false;
  value = static_cast<int>(number);
  return true;
}

}  // namespace


bool needsBlockRestart(const std::vector<std::string>& args) {
  return args.size() > 1 && !equalIgnoringCase(args.back(), "-block") && setupSwitchOf(args) == SetupSwitch::None;
}

SetupSwitch setupSwitchOf(const std::vector<std::string>& args) {
  if (args.size() < 2) return SetupSwitch::None;
  if (equalIgnoringCase(args[1], "-install")) return SetupSwitch::Install;
  if (equalIgnoringCase(args[1], "-uninstall")) return SetupSwitch::Uninstall;
  return SetupSwitch::None;
}

std::vector<CommandLineStep> parseCommandLine(const std::vector<std::string>& args) {
  std::vector<CommandLineStep> steps;
  auto next = [&args](size_t& i) { return i + 1 < args.size() ? args[++i] : std::string(); };
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (equalIgnoringCase(arg, "-block")) continue;
    if (equalIgnoringCase(arg, "-save")) {
      steps.push_back({CommandLineStep::Save, ""});
    } else if (equalIgnoringCase(arg, "-saveas")) {
      steps.push_back({CommandLineStep::SaveAs, next(i)});
    } else if (equalIgnoringCase(arg, "-close")) {
      steps.push_back({CommandLineStep::Close, ""});
    } else if (equalIgnoringCase(arg, "-exit")) {
      steps.push_back({CommandLineStep::Exit, ""});
    } else if (equalIgnoringCase(arg, "-minimize")) {
      steps.push_back({CommandLineStep::Minimize, ""});
    } else if (equalIgnoringCase(arg, "-maximize")) {
      steps.push_back({CommandLineStep::Maximize, ""});
    } else if (equalIgnoringCase(arg, "-restore")) {
      steps.push_back({CommandLineStep::Restore, ""});
    } else if (equalIgnoringCase(arg, "-window")) {
      CommandLineStep step{CommandLineStep::Window, ""};
      if (i + 1 < args.size() && parseSize(args[i + 1], step.width)) {
        ++i;
        if (i + 1 < args.size() && parseSize(args[i + 1], step.height)) ++i;
      }
      steps.push_back(step);
    } else if (equalIgnoringCase(arg, "-batch")) {
      steps.push_back({CommandLineStep::Batch, next(i)});
      break;
    } else if (equalIgnoringCase(arg, "-list")) {
      steps.push_back({CommandLineStep::List, next(i)});
      break;
    } else if (equalIgnoringCase(arg, "-runedit")) {
      steps.push_back({CommandLineStep::RunEdit, ""});
    } else if (endsWithIgnoringCase(arg, ".vrp")) {
      steps.push_back({CommandLineStep::OpenProject, arg});
    } else if (!arg.empty()) {
      steps.push_back({CommandLineStep::Open, arg});
    }
  }
  return steps;
}

bool countsAsDone(const CommandLineStep& step) {
  switch (step.kind) {
    case CommandLineStep::Open:
    case CommandLineStep::OpenProject:
    case CommandLineStep::Window:
    case CommandLineStep::RunEdit:
    case CommandLineStep::Batch:
    case CommandLineStep::List:
      return true;
    default:
      return false;
  }
}

std::vector<std::string> readListFile(const std::string& text) {
  std::vector<std::string> lines;
  size_t pos = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
    pos = end + 1;
  }
  return lines;
}
