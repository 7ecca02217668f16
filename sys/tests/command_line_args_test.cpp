#include "sys/command_line_args.h"

#include <gtest/gtest.h>

namespace {

using sys::buildHandOverRecord;
using sys::parseHandOverRecord;
using sys::splitCommandLine;
using Args = std::vector<std::string>;

TEST(CommandLineArgs, HandOverRecordRoundTripsAndContainsHostileRecords) {
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

TEST(CommandLineArgs, SplitsLikeWindowsPrograms) {
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
}

}  // namespace
