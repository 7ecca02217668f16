#include "recorder/model/recorder_command_line.h"

#include <cctype>

#include "formats/wave_format.h"
#include "recorder/model/recorder_format.h"

namespace recorder {

namespace {

bool is(const std::string& arg, const char* word) {
  size_t i = 0;
  for (; word[i] != '\0'; ++i)
    if (i >= arg.size() ||
        std::tolower(static_cast<unsigned char>(arg[i])) != std::tolower(static_cast<unsigned char>(word[i])))
      return false;
  return i == arg.size();
}

bool parseWhole(const std::string& text, long long& value) {
  if (text.empty() || text.size() > 15) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return true;
}

// Walks the arguments; every take* consumes only what it accepts.
class ArgumentWalk {
 public:
  explicit ArgumentWalk(const std::vector<std::string>& args) : m_args(args) {}
  size_t mark() const { return m_next; }
  void restore(size_t mark) { m_next = mark; }

  bool done() const { return m_next >= m_args.size(); }
  const std::string& take() { return m_args[m_next++]; }
  bool takeWord(const char* word) {
    if (done() || !is(m_args[m_next], word)) return false;
    ++m_next;
    return true;
  }
  // A value that is not itself a switch.
  bool takeValue(std::string& value) {
    if (done() || m_args[m_next].empty() || m_args[m_next][0] == '-') return false;
    value = m_args[m_next++];
    return true;
  }
  bool takeNumber(long long& value) {
    if (done() || !parseWhole(m_args[m_next], value)) return false;
    ++m_next;
    return true;
  }
  // "-x" and its number, both or neither.
  bool takeNumberOption(const char* option, long long& value) {
    if (done() || !is(m_args[m_next], option) || m_next + 1 >= m_args.size() ||
        !parseWhole(m_args[m_next + 1], value))
      return false;
    m_next += 2;
    return true;
  }
  bool takeWordOption(const char* option, std::string& value) {
    if (done() || !is(m_args[m_next], option) || m_next + 1 >= m_args.size()) return false;
    value = m_args[m_next + 1];
    m_next += 2;
    return true;
  }

