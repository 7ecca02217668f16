// Records through the capture engine and the system's wave-input device, for
// the audio tests under Wine (wine_capture_test.sh, the editor's record
// test). Modes:
//   list                              input devices, one a line, then the
//                                     recording mixer of the default device:
//                                     its lines, the one chosen, volumes
//   record S RATE CHANNELS TRIGGER HANG OUT
//                                     records S seconds with that trigger
//                                     level (dB) and hang time (ms) and
//                                     writes what the sink got as 16-bit raw
//   silent-stop RATE CHANNELS         opens a device that delivers nothing
//                                     and checks that the meter shows silence
//                                     and that stop comes back at once
//   compare SOURCE RECORDED CHANNELS RATE
//                                     whether RECORDED (16-bit raw, or a WAV
//                                     file) is a stretch of SOURCE (16-bit
//                                     raw) after the DC filter, sample for
//                                     sample; the filter is worked out here
//                                     on its own from its recurrence (silence
//                                     before the source began is skipped)
//   stretches RECORDED CHANNELS RATE  the runs of sound and of silence (ms)
// Exit status 0 when all is well, 1 on a failed check, 2 on bad use.

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "devices/record_mixer.h"
#include "devices/voice_activated_capture.h"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Frames in memory, seekable like a file; saved as 16-bit at the end.
class MemorySink final : public SampleSink {
 public:
  MemorySink(int32_t rate, int channels) : SampleSink(rate, channels) {}
  ~MemorySink() override { close(); }
  void write(const Sample* buffer, int32_t frames) override {
    size_t at = static_cast<size_t>(position()) * channels();
    size_t count = static_cast<size_t>(frames) * channels();
    if (m_data.size() < at + count) m_data.resize(at + count);
    std::copy_n(buffer, count, m_data.begin() + static_cast<std::ptrdiff_t>(at));
    setPosition(position() + frames);
  }
  void seek(int32_t frame) override { setPosition(frame); }
  std::vector<Sample> kept;

 protected:
  void commit() override {
    m_data.resize(static_cast<size_t>(position()) * channels());
    kept = m_data;
  }

 private:
  std::vector<Sample> m_data;
};

class MainLoop : public CaptureListener {
 public:
  MainLoop() : m_wake(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}
  ~MainLoop() override { CloseHandle(m_wake); }
  std::function<void()> poster() {
    return [this] { SetEvent(m_wake); };
  }
  void runFor(VoiceActivatedCapture& capture, double ms) {
    auto start = Clock::now();
    for (double left = ms; left > 0; left = ms - msSince(start)) {
      if (WaitForSingleObject(m_wake, static_cast<DWORD>(std::min(left, 50.0))) == WAIT_OBJECT_0) capture.onNotify();
    }
  }
  void news(const CaptureNews& news, void*) override {
    ++newsCount;
    blocks += news.newBlock;
    lastLevel = news.levels.levels[0];
    if (news.stateChanged) ++stateChanges;
  }
  int newsCount = 0;
  int blocks = 0;
  int lastLevel = 0;
  int stateChanges = 0;

 private:
  HANDLE m_wake;
};

std::vector<int16_t> readValues(const std::string& path) {
  std::vector<int16_t> values;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return values;
  std::vector<unsigned char> bytes;
  unsigned char chunk[65536];
  for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) bytes.insert(bytes.end(), chunk, chunk + n);
  std::fclose(file);
  size_t start = 0;
  size_t end = bytes.size();
  if (bytes.size() >= 12 && std::memcmp(bytes.data(), "RIFF", 4) == 0) {
    // A WAV file: its data chunk only.
    for (size_t at = 12; at + 8 <= bytes.size();) {
      uint32_t size = bytes[at + 4] | bytes[at + 5] << 8 | bytes[at + 6] << 16 | static_cast<uint32_t>(bytes[at + 7]) << 24;
      if (std::memcmp(&bytes[at], "data", 4) == 0) {
        start = at + 8;
        end = std::min<size_t>(bytes.size(), start + size);
        break;
      }
      at += 8 + size + (size & 1);
    }
  }
  for (size_t i = start; i + 1 < end; i += 2) values.push_back(static_cast<int16_t>(bytes[i] | (bytes[i + 1] << 8)));
  return values;
}

