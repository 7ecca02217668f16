#pragma once
// Starting another program of the family through the command template it
// registered under its own settings key. A missing sibling is installed on
// demand, and failing that the user is offered its page on the web.

#include <string>

namespace shell {

struct SiblingProgram {
  std::string settingsKey;     // "Software\\Zedirad\\<settingsKey>\\Settings"
  std::string templateValue;   // the value holding its command template
  std::string installerName;   // its installer on demand
  std::string displayName;     // as the user knows it
  std::string webPage;         // its page on the maker's web site
  bool wait = false;           // whether the caller waits for it to end
  bool pathArgument = false;   // whether its argument is one file path, quoted as needed
};

// The CD burning program, handed a list file of paths.
SiblingProgram burnerProgram();
// The editor, as the recorder starts it on a recording.
SiblingProgram editorProgram();

// The tone generator: its own question and wait texts, no installer.
constexpr const char* kToneGeneratorKey = "Zidede";
constexpr const char* kToneGeneratorValue = "RunZidede";
constexpr const char* kToneGeneratorPage = "zidede/index";
constexpr const char* kToneGeneratorQuestion =
    "The free plugin Zidede Generator is required to generate tones. Do you want to download it now?";
constexpr const char* kToneGeneratorCaption = "Zidede Generator Required";

std::string siblingSettingsKey(const std::string& keyName);
std::string downloadQuestion(const SiblingProgram& sibling);
constexpr const char* kDownloadCaption = "Download Required";

// Waiting for a sibling: at most an hour; the installer's registration is
// looked for every 200 ms, at most 50 times.
constexpr int kSiblingWaitMs = 3600000;
constexpr int kRegistrationPollMs = 200;
constexpr int kRegistrationPolls = 50;

// What starting a sibling needs from the program around it.
class SiblingHost {
 public:
  virtual ~SiblingHost() = default;
  // The template in the machine-wide hive, else the user's; empty when neither.
  virtual std::string readTemplate(const std::string& settingsKey, const std::string& value) = 0;
  // Fetches and runs the installer: 0 done, 1 cancelled, 2 failed.
  virtual int install(const std::string& installerName) = 0;
  // Sleeps while keeping the interface alive; false once the user cancelled.
  virtual bool pause(int milliseconds) = 0;
  virtual bool askYesNo(const std::string& question, const std::string& caption) = 0;
  virtual void openWebPage(const std::string& page) = 0;
  // Starts the command line with a normal window and, when asked, waits for
  // it up to waitMs showing the two lines: 0 ended or not waited for,
  // 1 the wait was cancelled (the program runs on), 2 not started.
  virtual int run(const std::string& commandLine, bool wait, int waitMs, const std::string& line1,
                  const std::string& line2) = 0;
};

// 0 started (and ended, when waited for), 1 cancelled, 2 failed.
int startSibling(const SiblingProgram& sibling, const std::string& argument, SiblingHost& host);
// The tone generator, started with its template as it is.
int startToneGenerator(SiblingHost& host);

}  // namespace shell
