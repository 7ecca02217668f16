#include "shell/sibling_program.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "shell/burn_list.h"
#include "shell/command_template.h"

namespace {

class FakeHost : public shell::SiblingHost {
 public:
  std::map<std::string, std::string> templates;  // "key|value" -> template
  std::map<std::string, std::string> installs;   // installer -> "key|value=template" it registers
  int installResult = 2;
  int pausesUntilRegistered = 0;
  int pauses = 0;
  bool cancelPause = false;
  bool answerYes = false;
  std::vector<std::string> questions, pages, started;
  bool waited = false;
  std::string lines;

  std::string readTemplate(const std::string& key, const std::string& value) override {
    auto found = templates.find(key + "|" + value);
    return found == templates.end() ? std::string() : found->second;
  }
  int install(const std::string& name) override {
    installed.push_back(name);
    return installResult;
  }
  bool pause(int) override {
    ++pauses;
    if (pauses == pausesUntilRegistered) templates["Software\\Zedirad\\VuzivoApp\\Settings|CopyCD"] = "late.exe %s";
    return !cancelPause;
  }
  bool askYesNo(const std::string& question, const std::string& caption) override {
    questions.push_back(caption + ": " + question);
    return answerYes;
  }
  void openWebPage(const std::string& page) override { pages.push_back(page); }
  int run(const std::string& commandLine, bool wait, int waitMs, const std::string& line1,
          const std::string& line2) override {
    started.push_back(commandLine);
    waited = wait && waitMs == 3600000;
    lines = line1 + "|" + line2;
    return 0;
  }
  std::vector<std::string> installed;
};

TEST(SiblingProgram, ARegisteredTemplateGetsTheArgumentInPlaceOfItsPlaceholder) {
  FakeHost host;
  host.templates["Software\\Zedirad\\VuzivoApp\\Settings|CopyCD"] = "\"C:\\Vuzivo\\vuzivo 100%.exe\" %s";
  std::string argument = shell::burnArgument(shell::DiscKind::Audio, "C:\\Temp Files\\burn.txt");
  EXPECT_EQ(shell::startSibling(shell::burnerProgram(), argument, host), 0);
  ASSERT_EQ(host.started.size(), 1u);
  EXPECT_EQ(host.started[0], "\"C:\\Vuzivo\\vuzivo 100%.exe\" -type audio -list \"C:\\Temp Files\\burn.txt\"");
  EXPECT_TRUE(host.waited);
  EXPECT_EQ(host.lines, "Please wait for Vuzivo|to close to continue...");
  EXPECT_TRUE(host.installed.empty());
}

TEST(SiblingProgram, AMissingSiblingIsInstalledAndLookedForAgain) {
  FakeHost host;
  host.installResult = 0;
  host.pausesUntilRegistered = 3;
  EXPECT_EQ(shell::startSibling(shell::burnerProgram(), "-type data -list C:\\b.txt", host), 0);
  EXPECT_EQ(host.installed, std::vector<std::string>{"burnsetup"});
  EXPECT_EQ(host.pauses, 3);
  ASSERT_EQ(host.started.size(), 1u);
  EXPECT_EQ(host.started[0], "late.exe -type data -list C:\\b.txt");
}

TEST(SiblingProgram, WithoutATemplateTheUserIsOfferedTheDownloadPage) {
  for (bool yes : {false, true}) {
    FakeHost host;
    host.installResult = 0;  // installed, but it never registers
    host.answerYes = yes;
    EXPECT_EQ(shell::startSibling(shell::burnerProgram(), "x", host), 2);
    EXPECT_EQ(host.pauses, shell::kRegistrationPolls);
    EXPECT_EQ(host.questions, std::vector<std::string>{
                                  "Download Required: The free plugin \"Vuzivo\" program is required. Do you want to "
                                  "download it now?"});
    EXPECT_EQ(host.pages, yes ? std::vector<std::string>{"burn/index"} : std::vector<std::string>{});
    EXPECT_TRUE(host.started.empty());
  }
  FakeHost cancelled;
  cancelled.installResult = 0;
  cancelled.cancelPause = true;
  EXPECT_EQ(shell::startSibling(shell::burnerProgram(), "x", cancelled), 1);
  EXPECT_TRUE(cancelled.questions.empty());
  FakeHost failed;  // the installer could not be had: no waiting for it
  EXPECT_EQ(shell::startSibling(shell::burnerProgram(), "x", failed), 2);
  EXPECT_EQ(failed.pauses, 0);
  EXPECT_EQ(failed.questions.size(), 1u);
}

TEST(SiblingProgram, TheToneGeneratorStartsUnchangedOrIsOffered) {
  FakeHost host;
  host.answerYes = true;
  EXPECT_EQ(shell::startToneGenerator(host), 2);
  EXPECT_EQ(host.questions, std::vector<std::string>{"Zidede Generator Required: The free plugin Zidede Generator "
                                                     "is required to generate tones. Do you want to download it now?"});
  EXPECT_EQ(host.pages, std::vector<std::string>{"zidede/index"});
  host.templates["Software\\Zedirad\\Zidede\\Settings|RunZidede"] = "\"C:\\Zidede\\zidede.exe\" -new %d%s";
  EXPECT_EQ(shell::startToneGenerator(host), 0);
  EXPECT_EQ(host.started, std::vector<std::string>{"\"C:\\Zidede\\zidede.exe\" -new %d%s"});
  EXPECT_EQ(host.lines, "Please close Zidede Generator|to continue...");
  EXPECT_TRUE(host.waited);
}

TEST(CommandTemplate, SubstitutionIsPlainText) {
  struct Case {
    const char* commandTemplate;
    const char* argument;
    const char* command;
  } cases[] = {
      {"\"C:\\Razavo\\razavo.exe\" \"%s\" -runedit", "C:\\rec\\a b.wav", "\"C:\\Razavo\\razavo.exe\" \"C:\\rec\\a b.wav\" -runedit"},
      {"burn.exe %s %n %x", "%s%n", "burn.exe %s%n %n %x"},
      {"burn.exe", "-type data", "burn.exe"},
      {"%s", "", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(shell::fillTemplate(c.commandTemplate, c.argument), c.command) << c.commandTemplate;
  EXPECT_EQ(shell::quotedIfNeeded("C:\\a b\\x.txt"), "\"C:\\a b\\x.txt\"");
  EXPECT_EQ(shell::quotedIfNeeded("\"C:\\a b\\x.txt\""), "\"C:\\a b\\x.txt\"");
  EXPECT_EQ(shell::quotedIfNeeded("C:\\ab\\x.txt"), "C:\\ab\\x.txt");
}

TEST(CommandTemplate, APathIsQuotedUnlessTheTemplateQuotesItsPlaceholder) {
  EXPECT_EQ(shell::fillTemplateWithPath("post.exe %s", "C:\\Rec\\a.wav"), "post.exe \"C:\\Rec\\a.wav\"");
  EXPECT_EQ(shell::fillTemplateWithPath("post.exe \"%s\" -q", "C:\\Rec\\a b.wav"), "post.exe \"C:\\Rec\\a b.wav\" -q");
  // A second "%s", a "%20" or a "%n" stays text.
  EXPECT_EQ(shell::fillTemplateWithPath("up.exe %s %s%20%n", "a.wav"), "up.exe \"a.wav\" %s%20%n");
  EXPECT_EQ(shell::fillTemplateWithPath("notify.exe", "a.wav"), "notify.exe");
  EXPECT_EQ(shell::fillTemplateWithPath("%d %x %s", "100%.wav"), "%d %x \"100%.wav\"");
  // Quotes at one side only do not make a quoted placeholder.
  EXPECT_EQ(shell::fillTemplateWithPath("a.exe \"%s -x", "b c"), "a.exe \"\"b c\" -x");
  EXPECT_EQ(shell::fillTemplateWithPath("a.exe %s", ""), "a.exe ");
}

TEST(SiblingProgram, APathArgumentStaysOneArgument) {
  FakeHost host;
  host.templates["Software\\Zedirad\\Razavo\\Settings|RunEdit"] = "\"C:\\Razavo\\razavo.exe\" \"%s\" -runedit";
  host.templates["Software\\Zedirad\\Dedarur\\Settings|RunConvert"] = "C:\\Dedarur\\convert.exe %s";
  shell::SiblingProgram converter{"Dedarur", "RunConvert", "convertsetup", "Dedarur", "convert/index"};
  converter.pathArgument = true;
  EXPECT_EQ(shell::startSibling(shell::editorProgram(), "C:\\Rec\\Take 1.wav", host), 0);
  EXPECT_EQ(shell::startSibling(converter, "C:\\Rec\\Take 1.wav", host), 0);
  EXPECT_EQ(host.started, (std::vector<std::string>{"\"C:\\Razavo\\razavo.exe\" \"C:\\Rec\\Take 1.wav\" -runedit",
                                                    "C:\\Dedarur\\convert.exe \"C:\\Rec\\Take 1.wav\""}));
}

TEST(BurnList, EveryPathEndsWithCarriageReturnAndLineFeed) {
  EXPECT_EQ(shell::burnListText({"C:\\a.wav", "D:\\x y\\b.mp3"}), "C:\\a.wav\r\nD:\\x y\\b.mp3\r\n");
  EXPECT_EQ(shell::burnListText({}), "");
  EXPECT_EQ(shell::burnArgument(shell::DiscKind::Data, "C:\\Temp\\burn.txt"), "-type data -list C:\\Temp\\burn.txt");
}

}  // namespace