 private:
  const std::vector<std::string>& m_args;
  size_t m_next = 1;
};

int clampInt(long long value, int low, int high) {
  return static_cast<int>(value < low ? low : value > high ? high : value);
}

WaveOptions takeWaveOptions(ArgumentWalk& walk) {
  WaveOptions options;
  long long value = 0;
  if (walk.takeNumberOption("-s", value)) options.sampleRate = clampInt(value, 0, 0x7FFFFFFF);
  if (walk.takeNumberOption("-m", value)) options.channels = clampInt(value, 0, 0xFFFF);
  if (walk.takeNumberOption("-b", value)) options.bitsPerSample = clampInt(value, 0, 0xFFFF);
  return options;
}

// The modes "s", "j", "f", "m": stereo, joint, forced stereo, mono.
void takeChannelMode(ArgumentWalk& walk, Mp3EncoderSettings& mp3) {
  std::string word;
  size_t before = walk.mark();
  if (!walk.takeWordOption("-m", word)) return;
  static const char* const modes[] = {"s", "j", "f", "m"};
  for (int mode = 0; mode < 4; ++mode)
    if (is(word, modes[mode])) {
      mp3.channelMode = mode;
      return;
    }
  walk.restore(before);  // not a mode: left for what follows
}

std::optional<Mp3EncoderSettings> takeMp3Options(ArgumentWalk& walk, const Mp3EncoderSettings& current) {
  Mp3EncoderSettings mp3 = current;
  long long value = 0;
  if (walk.takeWord("-cbr")) {
    mp3.constantBitRate = true;
    if (walk.takeNumberOption("-b", value)) mp3.cbrBitRate = clampInt(value, 8, 320);
    mp3.highQuality = walk.takeWord("-h");
    takeChannelMode(walk, mp3);
    mp3.errorProtection = walk.takeWord("-p");
    return mp3;
  }
  if (walk.takeWord("-vbr")) {
    mp3.constantBitRate = false;
    if (walk.takeNumberOption("-b", value)) mp3.vbrMinBitRate = clampInt(value, 8, 320);
    if (walk.takeNumberOption("-B", value)) mp3.vbrMaxBitRate = clampInt(value, 8, 320);
    if (walk.takeNumberOption("-q", value)) mp3.vbrQuality = clampInt(value, 0, 9);
    takeChannelMode(walk, mp3);
    mp3.errorProtection = walk.takeWord("-p");
    return mp3;
  }
  return std::nullopt;
}

void takeFormatOptions(ArgumentWalk& walk, RecorderAction& action, const Mp3EncoderSettings& currentMp3) {
  if (action.format == kWav) action.wave = takeWaveOptions(walk);
  if (action.format == kMp3) action.mp3 = takeMp3Options(walk, currentMp3);
}

}  // namespace

std::vector<RecorderAction> parseRecorderCommandLine(const std::vector<std::string>& args,
                                                     const Mp3EncoderSettings& currentMp3) {
  std::vector<RecorderAction> actions;
  ArgumentWalk walk(args);
  while (!walk.done()) {
    const std::string& arg = walk.take();
    RecorderAction action;
    std::string value;
    long long number = 0;
    if (is(arg, "-record")) {
      action.kind = RecorderAction::Record;
      if (!walk.done()) {
        size_t before = walk.mark();
        int format = recorderFormatFromWord(walk.take());
        if (format >= 0) {
          action.format = format;
          takeFormatOptions(walk, action, currentMp3);
        } else {
          walk.restore(before);
        }
      }
    } else if (is(arg, "-recordfile")) {
      if (!walk.takeValue(value)) continue;
      action.kind = RecorderAction::RecordFile;
      action.path = value;
      action.format = recorderFormatOfPath(value);
      takeFormatOptions(walk, action, currentMp3);
    } else if (is(arg, "-resume")) {
      action.kind = RecorderAction::Resume;
    } else if (is(arg, "-pause")) {
      action.kind = RecorderAction::Pause;
    } else if (is(arg, "-restart")) {
      action.kind = RecorderAction::Restart;
    } else if (is(arg, "-done")) {
      action.kind = RecorderAction::Done;
    } else if (is(arg, "-exit")) {
      action.kind = RecorderAction::Exit;
    } else if (is(arg, "-exitifstop")) {
      action.kind = RecorderAction::ExitIfStop;
    } else if (is(arg, "-hide")) {
      action.kind = RecorderAction::Hide;
    } else if (is(arg, "-show")) {
      action.kind = RecorderAction::Show;
    } else if (is(arg, "-showbtn")) {
      action.kind = RecorderAction::ShowButtons;
      if (walk.takeWord("showall")) action.buttonsSet = 63;
      else if (walk.takeWord("hideall")) action.buttonsSet = 0;
      else if (walk.takeWord("r")) action.buttonsToggle = 1;
      else if (walk.takeWord("p")) action.buttonsToggle = 4;
      else if (walk.takeWord("t")) action.buttonsToggle = 2;
      else if (walk.takeWord("s")) action.buttonsToggle = 8;
      else continue;
    } else if (is(arg, "-play")) {
      if (!walk.takeValue(value)) continue;
      action.kind = RecorderAction::Play;
      action.path = value;
    } else if (is(arg, "-outdir")) {
      if (!walk.takeValue(value)) continue;
      action.kind = RecorderAction::OutDir;
      action.path = value;
    } else if (is(arg, "-ms")) {
      if (!walk.takeNumber(number)) continue;
      action.kind = RecorderAction::StopAfter;
      action.milliseconds = number;
    } else if (is(arg, "-logon")) {
      action.kind = RecorderAction::Logon;
    } else {
      continue;
    }
    actions.push_back(action);
  }
  return actions;
}

std::optional<std::vector<uint8_t>> waveRecordFor(const WaveOptions& options,
                                                  const std::optional<std::vector<uint8_t>>& current) {
  int32_t rate = kDefaultRecordRate;
  int channels = kDefaultRecordChannels, bits = 16;
  if (current && current->size() >= wave_record::kFixedBytes) {
    WaveFormat stored;
    stored.loadFields(current->data());
    if (stored.tag == kWaveFormatPcm && stored.channels > 0 && stored.sampleRate > 0 && stored.bitsPerSample > 0) {
      rate = static_cast<int32_t>(stored.sampleRate);
      channels = stored.channels;
      bits = stored.bitsPerSample;
    }
  }
  if (options.sampleRate != 0) rate = options.sampleRate;
  if (options.channels != 0) channels = options.channels;
  if (options.bitsPerSample != 0) bits = options.bitsPerSample;
  if (rate < 1000 || rate > 768000 || channels < 1 || channels > 2 || (bits != 8 && bits != 16 && bits != 24 && bits != 32))
    return std::nullopt;
  return pcmWaveRecord(channels, rate, bits, wave_record::kFullBytes);
}

}  // namespace recorder
