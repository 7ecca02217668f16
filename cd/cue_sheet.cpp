#include "cd/cue_sheet.h"

#include <sstream>

namespace cd {

namespace {

// Words of a sheet line; a quoted word may hold blanks.
std::vector<std::string> wordsOf(const std::string& line) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i >= line.size()) break;
    std::string word;
    if (line[i] == '"') {
      size_t close = line.find('"', i + 1);
      if (close == std::string::npos) close = line.size();
      word = line.substr(i + 1, close - i - 1);
      i = close + 1;
    } else {
      size_t end = line.find_first_of(" \t", i);
      if (end == std::string::npos) end = line.size();
      word = line.substr(i, end - i);
      i = end;
    }
    words.push_back(word);
  }
  return words;
}

std::string upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

// "mm:ss:ff" to sectors; -1 when malformed.
int32_t sectorsOf(const std::string& time) {
  int minutes = 0, seconds = 0, frames = 0;
  char colon1 = 0, colon2 = 0;
  std::istringstream in(time);
  if (!(in >> minutes >> colon1 >> seconds >> colon2 >> frames) || colon1 != ':' || colon2 != ':') return -1;
  if (minutes < 0 || minutes > 999 || seconds < 0 || seconds > 59 || frames < 0 || frames > 74) return -1;
  return (minutes * 60 + seconds) * 75 + frames;
}

bool isRawTrackMode(const std::string& mode) {
  return mode == "AUDIO" || mode == "MODE1/2352" || mode == "MODE2/2352";
}

}  // namespace

bool parseCueSheet(const std::string& text, CueSheet& sheet, std::string& reason) {
  sheet.files.clear();
  std::istringstream lines(text);
  std::string line;
  bool trackOpen = false;  // a TRACK whose INDEX 01 has not come yet
  int lineNumber = 0;
  auto fail = [&](const std::string& why) {
    reason = "line " + std::to_string(lineNumber) + ": " + why;
    return false;
  };
  while (std::getline(lines, line)) {
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> words = wordsOf(line);
    if (words.empty()) continue;
    std::string keyword = upper(words[0]);
    if (keyword == "FILE") {
      if (words.size() < 3) return fail("FILE needs a name and a type");
      std::string type = upper(words[2]);
      if (type != "BINARY" && type != "MOTOROLA") return fail("only raw BINARY images can be read");
      sheet.files.push_back({words[1], type == "MOTOROLA", {}});
    } else if (keyword == "TRACK") {
      if (sheet.files.empty()) return fail("TRACK before any FILE");
      if (trackOpen) return fail("a track without INDEX 01");
      if (words.size() < 3 || !isRawTrackMode(upper(words[2]))) return fail("only tracks of 2352-byte sectors can be read");
      trackOpen = true;
    } else if (keyword == "INDEX") {
      if (words.size() < 3) return fail("INDEX needs a number and a time");
      if (words[1] != "01" && words[1] != "1") continue;
      if (!trackOpen) return fail("INDEX outside a track");
      int32_t start = sectorsOf(words[2]);
      if (start < 0) return fail("bad time " + words[2]);
      std::vector<int32_t>& starts = sheet.files.back().trackStarts;
      if (!starts.empty() && start < starts.back()) return fail("tracks out of order");
      starts.push_back(start);
      trackOpen = false;
    }
  }
  if (trackOpen) return fail("a track without INDEX 01");
  size_t tracks = 0;
  for (const CueFile& file : sheet.files) tracks += file.trackStarts.size();
  if (tracks == 0) {
    reason = "the sheet names no tracks";
    return false;
  }
  if (tracks > 99) {
    reason = "more than 99 tracks";
    return false;
  }
  return true;
}

}  // namespace cd
