#include "recorder/model/option_checks.h"

#include <cctype>

#include "recorder/model/recording_time.h"
#include "sys/folders.h"

namespace recorder {

namespace {

bool hasLetter(const std::string& text) {
  for (char c : text)
    if (std::isalpha(static_cast<unsigned char>(c))) return true;
  return false;
}

bool isBlankText(const std::string& text) {
  for (char c : text)
    if (!std::isspace(static_cast<unsigned char>(c))) return false;
  return true;
}

bool sameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

// The longest interval whose milliseconds still fit the 32-bit timer period.
constexpr long long kMaxIntervalSecs = 2147483;

class RealFolderSystem final : public FolderSystem {
 public:
  bool folderExists(const std::string& path) override { return sys::folderExists(path); }
  bool createFolder(const std::string& path) override {
    std::string parent = sys::folderOf(path);
    if (!parent.empty() && !sys::folderExists(parent)) return false;  // one level only
    return sys::createFolder(path);
  }
  int64_t freeBytes(const std::string& path) override { return sys::freeDiskSpace(path); }
};

}  // namespace

OptionCheck checkMaxTimeField(const std::string& text) {
  const char* title = "Invalid time";
  if (isBlankText(text) || hasLetter(text)) return OptionMessage{"Please enter a valid maximum recording time.", title};
  long long seconds = parseRecordingTime(text) / 1000;
  if (seconds < 1 || seconds > 7200)
    return OptionMessage{"Maximum recording time must be between 1 to 7200 seconds.", title};
  return std::nullopt;
}

OptionCheck checkIntervalField(const std::string& text, int& seconds) {
  const OptionMessage invalidInterval{"Please enter a valid interval (in secs).", "Invalid Interval"};
  if (isBlankText(text)) return invalidInterval;
  if (hasLetter(text)) return OptionMessage{"Please enter a valid interval time.", "Invalid time"};
  long long value = 0;
  bool digits = false;
  for (char c : text) {
    if (std::isspace(static_cast<unsigned char>(c))) continue;
    if (c < '0' || c > '9') return invalidInterval;
    digits = true;
    if (value <= kMaxIntervalSecs) value = value * 10 + (c - '0');
  }
  // A zero period would sound the tone without pause.
  if (!digits || value < 1 || value > kMaxIntervalSecs) return invalidInterval;
  seconds = static_cast<int>(value);
  return std::nullopt;
}

OptionCheck checkNamePattern(const std::string& pattern) {
  const char* title = "Invalid format";
  if (pattern.empty()) return OptionMessage{"File name format is invalid. Please try again.", title};
  const std::string number = "%autonumber%";
  size_t at = pattern.find(number);
  if (at != std::string::npos && at + number.size() != pattern.size())
    return OptionMessage{
        "File name format contains \"%autonumber%\" are not allowed to have post string. Please try again.", title};
  if (at == std::string::npos && pattern.find("%SS%") == std::string::npos)
    return OptionMessage{"File name format must contain either \"%autonumber%\" or \"%SS%\". Please try again.",
                         title};
  return std::nullopt;
}

OptionCheck checkTransmitEmail(bool sendEmail, const std::string& to) {
  if (!sendEmail) return std::nullopt;
  const char* title = "Invalid Email";
  if (isBlankText(to)) return OptionMessage{"Please enter the email of the person you want to send recordings to.", title};
  if (to.find('@') == std::string::npos) return OptionMessage{"Please enter a valid email address.", title};
  return std::nullopt;
}

FolderSystem& realFolderSystem() {
  static RealFolderSystem folders;
  return folders;
}

OptionCheck checkBrowsedFolder(const std::string& folder, FolderSystem& folders) {
  if (folders.freeBytes(folder) == 0)
    return OptionMessage{
        "There is no free space on the selected drive folder. Please select another folder and try again.",
        "No free space"};
  return std::nullopt;
}

OutputFolderCheck checkOutputFolder(const std::string& folder, const std::string& storedFolder,
                                    FolderSystem& folders, const std::function<bool()>& confirmCreate) {
  const char* title = "Invalid output folder";
  OutputFolderCheck result;
  if (isBlankText(folder)) {
    result.message = OptionMessage{"Output folder is invalid. Please try again.", title};
    return result;
  }
  if (!folders.folderExists(folder)) {
    if (!confirmCreate || !confirmCreate()) return result;
    if (folder.find_first_of("\\/") == std::string::npos) {
      result.message = OptionMessage{"Cannot create the specified folder. Please enter a valid folder.", title};
      return result;
    }
    if (!folders.createFolder(folder)) {
      result.message = OptionMessage{"Cannot create the specified folder. Please try again.", title};
      return result;
    }
  }
  result.accepted = true;
  result.folderChanged = !sameIgnoringCase(folder, storedFolder);
  return result;
}

}  // namespace recorder
