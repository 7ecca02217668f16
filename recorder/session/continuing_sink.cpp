#include "recorder/session/continuing_sink.h"

namespace recorder {
namespace {

class ContinuingSink final : public SampleSink {
 public:
  explicit ContinuingSink(SampleSinkRef file)
      : SampleSink(file->sampleRate(), file->channels()), m_file(std::move(file)) {
    setPosition(m_file->position());
    if (!m_file->good()) fail();
  }
  ~ContinuingSink() override { close(); }

  void write(const Sample* buffer, int32_t frames) override {
    m_file->write(buffer, frames);
    follow();
  }
  void seek(int32_t frame) override {
    m_file->seek(frame);
    follow();
  }

 private:
  void commit() override {}  // the file stays open for the next run
  void follow() {
    setPosition(m_file->position());
    if (!m_file->good()) fail();
  }

  SampleSinkRef m_file;
};

}  // namespace

SampleSinkRef makeContinuingSink(SampleSinkRef file) { return makeRef<ContinuingSink>(std::move(file)); }

}  // namespace recorder
