#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "editor/model/batch_run.h"
#include "editor/model/batch_script.h"
#include "formats/sound_file_io.h"
#include "sys/folders.h"
#include "testkit/block_store_environment.h"
#include "testkit/testkit.h"

namespace {

[[maybe_unused]] const bool blockStoreSetUp = testkit::useBlockStoreFolder("editor-model-blocks");

class RecordingObserver : public BatchRunObserver {
 public:
  void fileFinished(size_t index, const BatchFileResult& result) override {
    std::lock_guard hold(m_lock);
    order.push_back(index);
    results.push_back(result);
  }
  // The steps the first file went through, each once in the order they came.
  void fileProgress(size_t index, int step, int percent) override {
    std::lock_guard hold(m_lock);
    if (index == 0 && (firstFileSteps.empty() || firstFileSteps.back() != step)) firstFileSteps.push_back(step);
    if (index == 0) lastPercent = percent;
  }
  std::vector<size_t> order;
  std::vector<BatchFileResult> results;
  std::vector<int> firstFileSteps;
  int lastPercent = -1;

 private:
  std::mutex m_lock;
};

std::vector<Sample> samplesOf(const std::string& path, int* channels = nullptr) {
  auto store = sys::makeMemorySettingsStore();
  FormatContext context;
  context.settings = store.get();
  SoundBuffer sound;
  EXPECT_EQ(loadSoundFile(path, context, sound), JobResult::Done) << path;
  if (channels) *channels = sound.channels();
  std::vector<Sample> samples(static_cast<size_t>(sound.totalFrames()) * sound.channels());
  auto reader = sound.openReader();
  reader->read(samples.data(), sound.totalFrames());
  return samples;
}

// Largest difference in 16-bit steps; the lengths must agree.
double largestDifference(const std::vector<Sample>& ours, const std::vector<Sample>& theirs) {
  EXPECT_EQ(ours.size(), theirs.size());
  double largest = 0;
  for (size_t i = 0; i < std::min(ours.size(), theirs.size()); ++i)
    largest = std::max(largest, std::abs(static_cast<double>(ours[i]) - theirs[i]) / 16.0);
  return largest;
}

// A folder inside the scratch folder, emptied and removed afterwards (the
// scratch folder removes only its own files).
class OutputFolder {
 public:
  explicit OutputFolder(std::string path) : m_path(std::move(path)) { EXPECT_TRUE(sys::createFolder(m_path)); }
  ~OutputFolder() {
    for (const std::string& name : sys::listFiles(m_path)) sys::deleteFile(sys::joinPath(m_path, name));
    sys::removeEmptyFolder(m_path);
  }
  const std::string& path() const { return m_path; }

 private:
  std::string m_path;
};

class BatchRun : public ::testing::Test {
 protected:
  std::unique_ptr<sys::SettingsStore> store = sys::makeMemorySettingsStore();
  testkit::ScratchFolder scratch;
  BatchDefaults defaults{*store, scratch.path()};

