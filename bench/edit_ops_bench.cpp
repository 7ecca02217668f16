// Cut, paste, undo and redo on a ten-hour document, timed per operation with
// the bytes of audio each writes, beside sox cutting the same share out of a
// WAVE file in the same run.
//
//   edit_ops_bench <scratch folder>
//
// A ten-hour 44.1 kHz stereo document is built the way the editor ends up
// with one after many edits: 1,000 spans of 36 seconds over three real
// blocks of 40 seconds, so only 42 MB of block files are written instead of
// 12 GB. sox has to copy every sample, so its time grows with the length of
// the file: it is run on a six-minute file (a hundredth of ten hours), with
// the cut range scaled by the same factor, and its time multiplied by 100.
// A three-minute run beside it shows how close to proportional that is.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "core/core.h"
#include "core/undo_ring.h"
#include "effects/effects.h"
#include "sys/file.h"
#include "sys/folders.h"
#include "bench/bench_support.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int32_t kRate = 44100;
constexpr int kChannels = 2;
constexpr int kBlocks = 3;
constexpr int32_t kBlockFrames = 40 * kRate;
constexpr int kSpans = 1000;
constexpr int32_t kSpanFrames = 36 * kRate;  // 1,000 x 36 s = ten hours
constexpr int kRepetitions = 200;
constexpr int kSoxRuns = 3;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

double medianMicroseconds(std::vector<double> seconds) {
  std::sort(seconds.begin(), seconds.end());
  return seconds[seconds.size() / 2] * 1e6;
}

// Bytes of block files in the store's folder.
int64_t blockBytes() {
  int64_t total = 0;
  for (const std::string& name : sys::listFiles(blockFolder())) {
    sys::File file = sys::File::open(sys::joinPath(blockFolder(), name), sys::Access::Read, sys::Share::Read,
                                     sys::Disposition::OpenExisting);
    if (file.isOpen()) total += file.size();
  }
  return total;
}

SoundBuffer writeBlock(int index) {
  SoundBuffer block;
  auto writer = block.openWriter(kRate, kChannels);
  std::vector<Sample> chunk(static_cast<size_t>(kProcessChunkFrames) * kChannels);
  uint32_t noise = 1234567u + static_cast<uint32_t>(index);
  for (int32_t done = 0; done < kBlockFrames; done += kProcessChunkFrames) {
    for (Sample& s : chunk) {
      noise = noise * 1664525u + 1013904223u;
      s = static_cast<Sample>(noise >> 13) - (1 << 18);
    }
    writer->write(chunk.data(), std::min(kProcessChunkFrames, kBlockFrames - done));
  }
  if (writer->close() != SourceStatus::Good) std::fprintf(stderr, "block %d was not written\n", index);
  return block;
}

SoundBuffer tenHourDocument(const std::vector<SoundBuffer>& blocks) {
  SoundBuffer document(kRate, kChannels);
  for (int k = 0; k < kSpans; ++k) {
    const int32_t offset = static_cast<int32_t>((static_cast<int64_t>(k) * 7919 * 13) % (kBlockFrames - kSpanFrames));
    SoundBuffer piece;
    piece.extractRange(blocks[k % kBlocks], offset, offset + kSpanFrames);
    document.insertBuffer(document.totalFrames(), piece);
  }
  return document;
}

struct Times {
  std::vector<double> cut, paste, undo, redo;
};

bool shell(const std::string& command) {
  if (std::system(command.c_str()) == 0) return true;
  std::fprintf(stderr, "failed: %s\n", command.c_str());
  return false;
}

