// Files the system's media framework decodes (".wma" and every extension we
// know nothing of) into a temporary WAVE file.

#include <algorithm>
#include <mutex>

#include "formats/extension.h"
#include "formats/import_messages.h"
#include "formats/importers.h"
#include "formats/wave_format.h"
#include "sys/folders.h"
#include "sys/media_decoder.h"

namespace {

constexpr int64_t kBarRange = 1000;
// Data sizes past this do not fit a WAVE header.
constexpr int64_t kLargestWaveData = 0xFFFFFFFEll;

// Writes the framework's PCM as a WAVE file: the header first with the
// unfinished sizes, the real ones once the whole sound is in.
class WaveFileReceiver final : public sys::PcmReceiver {
 public:
  explicit WaveFileReceiver(std::string path) : m_path(std::move(path)) {}

  bool begin(const sys::PcmLayout& layout) override {
    m_record = pcmWaveRecord(layout.channels, layout.sampleRate, layout.bitsPerSample, wave_record::kFullBytes);
    m_file = sys::File::open(m_path, sys::Access::ReadWrite, sys::Share::Read, sys::Disposition::CreateAlways);
    std::vector<uint8_t> header = waveFileHeader(m_record, 0xFFFFFFFF);
    return m_file.isOpen() && m_file.write(header.data(), header.size()) == header.size();
  }
  bool write(const void* data, size_t bytes) override {
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_dataBytes + static_cast<int64_t>(bytes) > kLargestWaveData) return false;
    if (m_file.write(data, bytes) != bytes) return false;
    m_dataBytes += static_cast<int64_t>(bytes);
    return true;
  }
  bool finish() {
    std::lock_guard<std::mutex> lock(m_lock);
    std::vector<uint8_t> header = waveFileHeader(m_record, static_cast<uint32_t>(m_dataBytes));
    bool written = m_file.seek(0) && m_file.write(header.data(), header.size()) == header.size();
    m_file.close();
    return written;
  }
  void discard() {
    m_file.close();
    sys::deleteFile(m_path);
  }

 private:
  std::string m_path;
  std::vector<uint8_t> m_record;
  sys::File m_file;
  std::mutex m_lock;  // the framework writes from a thread of its own
  int64_t m_dataBytes = 0;
};

std::string failureMessage(const std::string& input) {
  const std::string extension = lowerExtension(input);
  if (extension == ".wma") return import_messages::protectedOrCorruptWma(input);
  if (!sys::fileExists(input)) return import_messages::missing(input);
  if (extension == ".msv" || extension == ".dvf") return import_messages::vendorCodecMissing(input);
  return import_messages::unsupported(input);
}

}  // namespace

ImportOutcome importWithMediaFramework(const std::string& input, const std::string& output, ImportHost& host) {
  WaveFileReceiver receiver(output);
  sys::MediaDecodeResult result = sys::decodeMediaFile(input, receiver, [&](int64_t done, int64_t total) {
    if (total > 0) host.setProgress(std::min(done, total) * kBarRange / total, kBarRange);
    return !host.cancelled();
  });
  if (result == sys::MediaDecodeResult::Done && receiver.finish()) return {JobResult::Done, {}};
  receiver.discard();
  if (result == sys::MediaDecodeResult::Cancelled) return {JobResult::Cancelled, {}};
  return {JobResult::Failed, failureMessage(input)};
}
