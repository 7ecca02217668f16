#include "recorder/model/option_checks.h"

#include <gtest/gtest.h>

#include <set>

#include "sys/folders.h"
#include "testkit/testkit.h"

namespace {

using namespace recorder;

std::string textOf(const OptionCheck& check) { return check ? check->text : ""; }

TEST(OptionChecks, MaximumRecordingTime) {
  const std::string invalid = "Please enter a valid maximum recording time.";
  const std::string range = "Maximum recording time must be between 1 to 7200 seconds.";
  struct Case {
    const char* text;
    std::string message;
  } cases[] = {
      {"", invalid},          {"  ", invalid},        {"1:0a:00", invalid}, {"one hour", invalid},
      {"0:00:00", range},     {"2:00:01", range},     {"0:00:00.9", range}, {"-0:00:05", range},
      {"2:00:00", ""},        {"0:00:01", ""},        {"1:00:00", ""},      {"7200", ""},
  };
  for (const auto& c : cases) {
    OptionCheck check = checkMaxTimeField(c.text);
    EXPECT_EQ(textOf(check), c.message) << c.text;
    if (check) {
      EXPECT_EQ(check->title, "Invalid time");
    }
  }
}

TEST(OptionChecks, IntervalOfTheRecordTone) {
  int seconds = -1;
  EXPECT_EQ(checkIntervalField("", seconds), (OptionMessage{"Please enter a valid interval (in secs).", "Invalid Interval"}));
  EXPECT_EQ(checkIntervalField("3O", seconds), (OptionMessage{"Please enter a valid interval time.", "Invalid time"}));
  // No period: the tone would sound without pause; too long for the timer.
  EXPECT_TRUE(checkIntervalField("0", seconds));
  EXPECT_TRUE(checkIntervalField("9999999999", seconds));
  EXPECT_TRUE(checkIntervalField("-5", seconds));
  EXPECT_EQ(seconds, -1);
  EXPECT_FALSE(checkIntervalField(" 45 ", seconds));
  EXPECT_EQ(seconds, 45);
}

TEST(OptionChecks, NamePatterns) {
  const std::string invalid = "File name format is invalid. Please try again.";
  const std::string tail = "File name format contains \"%autonumber%\" are not allowed to have post string. Please try again.";
  const std::string neither = "File name format must contain either \"%autonumber%\" or \"%SS%\". Please try again.";
  struct Case {
    const char* pattern;
    std::string message;
  } cases[] = {
      {"", invalid},
      {"Rec %autonumber% end", tail},
      {"%autonumber%.", tail},
      {"Just text", neither},
      {"Rec %AUTONUMBER%", neither},  // the page's search minds case
      {"Rec %ss%", neither},
      {"Rec %autonumber%", ""},
      {"%autonumber%", ""},
      {"%YYYY%-%MM%-%DD% %HH%.%MIN%.%SS%", ""},
      {"%SS% then text", ""},
  };
  for (const auto& c : cases) {
    OptionCheck check = checkNamePattern(c.pattern);
    EXPECT_EQ(textOf(check), c.message) << c.pattern;
    if (check) {
      EXPECT_EQ(check->title, "Invalid format");
    }
  }
}

TEST(OptionChecks, TransmitAddressOnlyWhenMailing) {
  EXPECT_FALSE(checkTransmitEmail(false, ""));
  EXPECT_EQ(checkTransmitEmail(true, " "),
            (OptionMessage{"Please enter the email of the person you want to send recordings to.", "Invalid Email"}));
  EXPECT_EQ(textOf(checkTransmitEmail(true, "someone.example.com")), "Please enter a valid email address.");
  EXPECT_FALSE(checkTransmitEmail(true, "someone@example.com"));
}

// Folders that exist, what creating does, and the free space, as told.
class FakeFolders final : public FolderSystem {
 public:
  std::set<std::string> existing;
  bool creatable = true;
  int64_t free = 1 << 30;
  int created = 0;
  bool folderExists(const std::string& path) override { return existing.count(path) != 0; }
  bool createFolder(const std::string& path) override {
    if (!creatable) return false;
    ++created;
    existing.insert(path);
    return true;
  }
  int64_t freeBytes(const std::string&) override { return free; }
};

TEST(OptionChecks, OutputFolderOnLeavingThePage) {
  FakeFolders folders;
  folders.existing = {"c:\\rec", "\\\\server\\share\\rec"};
  auto yes = [] { return true; };
  auto no = [] { return false; };

  OutputFolderCheck same = checkOutputFolder("c:\\rec", "C:\\Rec", folders, yes);
  EXPECT_TRUE(same.accepted);
  EXPECT_FALSE(same.folderChanged);  // the same folder in another case
  OutputFolderCheck other = checkOutputFolder("\\\\server\\share\\rec", "C:\\Rec", folders, yes);
  EXPECT_TRUE(other.accepted);
  EXPECT_TRUE(other.folderChanged);

  OutputFolderCheck empty = checkOutputFolder("", "C:\\Rec", folders, yes);
  EXPECT_FALSE(empty.accepted);
  EXPECT_EQ(empty.message, (OptionMessage{"Output folder is invalid. Please try again.", "Invalid output folder"}));

  // Declining the creation keeps the page open without a further message.
  OutputFolderCheck declined = checkOutputFolder("C:\\New", "C:\\Rec", folders, no);
  EXPECT_FALSE(declined.accepted);
  EXPECT_FALSE(declined.message);
  EXPECT_EQ(folders.created, 0);

  OutputFolderCheck bare = checkOutputFolder("New", "C:\\Rec", folders, yes);
  EXPECT_FALSE(bare.accepted);
  EXPECT_EQ(textOf(bare.message), "Cannot create the specified folder. Please enter a valid folder.");

  folders.creatable = false;
  OutputFolderCheck failed = checkOutputFolder("C:\\New", "C:\\Rec", folders, yes);
  EXPECT_FALSE(failed.accepted);
  EXPECT_EQ(textOf(failed.message), "Cannot create the specified folder. Please try again.");
  EXPECT_EQ(failed.message->title, "Invalid output folder");

  folders.creatable = true;
  OutputFolderCheck made = checkOutputFolder("C:\\New", "C:\\Rec", folders, yes);
  EXPECT_TRUE(made.accepted && made.folderChanged);
  EXPECT_EQ(folders.created, 1);
}

TEST(OptionChecks, BrowsedFolderNeedsFreeSpace) {
  FakeFolders folders;
  EXPECT_FALSE(checkBrowsedFolder("D:\\", folders));
  folders.free = -1;  // unknown is not full
  EXPECT_FALSE(checkBrowsedFolder("D:\\", folders));
  folders.free = 0;
  EXPECT_EQ(checkBrowsedFolder("D:\\", folders),
            (OptionMessage{"There is no free space on the selected drive folder. Please select another folder and try again.",
                           "No free space"}));
}

TEST(OptionChecks, RealFoldersAreCreatedOneLevelOnly) {
  testkit::ScratchFolder scratch;
  FolderSystem& folders = realFolderSystem();
  std::string deep = sys::joinPath(sys::joinPath(scratch.path(), "a"), "b");
  EXPECT_FALSE(folders.createFolder(deep));
  EXPECT_FALSE(sys::folderExists(sys::joinPath(scratch.path(), "a")));
  std::string level = sys::joinPath(scratch.path(), "rec");
  EXPECT_TRUE(folders.createFolder(level));
  EXPECT_TRUE(folders.folderExists(level));
  EXPECT_GT(folders.freeBytes(level), 0);
}

}  // namespace