  // format: "-r 44100 -c 2"; effects: "synth 2 sine 300".
  std::string makeInput(const std::string& name, const std::string& format, const std::string& effects) {
    const std::string path = scratch.file(name);
    EXPECT_EQ(testkit::runTool("sox -V1 -R -n -b 16 " + format + " " + path + " " + effects), 0);
    return path;
  }
  FormatContext context() {
    FormatContext context;
    context.settings = store.get();
    context.dataFolder = scratch.path();
    context.findComponent = [](const std::string& name) {
      return name == "flacenc" ? std::string("/usr/bin/flac")
             : name == "mp3el" ? std::string("/usr/bin/lame")
                               : std::string();
    };
    return context;
  }
  BatchRunRequest request(const std::vector<std::string>& inputs, const std::vector<BatchCommand>& commands,
                          const BatchOutputSettings& settings, size_t workers) {
    BatchRunRequest request;
    request.inputs = inputs;
    request.plans = planBatchOutputs(inputs, settings, sys::fileExists);
    request.commands = commands;
    request.sameFormat = settings.sameFormat;
    request.workers.assign(workers, context());
    return request;
  }
};

TEST_F(BatchRun, SavedScriptRunsOverSoxFilesAsSoxWouldProcessThem) {
  ZED_REQUIRE_TOOL("sox");
  const int rates[] = {44100, 22050, 48000, 8000};
  const std::vector<std::string> inputs = {
      makeInput("one.wav", "-r 44100 -c 2", "synth 2 sine 300 pinknoise gain -8"),
      makeInput("two.wav", "-r 22050 -c 1", "synth 1.5 whitenoise gain -10"),
      makeInput("three.wav", "-r 48000 -c 2", "synth 1 square 60 sine 3000 gain -12"),
      makeInput("four.wav", "-r 8000 -c 1", "synth 2.5 sine 100-2000 gain -6"),
  };
  // Silence of 250 ms at the start, a 250 Hz high-pass, half the level.
  const std::string scriptPath = scratch.file("clean.vrb");
  ASSERT_TRUE(writeBatchScriptFile(scriptPath, {{1, {250, 0, 0, 0}}, {5, {250, 0, 0, 0}}, {3, {50, 0}}}));
  const BatchScript script = readBatchScriptFile(scriptPath);
  ASSERT_EQ(script.status, BatchScriptStatus::Read);

  const OutputFolder out(scratch.file("out"));
  const BatchOutputSettings settings{true, 0, false, out.path()};
  RecordingObserver observer;
  std::atomic<bool> cancel = false;
  ASSERT_EQ(runBatch(request(inputs, script.commands, settings, 2), defaults, observer, cancel), JobResult::Done);
  EXPECT_EQ(observer.order, (std::vector<size_t>{0, 1, 2, 3}));
  // Loading, the three commands and saving, each reported as it ran.
  EXPECT_EQ(observer.firstFileSteps, (std::vector<int>{kBatchLoadStep, 0, 1, 2, kBatchSaveStep}));
  EXPECT_EQ(observer.lastPercent, 100);

  for (size_t i = 0; i < inputs.size(); ++i) {
    ASSERT_EQ(observer.results[i].status, BatchFileStatus::Done) << observer.results[i].text;
    const std::string ours = sys::joinPath(out.path(), sys::fileNameOf(inputs[i]));
    const std::string theirs = scratch.file("sox-" + std::to_string(i) + ".wav");
    // 250 ms in whole frames, as the editor counts them (sox rounds).
    const std::string pad = std::to_string(250 * rates[i] / 1000) + "s";
    ASSERT_EQ(testkit::runTool("sox -V1 -R -D " + inputs[i] + " -b 16 " + theirs + " pad " + pad +
                               " 0 highpass 250 0.707q vol 0.5"),
              0);
    int oursChannels = 0, theirChannels = 0;
    const std::vector<Sample> ourSamples = samplesOf(ours, &oursChannels);
    EXPECT_LE(largestDifference(ourSamples, samplesOf(theirs, &theirChannels)), 2.0) << inputs[i];
    EXPECT_EQ(oursChannels, theirChannels);
  }
}

TEST_F(BatchRun, NormalizeToFlacInAnotherFolderMatchesSox) {
  ZED_REQUIRE_TOOL("sox");
  ZED_REQUIRE_TOOL("flac");
  const std::vector<std::string> inputs = {makeInput("quiet.wav", "-r 44100 -c 2", "synth 3 sine 440 pinknoise gain -12"),
                                           makeInput("louder.wav", "-r 44100 -c 2", "synth 2 sine 1000 gain -3")};
  // A chosen format saves with its own settings: stereo FLAC.
  store->write("FlacEncoder", "Channels", "2");
  const OutputFolder out(scratch.file("flac"));
  const BatchOutputSettings settings{false, 8, false, out.path()};
  RecordingObserver observer;
  std::atomic<bool> cancel = false;
  ASSERT_EQ(runBatch(request(inputs, {{4, {100, 0}}}, settings, 2), defaults, observer, cancel), JobResult::Done);
  for (size_t i = 0; i < inputs.size(); ++i) {
    ASSERT_EQ(observer.results[i].status, BatchFileStatus::Done) << observer.results[i].text;
    const std::string name = sys::fileNameOf(inputs[i]);
    const std::string flac = sys::joinPath(out.path(), name.substr(0, name.size() - 4) + ".flac");
    const std::string ours = scratch.file("decoded-" + name);
    ASSERT_EQ(testkit::runTool("sox -V1 " + flac + " " + ours), 0) << "not a FLAC file: " << flac;
    const std::string theirs = scratch.file("norm-" + name);
    ASSERT_EQ(testkit::runTool("sox -V1 -R -D " + inputs[i] + " -b 16 " + theirs + " norm 0"), 0);
    // Normalize amplifies by a whole percent, so the peak lands within 1 %.
    const std::vector<Sample> ourSamples = samplesOf(ours), theirSamples = samplesOf(theirs);
    const Sample ourPeak = *std::max_element(ourSamples.begin(), ourSamples.end());
    const Sample theirPeak = *std::max_element(theirSamples.begin(), theirSamples.end());
    EXPECT_NEAR(ourPeak, theirPeak, 0.01 * theirPeak) << name;
    EXPECT_LE(largestDifference(ourSamples, theirSamples), 0.01 * 32768) << name;
  }
}

TEST_F(BatchRun, FailureOrCancelStopsTheRunAndEveryFileIsReported) {
  ZED_REQUIRE_TOOL("sox");
  const std::string good = makeInput("good.wav", "-r 8000 -c 1", "synth 0.5 sine 440");
  const std::string later = makeInput("later.wav", "-r 8000 -c 1", "synth 0.5 sine 220");
  const std::string broken = scratch.file("broken.au");
  ASSERT_TRUE(testkit::writeAll(broken, {'n', 'o', 't', ' ', 'a', 'u', 'd', 'i', 'o'}));
  const std::vector<uint8_t> laterBefore = testkit::readAll(later);

  const BatchOutputSettings settings;  // same format, same folder: replaced in place
  RecordingObserver observer;
  std::atomic<bool> cancel = false;
  EXPECT_EQ(runBatch(request({good, broken, later}, {{3, {200, 0}}}, settings, 1), defaults, observer, cancel),
            JobResult::Failed);
  ASSERT_EQ(observer.results.size(), 3u);
  EXPECT_EQ(observer.results[0].status, BatchFileStatus::Done);
  EXPECT_EQ(observer.results[1].status, BatchFileStatus::Failed);
  EXPECT_EQ(observer.results[2].status, BatchFileStatus::NotRun);
  EXPECT_EQ(testkit::readAll(later), laterBefore);  // never touched after the failure

  // A refused command fails the file before anything is written.
  RecordingObserver refused;
  EXPECT_EQ(runBatch(request({later}, {{19, {150, 0, 0, 0}}}, settings, 1), defaults, refused, cancel),
            JobResult::Failed);
  EXPECT_NE(refused.results[0].text.find("StereoPan"), std::string::npos) << refused.results[0].text;
  EXPECT_EQ(testkit::readAll(later), laterBefore);

  RecordingObserver cancelled;
  cancel = true;
  EXPECT_EQ(runBatch(request({good, later}, {}, settings, 2), defaults, cancelled, cancel), JobResult::Cancelled);
  ASSERT_EQ(cancelled.results.size(), 2u);
  EXPECT_EQ(cancelled.results[1].status, BatchFileStatus::Cancelled);
  EXPECT_EQ(testkit::readAll(later), laterBefore);
}

TEST_F(BatchRun, TakenOutputsAreKeptUnlessTheUserReplacesThem) {
  ZED_REQUIRE_TOOL("sox");
  const std::string input = makeInput("song.wav", "-r 8000 -c 1", "synth 0.5 sine 440");
  const std::string taken = scratch.file("song.au");
  ASSERT_TRUE(testkit::writeAll(taken, {1, 2, 3}));
  const BatchOutputSettings settings{false, 2, true, ""};
  BatchRunRequest run = request({input}, {}, settings, 1);
  ASSERT_EQ(run.plans[0].action, BatchOutputAction::AskReplace);
  ASSERT_TRUE(answerReplaceQuestions(run.plans, [](const std::string&) { return ReplaceAnswer::Skip; }));
  RecordingObserver observer;
  std::atomic<bool> cancel = false;
  EXPECT_EQ(runBatch(run, defaults, observer, cancel), JobResult::Done);
  EXPECT_EQ(observer.results[0].status, BatchFileStatus::Skipped);
  EXPECT_EQ(testkit::readAll(taken), (std::vector<uint8_t>{1, 2, 3}));

  run = request({input}, {}, settings, 1);
  ASSERT_TRUE(answerReplaceQuestions(run.plans, [](const std::string&) { return ReplaceAnswer::Replace; }));
  EXPECT_EQ(runBatch(run, defaults, observer, cancel), JobResult::Done);
  EXPECT_EQ(samplesOf(taken).size(), samplesOf(input).size());
}

TEST_F(BatchRun, SameFormatAndFolderReplacesAnMp3WithAnMp3) {
  ZED_REQUIRE_TOOL("sox");
  ZED_REQUIRE_TOOL("lame");
  const std::string wave = makeInput("speech.wav", "-r 44100 -c 2", "synth 2 sine 500 gain -6");
  const std::string mp3 = scratch.file("speech.mp3");
  ASSERT_EQ(testkit::runTool("lame --quiet -b 128 " + wave + " " + mp3), 0);
  const std::vector<uint8_t> before = testkit::readAll(mp3);
  int channels = 0;
  const size_t samplesBefore = samplesOf(mp3, &channels).size();

  const BatchOutputSettings settings;  // same format, same folder
  BatchRunRequest run = request({mp3}, {{3, {50, 0}}}, settings, 1);
  ASSERT_EQ(run.plans[0].action, BatchOutputAction::ReplaceInput);  // nothing to ask
  RecordingObserver observer;
  std::atomic<bool> cancel = false;
  ASSERT_EQ(runBatch(run, defaults, observer, cancel), JobResult::Done) << observer.results[0].text;
  // The input itself, now an MP3 of half the level; nothing else was left in the folder.
  const std::vector<uint8_t> after = testkit::readAll(mp3);
  EXPECT_NE(after, before);
  int channelsAfter = 0;
  const std::vector<Sample> samples = samplesOf(mp3, &channelsAfter);
  EXPECT_EQ(channelsAfter, channels);
  // Encoding again adds at most a frame or two of padding.
  EXPECT_NEAR(static_cast<double>(samples.size()), static_cast<double>(samplesBefore), 2 * 1152 * 2);
  EXPECT_LT(*std::max_element(samples.begin(), samples.end()), 0.35 * 524288);
  for (const std::string& name : sys::listFiles(scratch.path()))
    EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
}

}  // namespace