bool writeValues(const std::string& path, const std::vector<Sample>& samples) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  for (Sample s : samples) {
    auto v = static_cast<uint16_t>(int16FromSample(s));
    unsigned char pair[2] = {static_cast<unsigned char>(v & 0xff), static_cast<unsigned char>(v >> 8)};
    std::fwrite(pair, 1, 2, file);
  }
  return std::fclose(file) == 0;
}

int listDevices() {
  std::unique_ptr<WaveInDevice> device = makeSystemWaveInDevice();
  for (const auto& name : device->deviceNames()) std::printf("%s\n", name.c_str());
  std::printf("system mixers: %u\n", mixerGetNumDevs());
  std::unique_ptr<RecordMixer> mixer = makeSystemRecordMixer();
  if (!mixer->open(0)) {
    std::printf("mixer: none for the default input device\n");
    return 0;
  }
  std::vector<std::string> lines = mixer->lineNames();
  std::optional<int> chosen = mixer->selectedLine();
  std::printf("mixer: %zu lines, chosen %d\n", lines.size(), chosen.value_or(-1));
  for (size_t i = 0; i < lines.size(); ++i) {
    std::optional<int> db = mixer->lineVolumeDb(static_cast<int>(i));
    std::printf("line %zu: %s, volume %s\n", i, lines[i].c_str(), db ? (std::to_string(*db) + " dB").c_str() : "none");
  }
  // The volume of the chosen line is set and read back (printed: what the
  // system's mixer makes of it is its own affair).
  if (!lines.empty() && mixer->lineVolumeDb(0)) {
    int before = *mixer->lineVolumeDb(0);
    bool set = mixer->setLineVolumeDb(0, -6);
    std::optional<int> after = mixer->lineVolumeDb(0);
    std::printf("line 0 volume set to -6 dB: %s, reads %d dB\n", set ? "done" : "refused", after.value_or(-127));
    mixer->setLineVolumeDb(0, before);
  }
  return 0;
}

int record(double seconds, int32_t rate, int channels, int trigger, int64_t hangMs, const std::string& out) {
  MainLoop loop;
  VoiceActivatedCapture capture(makeSystemWaveInDevice, loop.poster());
  capture.set_listener(&loop, nullptr);
  auto sink = makeRef<MemorySink>(rate, channels);
  if (!capture.start(sink, 0, trigger, hangMs)) {
    std::printf("the device did not open\n");
    return 1;
  }
  loop.runFor(capture, seconds * 1000);
  capture.stop();
  SourceRef<MemorySink> keep = sink;
  keep->close();
  std::printf("blocks %d, state changes %d, recorded %zu frames\n", loop.blocks, loop.stateChanges,
              keep->kept.size() / channels);
  if (loop.blocks < seconds * 5) {
    std::printf("too few blocks came in\n");
    return 1;
  }
  return writeValues(out, keep->kept) ? 0 : 1;
}

int silentStop(int32_t rate, int channels) {
  MainLoop loop;
  VoiceActivatedCapture capture(makeSystemWaveInDevice, loop.poster());
  capture.set_listener(&loop, nullptr);
  if (!capture.start(makeRef<MemorySink>(rate, channels), 0, -24, 5000)) {
    std::printf("the device did not open\n");
    return 1;
  }
  loop.runFor(capture, 2500);
  auto start = Clock::now();
  capture.stop();
  double stopMs = msSince(start);
  std::printf("news %d, blocks %d, last level %d, stop took %.0f ms\n", loop.newsCount, loop.blocks, loop.lastLevel,
              stopMs);
  return loop.newsCount > 0 && loop.lastLevel == -127 && stopMs < 1000 ? 0 : 1;
}

// The DC filter from its recurrence, over 16-bit input, as the 16-bit
// values a file of the result holds.
std::vector<int16_t> filtered16(const std::vector<int16_t>& source, size_t firstFrame, size_t frames, int channels,
                                int32_t rate) {
  const int64_t k = 192000 / rate + 1;
  std::vector<int64_t> acc(channels, 0);
  std::vector<int16_t> out;
  for (size_t f = firstFrame; f < firstFrame + frames && (f + 1) * channels <= source.size(); ++f) {
    for (int c = 0; c < channels; ++c) {
      int64_t a = acc[c];
      int64_t correction = a >= 0 ? a / 4096 : -((-a + 4095) / 4096);
      int64_t y = static_cast<int64_t>(source[f * channels + c]) * 16 - correction;
      acc[c] = a + k * y;
      out.push_back(static_cast<int16_t>(std::clamp<int64_t>((y + 8) >> 4, -32768, 32767)));
    }
  }
  return out;
}

