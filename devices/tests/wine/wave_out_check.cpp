// Plays through the player and the system's wave-output device, for the
// audio test under Wine (wine_audio_test.sh). Modes:
//   list                         device names, one a line
//   exact RAW RATE CHANNELS      plays a headerless 16-bit file to its end
//   clock RAW RATE CHANNELS S    plays S seconds and checks that the
//                                position reports keep pace with the clock
//                                from the third second on
//   latency RAW RATE CHANNELS N  N times: a one-hour sound made of the file,
//                                played from its middle; prints the time from
//                                the play call to the first block heard
//   latency-warm RAW RATE CHANNELS N  the same after listing the devices
//                                first, as the editor does while it starts
//   compare RAW PLAYED CHANNELS  whether PLAYED (what a file device received)
//                                is RAW, byte for byte, apart from stretches
//                                of silence the sound system put in when it
//                                ran short (RAW itself must have none)
// Exit status 0 when all is well, 1 on a failed check, 2 on bad use.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/block_store.h"
#include "core/sound_buffer.h"
#include "devices/transport.h"
#include "devices/wave_player.h"
#include "sys/folders.h"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The main thread's side: posts wake the loop below, which runs the player's
// notification, as the editor's notifier window does.
class MainLoop {
 public:
  MainLoop() : m_wake(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}
  ~MainLoop() { CloseHandle(m_wake); }
  std::function<void()> poster() {
    return [this] { SetEvent(m_wake); };
  }
  // Runs notifications until done() or timeoutMs.
  bool runUntil(WavePlayer& player, const std::function<bool()>& done, int timeoutMs) {
    auto start = Clock::now();
    while (!done()) {
      double left = timeoutMs - msSince(start);
      if (left <= 0) return false;
      if (WaitForSingleObject(m_wake, static_cast<DWORD>(std::min(left, 50.0))) == WAIT_OBJECT_0) player.onNotify();
    }
    return true;
  }

 private:
  HANDLE m_wake;
};

struct Report {
  double atMs;
  int32_t positionMs;
};

class TimedListener : public PlayerListener {
 public:
  void started(void*) override { ++starts; }
  void stopped(void*) override { ++stops; }
  void position(int32_t ms, void*) override { reports.push_back({msSince(start), ms}); }
  Clock::time_point start = Clock::now();
  std::vector<Report> reports;
  int starts = 0;
  int stops = 0;
};

std::vector<Sample> readRaw16(const std::string& path) {
  std::vector<Sample> samples;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return samples;
  unsigned char pair[2];
  while (std::fread(pair, 1, 2, file) == 2) samples.push_back(static_cast<int16_t>(pair[0] | (pair[1] << 8)) * 16);
  std::fclose(file);
  return samples;
}

SoundBuffer bufferOf(const std::vector<Sample>& samples, int32_t rate, int channels) {
  SoundBuffer buffer;
  auto writer = buffer.openWriter(rate, channels);
  writer->write(samples.data(), static_cast<int32_t>(samples.size() / channels));
  writer.reset();
  return buffer;
}

int listDevices() {
  for (const std::string& name : makeSystemWaveOutDevice()->deviceNames()) std::printf("%s\n", name.c_str());
  return 0;
}

// Plays the whole sound, reporting to listener; says so when no device opens.
bool startPlaying(WavePlayer& player, TimedListener& listener, const SoundBuffer& sound) {
  player.set_listener(&listener, nullptr);
  if (player.open_and_play(sound.openReader())) return true;
  std::printf("FAIL: no device opened (%d)\n", static_cast<int>(player.lastOpenStatus()));
  return false;
}

int playExact(const SoundBuffer& sound) {
  MainLoop loop;
  WavePlayer player(makeSystemWaveOutDevice, loop.poster());
  TimedListener listener;
  if (!startPlaying(player, listener, sound)) return 1;
  int32_t lengthMs = static_cast<int32_t>(framesToMs(sound.totalFrames(), sound.sampleRate()));
  if (!loop.runUntil(player, [&] { return listener.stops > 0; }, lengthMs * 4 + 10000)) {
    std::printf("FAIL: playback did not end\n");
    return 1;
  }
  std::printf("played %d ms in %.0f ms, last position %d ms\n", lengthMs, msSince(listener.start),
              listener.reports.empty() ? -1 : listener.reports.back().positionMs);
  return listener.reports.back().positionMs == lengthMs ? 0 : 1;
}

