#include "editor/model/command_line.h"

#include <gtest/gtest.h>

namespace {

using Args = std::vector<std::string>;

TEST(CommandLine, HandOverRecordRoundTripsAndContainsHostileRecords) {
  Args args{"C:\\razavo.exe", "", std::string(300, 'x')};
  std::vector<uint8_t> record = buildHandOverRecord(args);
  ASSERT_EQ(record.size(), 33284u);
  Args back;
  ASSERT_TRUE(parseHandOverRecord(record.data(), record.size(), back));
  EXPECT_EQ(back, (Args{args[0], "", std::string(259, 'x')}));
  EXPECT_FALSE(parseHandOverRecord(record.data(), record.size() - 1, back));

  Args many(200, "a");
  record = buildHandOverRecord(many);
  ASSERT_TRUE(parseHandOverRecord(record.data(), record.size(), back));
  EXPECT_EQ(back.size(), 128u);

  for (uint32_t count : {129u, 0xFFFFFFFFu}) {
    for (int i = 0; i < 4; ++i) record[i] = static_cast<uint8_t>(count >> (8 * i));
    EXPECT_FALSE(parseHandOverRecord(record.data(), record.size(), back)) << count;
  }
  // No terminator anywhere: every slot stops at its 259th byte.
  std::vector<uint8_t> full(33284, 'z');
  full[0] = 128;
  full[1] = full[2] = full[3] = 0;
  ASSERT_TRUE(parseHandOverRecord(full.data(), full.size(), back));
  EXPECT_EQ(back, Args(128, std::string(259, 'z')));
}

TEST(CommandLine, SplitsLikeWindowsPrograms) {
  struct Case {
    const char* line;
    Args args;
  } cases[] = {
      {"  prog   a\tb  ", {"prog", "a", "b"}},
      {"\"C:\\Program Files\\r.exe\" \"C:\\my music\\a.wav\" \"\"", {"C:\\Program Files\\r.exe", "C:\\my music\\a.wav", ""}},
      {"prog a\\\\b \"C:\\dir\\\\\" a\\\"b a\\\\\\\"b", {"prog", "a\\\\b", "C:\\dir\\", "a\"b", "a\\\"b"}},
      {"prog \"a\"\"b\" ab\"c d\"e \"open", {"prog", "a\"b", "abc de", "open"}},
      {"C:\\x\\prog.exe\\\" a", {"C:\\x\\prog.exe\\\"", "a"}},  // the program name has no escapes
  };
  for (const auto& c : cases) EXPECT_EQ(splitCommandLine(c.line), c.args) << c.line;

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