int compare(const std::string& sourcePath, const std::string& recordedPath, int channels, int32_t rate) {
  std::vector<int16_t> source = readValues(sourcePath);
  std::vector<int16_t> recorded = readValues(recordedPath);
  // Silence before the source's first sample arrived leaves the filter at
  // rest: it is set aside.
  size_t lead = 0;
  while (lead < recorded.size() && recorded[lead] == 0) ++lead;
  lead -= lead % channels;
  recorded.erase(recorded.begin(), recorded.begin() + static_cast<std::ptrdiff_t>(lead));
  std::printf("%zu frames of silence before the source\n", lead / channels);
  const size_t frames = recorded.size() / channels;
  if (frames < static_cast<size_t>(rate)) {
    std::printf("only %zu frames recorded\n", frames);
    return 1;
  }
  // The recording begins somewhere in the source: where the first 256
  // frames match, the rest must too.
  const size_t probe = 256;
  for (size_t offset = 0; offset + frames <= source.size() / channels; ++offset) {
    std::vector<int16_t> head = filtered16(source, offset, probe, channels, rate);
    if (!std::equal(head.begin(), head.end(), recorded.begin())) continue;
    std::vector<int16_t> all = filtered16(source, offset, frames, channels, rate);
    size_t differing = 0;
    size_t first = 0;
    for (size_t i = 0; i < all.size(); ++i) {
      if (all[i] != recorded[i] && differing++ == 0) first = i / channels;
    }
    std::printf("recorded %zu frames (%.2f s) from source frame %zu; %zu samples differ", frames,
                static_cast<double>(frames) / rate, offset, differing);
    if (differing) std::printf(", the first at frame %zu", first);
    std::printf("\n");
    return differing == 0 ? 0 : 1;
  }
  std::printf("the recording is no stretch of the filtered source (%zu frames)\n", frames);
  return 1;
}

int stretches(const std::string& recordedPath, int channels, int32_t rate) {
  std::vector<int16_t> recorded = readValues(recordedPath);
  const size_t frames = recorded.size() / channels;
  // Runs of 5 ms pieces, loud when any sample of the piece passes 100.
  const size_t piece = static_cast<size_t>(rate) / 200;
  bool loud = false;
  size_t runStart = 0;
  auto loudAt = [&](size_t p) {
    for (size_t i = p * piece * channels; i < std::min(frames, (p + 1) * piece) * channels; ++i)
      if (std::abs(recorded[i]) > 100) return true;
    return false;
  };
  const size_t pieces = (frames + piece - 1) / piece;
  for (size_t p = 0; p <= pieces; ++p) {
    bool now = p < pieces && loudAt(p);
    if (p == pieces || (p > 0 && now != loud)) {
      std::printf("%s %zu\n", loud ? "sound" : "silence", (p - runStart) * 5);
      runStart = p;
    }
    if (p == 0) runStart = 0;
    loud = now;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode = argc > 1 ? argv[1] : "";
  int status = 2;
  if (mode == "list") status = listDevices();
  if (mode == "record" && argc == 8)
    status = record(std::atof(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]),
                    std::atoll(argv[6]), argv[7]);
  if (mode == "silent-stop" && argc == 4) status = silentStop(std::atoi(argv[2]), std::atoi(argv[3]));
  if (mode == "compare" && argc == 6) status = compare(argv[2], argv[3], std::atoi(argv[4]), std::atoi(argv[5]));
  if (mode == "stretches" && argc == 5) status = stretches(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
  if (status == 2)
    std::fprintf(stderr,
                 "usage: capture_check list | record S RATE CHANNELS TRIGGER HANG OUT | silent-stop RATE CHANNELS | "
                 "compare SOURCE RECORDED CHANNELS RATE | stretches RECORDED CHANNELS RATE\n");
  std::fflush(stdout);
  return status;
}
