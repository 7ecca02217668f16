#pragma once
// The checks of the option pages, apart from the dialogs: each gives the
// message to show (and its title), or nothing when the entry is good. The
// dialog shows the message and puts the focus back on the field.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace recorder {

struct OptionMessage {
  std::string text;
  std::string title;
  bool operator==(const OptionMessage&) const = default;
};
using OptionCheck = std::optional<OptionMessage>;

// Record page: the maximum recording time, 1 to 7200 whole seconds, no letters.
OptionCheck checkMaxTimeField(const std::string& text);

// General page: the interval of the repeated record tone, in seconds. On
// success seconds holds it.
OptionCheck checkIntervalField(const std::string& text, int& seconds);

// Transmit page: the address recordings are mailed to, when mailing is on.
OptionCheck checkTransmitEmail(bool sendEmail, const std::string& to);

// Output page: the name pattern (used when "Use this file name format" is chosen).
OptionCheck checkNamePattern(const std::string& pattern);

// What the output folder checks need of the file system.
class FolderSystem {
 public:
  virtual ~FolderSystem() = default;
  virtual bool folderExists(const std::string& path) = 0;
  // Creates the folder itself, not its parents.
  virtual bool createFolder(const std::string& path) = 0;
  // Bytes free for the user on the volume of path, -1 when unknown.
  virtual int64_t freeBytes(const std::string& path) = 0;
};
// The machine's own file system.
FolderSystem& realFolderSystem();

// A folder picked in the folder browser: refused when its drive is full.
OptionCheck checkBrowsedFolder(const std::string& folder, FolderSystem& folders);

struct OutputFolderCheck {
  bool accepted = false;        // the page may close
  OptionCheck message;          // shown when not accepted; none when the user declined creating it
  bool folderChanged = false;   // differs (ignoring case) from the stored folder
};
// The output folder on leaving the page. A missing folder is created after
// confirmCreate() agrees (the "Create Folder" question answered Yes).
OutputFolderCheck checkOutputFolder(const std::string& folder, const std::string& storedFolder,
                                    FolderSystem& folders, const std::function<bool()>& confirmCreate);

// The question asked before a missing output folder is created.
constexpr const char* kCreateFolderQuestion = "The specified output folder doesn't exist. Do you want to create it now?";
constexpr const char* kCreateFolderTitle = "Create Folder";
// The title of the sample name that "View Sample" shows.
constexpr const char* kSampleNameTitle = "Sample File Name";

}  // namespace recorder