int playAgainstClock(const SoundBuffer& sound, int seconds) {
  MainLoop loop;
  WavePlayer player(makeSystemWaveOutDevice, loop.poster());
  TimedListener listener;
  if (!startPlaying(player, listener, sound)) return 1;
  listener.start = Clock::now();
  loop.runUntil(player, [] { return false; }, seconds * 1000);
  player.stop();
  // Reports once the start-up is behind us: Wine's sound server link runs
  // slow for its first second or two while it settles its timing.
  std::vector<Report> steady;
  for (const Report& r : listener.reports)
    if (r.atMs >= 3000) steady.push_back(r);
  if (steady.size() < 10) {
    std::printf("FAIL: only %zu position reports\n", steady.size());
    return 1;
  }
  bool rising = std::is_sorted(steady.begin(), steady.end(),
                               [](const Report& a, const Report& b) { return a.positionMs < b.positionMs; });
  double heard = steady.back().positionMs - steady.front().positionMs;
  double elapsed = steady.back().atMs - steady.front().atMs;
  double worst = 0;  // how far any report strays from the clock
  for (const Report& r : steady) {
    double expected = steady.front().positionMs + (r.atMs - steady.front().atMs);
    worst = std::max(worst, std::abs(r.positionMs - expected));
  }
  std::printf("%zu reports: %.0f ms heard in %.0f ms of clock (ratio %.3f), largest lag or lead %.0f ms\n",
              steady.size(), heard, elapsed, heard / elapsed, worst);
  // Sound is never heard faster than the clock, and it must keep coming. How
  // far it falls behind depends on how busy the shared machine is (the
  // figures above say it), so a lag alone does not fail the check.
  double lead = 0;
  for (const Report& r : steady)
    lead = std::max(lead, r.positionMs - (steady.front().positionMs + (r.atMs - steady.front().atMs)));
  if (!rising || heard / elapsed < 0.5 || heard / elapsed > 1.05 || lead > 200) {
    for (const Report& r : steady) std::printf("  %.0f ms: %d ms\n", r.atMs, r.positionMs);
    std::printf("FAIL: positions do not follow the clock\n");
    return 1;
  }
  return 0;
}

int measureStartLatency(const SoundBuffer& piece, int times) {
  // One hour of sound made of the piece, start to end.
  SoundBuffer hour = piece;
  const int32_t hourFrames = piece.sampleRate() * 3600;
  int32_t repeats = (hourFrames + piece.totalFrames() - 1) / piece.totalFrames();
  if (!hour.repeatRange(0, piece.totalFrames(), repeats)) return 1;
  hour.truncateAt(hourFrames);
  if (hour.totalFrames() != hourFrames) {
    std::printf("FAIL: the sound is %d frames, not an hour\n", hour.totalFrames());
    return 1;
  }

  MainLoop loop;
  WavePlayer player(makeSystemWaveOutDevice, loop.poster());
  Transport transport(player);
  TimedListener listener;
  player.set_listener(&listener, nullptr);
  PlayDocument document;
  document.buffer = &hour;
  std::vector<double> figures;
  std::vector<double> opening;  // of which the play call itself
  for (int i = 0; i < times; ++i) {
    document.cursor = hourFrames / 2 + i * piece.sampleRate();
    listener.reports.clear();
    listener.start = Clock::now();
    if (!transport.play(document, PlaySettings{})) {
      std::printf("FAIL: no device opened\n");
      return 1;
    }
    opening.push_back(msSince(listener.start));
    int32_t startMs = static_cast<int32_t>(framesToMs(document.cursor, hour.sampleRate()));
    auto heard = [&] { return !listener.reports.empty() && listener.reports.back().positionMs > startMs; };
    if (!loop.runUntil(player, heard, 5000)) {
      std::printf("FAIL: nothing heard within 5 s\n");
      return 1;
    }
    figures.push_back(listener.reports.back().atMs);
    transport.stop();
  }
  // The first start in a process also loads the system's sound driver.
  std::printf("start of a one-hour sound at its middle, play call to first block heard: first start %.0f ms "
              "(play call %.0f ms);", figures[0], opening[0]);
  std::vector<double> later(figures.begin() + 1, figures.end());
  for (size_t i = 1; i < figures.size(); ++i) std::printf(" %.0f", figures[i]);
  if (!later.empty()) {
    std::sort(later.begin(), later.end());
    std::printf(" ms; later starts median %.0f, worst %.0f ms", later[later.size() / 2], later.back());
  }
  std::printf("\n");
  return 0;
}