// The best of kSoxRuns after one untimed run, so the file is in the page cache.
double soxCutSeconds(const std::string& input, const std::string& output, int seconds) {
  // The document's cut is 2:00:00 to 3:00:00 of 10:00:00: a tenth, a fifth in.
  const std::string from = std::to_string(seconds / 5);
  const std::string to = std::to_string(seconds * 3 / 10);
  const std::string command = "sox '" + input + "' '" + output + "' trim 0 =" + from + " =" + to;
  if (!shell(command)) return -1;
  double best = 1e30;
  for (int i = 0; i < kSoxRuns; ++i) {
    const auto start = Clock::now();
    if (!shell(command)) return -1;
    best = std::min(best, secondsSince(start));
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<BenchStart> start = startBench(argc, argv, "edit_ops_bench", nullptr, "edit-blocks");
  if (!start) return 2;
  const std::string& scratch = start->scratch;

  std::vector<SoundBuffer> blocks;
  for (int b = 0; b < kBlocks; ++b) blocks.push_back(writeBlock(b));
  const SoundBuffer base = tenHourDocument(blocks);
  std::printf("document: %.2f hours, %zu spans over %d blocks (%.1f MB of block files)\n\n",
              base.totalFrames() / double(kRate) / 3600, base.spans().size(), kBlocks, blockBytes() / 1e6);

  // The editor's protocol per edit: record the undo step, then the edit.
  const int32_t hour = 3600 * kRate;
  const int64_t bytesBefore = blockBytes();
  const size_t filesBefore = sys::listFiles(blockFolder()).size();
  Times times;
  LinearFallbackConverter converter;
  for (int i = -1; i < kRepetitions; ++i) {  // the first round warms up
    UndoState document;
    document.sound = base;
    UndoRing ring;
    Clipboard clipboard;

    auto start = Clock::now();
    ring.pushUndoStep(editlabel::kCut, document);
    EditResult cutResult = cut(document.sound, {2 * hour, 3 * hour, 2 * hour}, clipboard);
    const double cutTime = secondsSince(start);

    start = Clock::now();
    ring.pushUndoStep(editlabel::kPaste, document);
    EditResult pasteResult = paste(document.sound, {6 * hour, 6 * hour, 6 * hour}, clipboard.sound(), converter);
    const double pasteTime = secondsSince(start);

    start = Clock::now();
    const bool undone = ring.undo(document);
    const double undoTime = secondsSince(start);

    start = Clock::now();
    const bool redone = ring.redo(document);
    const double redoTime = secondsSince(start);

    if (cutResult.status != EditStatus::Done || pasteResult.status != EditStatus::Done || !undone || !redone ||
        document.sound.totalFrames() != base.totalFrames()) {
      std::fprintf(stderr, "an edit did not do what it should\n");
      return 1;
    }
    if (i < 0) continue;
    times.cut.push_back(cutTime);
    times.paste.push_back(pasteTime);
    times.undo.push_back(undoTime);
    times.redo.push_back(redoTime);
  }
  const int64_t written = blockBytes() - bytesBefore;
  const long newFiles = static_cast<long>(sys::listFiles(blockFolder()).size()) - static_cast<long>(filesBefore);

  std::printf("median microseconds per operation on the ten-hour document (%d repetitions):\n", kRepetitions);
  std::printf("    cut 1 hour (with its undo step)    %8.1f\n", medianMicroseconds(times.cut));
  std::printf("    paste it (with its undo step)      %8.1f\n", medianMicroseconds(times.paste));
  std::printf("    undo                               %8.1f\n", medianMicroseconds(times.undo));
  std::printf("    redo                               %8.1f\n", medianMicroseconds(times.redo));
  std::printf("audio bytes written by all %d rounds:  %lld (new block files: %ld)\n\n", kRepetitions + 1,
              static_cast<long long>(written), newFiles);

  // sox, on a six-minute and a three-minute 16-bit stereo file.
  const std::string six = sys::joinPath(scratch, "six-minutes.wav");
  const std::string three = sys::joinPath(scratch, "three-minutes.wav");
  const std::string out = sys::joinPath(scratch, "sox-cut.wav");
  if (!sys::fileExists(six) && !shell("sox -n -r 44100 -c 2 -b 16 '" + six + "' synth 360 whitenoise gain -6"))
    return 1;
  if (!sys::fileExists(three) && !shell("sox '" + six + "' '" + three + "' trim 0 180")) return 1;
  const double soxThree = soxCutSeconds(three, out, 180);
  const double soxSix = soxCutSeconds(six, out, 360);
  sys::deleteFile(out);
  if (soxThree <= 0 || soxSix <= 0) return 1;
  const double soxTenHours = soxSix * 100;
  const double ourCut = medianMicroseconds(times.cut) / 1e6;
  std::printf("sox cutting a tenth out of a WAVE file (trim 0 =A =B), best of %d:\n", kSoxRuns);
  std::printf("    three minutes %7.3f s, six minutes %7.3f s (ratio %.2f, 2.00 = proportional)\n", soxThree, soxSix,
              soxSix / soxThree);
  std::printf("    ten hours, scaled from six minutes x 100: %.1f s, writing %.2f GB\n", soxTenHours,
              36000.0 * kRate * kChannels * 2 * 0.9 / 1e9);
  std::printf("our cut with its undo step: %.2g times less time than sox's estimate\n", soxTenHours / ourCut);
  return 0;
}
