#include "editor/recording_take.h"

namespace {

// Forwards to a block writer into the take's own sound and marks the take
// committed when it is.
class TakeSink final : public SampleSink {
 public:
  TakeSink(std::shared_ptr<RecordingTake::State> state, int32_t sampleRate, int channels)
      : SampleSink(sampleRate, channels), m_state(std::move(state)),
        m_writer(m_state->sound.openWriter(sampleRate, channels)) {
    if (!m_writer->good()) fail();
  }
  ~TakeSink() override { close(); }

  void write(const Sample* buffer, int32_t frames) override {
    m_writer->write(buffer, frames);
    setPosition(m_writer->position());
    if (!m_writer->good()) fail();
  }
  void seek(int32_t frame) override {
    m_writer->seek(frame);
    setPosition(m_writer->position());
  }

 protected:
  void commit() override {
    SourceStatus status = m_writer->close();
    m_writer.reset();
    m_state->failed = status != SourceStatus::Good || !good();
    m_state->committed = true;
  }

 private:
  // Declared first, so it goes last: the writer fills this sound.
  std::shared_ptr<RecordingTake::State> m_state;
  SampleSinkRef m_writer;
};

}  // namespace

RecordingTake::RecordingTake(int32_t sampleRate, int channels)
    : m_state(std::make_shared<State>()),
      m_sink(makeRef<TakeSink>(m_state, sampleRate, channels)) {
  m_state->sound.setFormat(sampleRate, channels);
}

bool RecordingTake::committed() const { return m_state->committed; }
bool RecordingTake::failed() const { return m_state->failed; }
const SoundBuffer& RecordingTake::sound() const { return m_state->sound; }
