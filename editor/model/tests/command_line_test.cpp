#include "editor/model/command_line.h"

#include <gtest/gtest.h>

namespace {

using Args = std::vector<std::string>;

TEST(CommandLine, BlockRestartIsAskedOnceForArguments) {
  EXPECT_FALSE(needsBlockRestart({"prog"}));
  EXPECT_TRUE(needsBlockRestart({"prog", "-block", "a.wav"}));
  EXPECT_FALSE(needsBlockRestart({"prog", "a.wav", "-BLOCK"}));
  EXPECT_FALSE(needsBlockRestart({"prog", "-Install", "x"}));
  EXPECT_FALSE(needsBlockRestart({"prog", "-UNINSTALL"}));
  EXPECT_EQ(setupSwitchOf({"prog", "-Install"}), SetupSwitch::Install);
  EXPECT_EQ(setupSwitchOf({"prog", "-uninstall", "a.wav"}), SetupSwitch::Uninstall);
  EXPECT_EQ(setupSwitchOf({"prog", "a.wav", "-install"}), SetupSwitch::None);
  EXPECT_EQ(setupSwitchOf({"prog"}), SetupSwitch::None);
}

TEST(CommandLine, StepsOfTheCommandLine) {
  auto describe = [](const Args& args) {
    static const char* const names[] = {"Open", "OpenProject", "Save", "SaveAs", "Close", "Exit", "Minimize",
                                        "Maximize", "Restore", "Window", "Batch", "List", "RunEdit"};
    std::string text;
    for (const auto& step : parseCommandLine(args)) {
      text += std::string(text.empty() ? "" : " ") + names[step.kind] + (countsAsDone(step) ? "!" : "");
      if (!step.path.empty()) text += "(" + step.path + ")";
      if (step.kind == CommandLineStep::Window) text += std::to_string(step.width) + "x" + std::to_string(step.height);
    }
    return text;
  };
  struct Case {
    Args args;
    const char* steps;
  } cases[] = {
      {{"p", "a.wav", "-SaveAs", "b.mp3", "-save", "-close", "-exit"}, "Open!(a.wav) SaveAs(b.mp3) Save Close Exit"},
      {{"p", "show.VRP", "", "-block", "-minimize", "-runedit"}, "OpenProject!(show.VRP) Minimize RunEdit!"},
      {{"p", "-window", "800", "600", "-window", "800", "-exit"}, "Window!800x600 Window!800x-1 Exit"},
      {{"p", "-window", "wide", "a.wav"}, "Window!-1x-1 Open!(wide) Open!(a.wav)"},
      {{"p", "-batch", "job.txt", "a.wav"}, "Batch!(job.txt)"},
      {{"p", "-LIST", "files.txt", "-exit"}, "List!(files.txt)"},
      {{"p", "-batch"}, "Batch!"},
  };
  for (const auto& c : cases) EXPECT_EQ(describe(c.args), c.steps);

  EXPECT_EQ(readListFile("\xEF\xBB\xBF" "a.wav\r\nb.wav\n\r\n\nc d.wav"), (Args{"a.wav", "b.wav", "c d.wav"}));
}

}  // namespace
