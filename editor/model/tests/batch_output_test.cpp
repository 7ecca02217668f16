#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "editor/model/batch_output.h"
#include "sys/folders.h"

namespace {

TEST(BatchOutput, PathTakesTheFolderNameAndFormatAsSet) {
  const std::string input = sys::joinPath(sys::joinPath("in", "talks"), "interview.take1.mp3");
  BatchOutputSettings settings;  // same format, same folder
  EXPECT_EQ(batchOutputPath(input, settings), input);
  settings.sameFormat = false;
  settings.formatIndex = 8;
  EXPECT_EQ(batchOutputPath(input, settings), sys::joinPath(sys::joinPath("in", "talks"), "interview.take1.flac"));
  settings.sameFolder = false;
  settings.folder = "out";
  EXPECT_EQ(batchOutputPath(input, settings), sys::joinPath("out", "interview.take1.flac"));
  settings.formatIndex = 14;
  EXPECT_EQ(batchOutputPath(input, settings), sys::joinPath("out", "interview.take1.wpl"));
  for (int beyond : {16, -1, 1000}) {
    settings.formatIndex = beyond;
    EXPECT_FALSE(batchOutputPath(input, settings)) << beyond;
  }
  // Every format has its own extension.
  std::set<std::string> extensions(kBatchOutputExtensions, kBatchOutputExtensions + kBatchOutputFormatCount);
  EXPECT_EQ(extensions.size(), 16u);
}

TEST(BatchOutput, SettingsKeepTheirValuesAndDefaults) {
  auto store = sys::makeMemorySettingsStore();
  BatchOutputSettings settings = readBatchOutputSettings(*store);
  EXPECT_TRUE(settings.sameFormat);
  EXPECT_EQ(settings.formatIndex, 0);
  EXPECT_TRUE(settings.sameFolder);
  writeBatchOutputSettings(*store, {false, 7, false, "C:\\Out"});
  EXPECT_EQ(store->read(kBatchSection, "SaveSameFileFormat", ""), "0");
  EXPECT_EQ(store->read(kBatchSection, "SaveFileFormat", ""), "7");
  settings = readBatchOutputSettings(*store);
  EXPECT_FALSE(settings.sameFormat);
  EXPECT_EQ(settings.formatIndex, 7);
  EXPECT_EQ(settings.folder, "C:\\Out");
  // A stored index past the table stays past it, so that the file fails.
  store->write(kBatchSection, "SaveFileFormat", "-3");
  EXPECT_FALSE(batchOutputPath("a.wav", readBatchOutputSettings(*store)));
}

TEST(BatchOutput, TakenPathsAreAskedAboutOrNeverWritten) {
  const std::vector<std::string> inputs = {"C:\\in\\a.wav", "C:\\in\\b.mp3", "C:\\in\\B.wav", "C:\\in\\c.ogg",
                                           "C:\\in\\d.wav"};
  BatchOutputSettings settings;
  settings.sameFormat = false;
  settings.formatIndex = 0;  // every one to WAVE beside its input
  const std::set<std::string> existing = {"C:\\in\\c.wav", "C:\\in\\a.wav", "C:\\in\\d.wav"};
  auto exists = [&](const std::string& path) {
    for (const std::string& file : existing)
      if (sameFilePath(file, path)) return true;
    return false;
  };
  const std::vector<BatchOutputPlan> plans = planBatchOutputs(inputs, settings, exists);
  ASSERT_EQ(plans.size(), inputs.size());
  EXPECT_EQ(plans[0].action, BatchOutputAction::ReplaceInput);  // same name, format and folder
  EXPECT_EQ(plans[1].action, BatchOutputAction::InList);        // b.wav is waiting in the list (any case)
  EXPECT_EQ(plans[2].action, BatchOutputAction::ReplaceInput);
  EXPECT_EQ(plans[3].action, BatchOutputAction::AskReplace);    // c.wav exists and is not in the list
  EXPECT_EQ(plans[4].action, BatchOutputAction::ReplaceInput);

  // Two inputs that would be saved under one name: only the first is written.
  const std::vector<BatchOutputPlan> twins =
      planBatchOutputs({"x/song.mp3", "x/song.ogg"}, settings, [](const std::string&) { return false; });
  EXPECT_EQ(twins[0].action, BatchOutputAction::Write);
  EXPECT_EQ(twins[1].action, BatchOutputAction::InList);
  EXPECT_TRUE(sameFilePath("C:\\In\\A.WAV", "c:/in//a.wav"));
  EXPECT_FALSE(sameFilePath("C:\\in\\a.wav", "C:\\in\\a.wave"));
}

TEST(BatchOutput, ReplaceAllAnswersTheRemainingQuestions) {
  auto plansOf = [] {
    return std::vector<BatchOutputPlan>{{"1", BatchOutputAction::AskReplace},
                                        {"2", BatchOutputAction::Write},
                                        {"3", BatchOutputAction::AskReplace},
                                        {"4", BatchOutputAction::AskReplace},
                                        {"5", BatchOutputAction::AskReplace}};
  };
  std::vector<BatchOutputPlan> plans = plansOf();
  std::vector<std::string> asked;
  const ReplaceAnswer answers[] = {ReplaceAnswer::Skip, ReplaceAnswer::Replace, ReplaceAnswer::ReplaceAll};
  ASSERT_TRUE(answerReplaceQuestions(plans, [&](const std::string& path) {
    asked.push_back(path);
    return answers[asked.size() - 1];
  }));
  EXPECT_EQ(asked, (std::vector<std::string>{"1", "3", "4"}));
  EXPECT_EQ(plans[0].action, BatchOutputAction::Skip);
  EXPECT_EQ(plans[1].action, BatchOutputAction::Write);
  EXPECT_EQ(plans[2].action, BatchOutputAction::Replace);
  EXPECT_EQ(plans[3].action, BatchOutputAction::Replace);
  EXPECT_EQ(plans[4].action, BatchOutputAction::Replace);
  EXPECT_FALSE(batchOutputWritable(plans[0].action));
  EXPECT_TRUE(batchOutputWritable(plans[4].action));

  plans = plansOf();
  EXPECT_FALSE(answerReplaceQuestions(plans, [](const std::string&) { return ReplaceAnswer::Cancel; }));
}

}  // namespace