std::vector<int16_t> readRaw16Values(const std::string& path) {
  std::vector<int16_t> values;
  for (Sample s : readRaw16(path)) values.push_back(static_cast<int16_t>(s / 16));
  return values;
}

// A sound server that runs dry writes silence; such stretches are at least
// a few milliseconds long, which no stretch of the material is.
constexpr size_t kPaddingFrames = 64;

int comparePlayed(const std::string& rawPath, const std::string& playedPath, int channels) {
  std::vector<int16_t> expected = readRaw16Values(rawPath);
  std::vector<int16_t> played = readRaw16Values(playedPath);
  const size_t frames = played.size() / channels;
  std::vector<int16_t> kept;
  size_t dropped = 0;
  std::vector<size_t> stretches;  // where, in frames of the material
  for (size_t f = 0; f < frames;) {
    size_t run = 0;
    while (f + run < frames &&
           std::all_of(played.begin() + (f + run) * channels, played.begin() + (f + run + 1) * channels,
                       [](int16_t v) { return v == 0; }))
      ++run;
    if (run >= kPaddingFrames) {
      stretches.push_back(kept.size() / channels);
      dropped += run;
      f += run;
      continue;
    }
    size_t take = std::max<size_t>(run, 1);
    kept.insert(kept.end(), played.begin() + f * channels, played.begin() + (f + take) * channels);
    f += take;
  }
  std::printf("%zu frames received, %zu of them silence in %zu stretches (at", frames, dropped, stretches.size());
  for (size_t at : stretches) std::printf(" %zu", at);
  std::printf(")\n");
  if (kept != expected) {
    size_t first = 0;
    while (first < std::min(kept.size(), expected.size()) && kept[first] == expected[first]) ++first;
    std::printf("FAIL: %zu samples played against %zu in the file, first difference at sample %zu\n", kept.size(),
                expected.size(), first);
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::string(argv[1]) == "list") return listDevices();
  if (argc >= 5 && std::string(argv[1]) == "compare") return comparePlayed(argv[2], argv[3], std::atoi(argv[4]));
  if (argc < 5) {
    std::fprintf(stderr,
                 "usage: wave_out_check list | exact|clock|latency|latency-warm RAW RATE CHANNELS [N] | "
                 "compare RAW PLAYED CHANNELS\n");
    return 2;
  }
  std::string mode = argv[1];
  int32_t rate = std::atoi(argv[3]);
  int channels = std::atoi(argv[4]);
  int count = argc > 5 ? std::atoi(argv[5]) : 5;
  std::vector<Sample> samples = readRaw16(argv[2]);
  if (samples.empty() || rate <= 0 || channels <= 0) {
    std::fprintf(stderr, "cannot read %s\n", argv[2]);
    return 2;
  }
  setWorkingFolder(sys::joinPath(sys::tempFolder(), "wave_out_check"));
  SoundBuffer sound = bufferOf(samples, rate, channels);
  int status = 2;
  if (mode == "exact") status = playExact(sound);
  if (mode == "clock") status = playAgainstClock(sound, count);
  if (mode == "latency") status = measureStartLatency(sound, count);
  if (mode == "latency-warm") {
    makeSystemWaveOutDevice()->deviceNames();
    status = measureStartLatency(sound, count);
  }
  std::fflush(stdout);
  return status;
}
