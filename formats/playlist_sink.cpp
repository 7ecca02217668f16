// Playlists and feeds: the sound goes to an MP3 beside them, then the text
// that points at it.

#include <string>

#include "formats/encoder_settings.h"
#include "formats/encoder_sinks.h"
#include "formats/failed_sink.h"
#include "formats/playlist_texts.h"
#include "sys/file.h"
#include "sys/folders.h"

namespace {

std::string withoutExtension(const std::string& name) {
  size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

class PlaylistSink final : public SampleSink {
 public:
  PlaylistSink(SampleSinkRef mp3, std::string mp3Temporary, std::string mp3Path, std::string playlistPath,
               std::string textOutput, std::string extension, const FormatContext& context)
      : SampleSink(mp3->sampleRate(), mp3->channels()),
        m_mp3(std::move(mp3)),
        m_mp3Temporary(std::move(mp3Temporary)),
        m_mp3Path(std::move(mp3Path)),
        m_playlistPath(std::move(playlistPath)),
        m_textOutput(std::move(textOutput)),
        m_extension(std::move(extension)),
        m_rootUrl(readRssEncodeSettings(context.settings).rootUrl),
        m_finishAudioFile(context.finishAudioFile) {
    if (!m_mp3->good()) fail();
  }
  ~PlaylistSink() override { close(); }

  void write(const Sample* buffer, int32_t frames) override {
    if (!good() || closed()) return;
    m_mp3->write(buffer, frames);
    if (!m_mp3->good()) fail();
    setPosition(m_mp3->position());
  }

 protected:
  void commit() override {
    if (m_mp3->close() != SourceStatus::Good) fail();
    if (good() && m_finishAudioFile && !m_finishAudioFile(m_mp3Temporary, m_mp3Path)) fail();
    // The text first, then the MP3 into place: a full disk fails the save
    // before any file the user had is touched.
    if (good() && !writeText()) fail();
    if (good() && !sys::replaceFile(m_mp3Temporary, m_mp3Path)) fail();
    if (!good()) sys::deleteFile(m_mp3Temporary);
  }

 private:
  bool writeText() {
    PlaylistEntry entry;
    entry.title = withoutExtension(sys::fileNameOf(m_playlistPath));
    entry.lengthSeconds = sampleRate() > 0 ? position() / sampleRate() : 0;
    entry.rootUrl = m_rootUrl;
    entry.mp3FileName = sys::fileNameOf(m_mp3Path);
    {
      sys::File mp3 = sys::File::open(m_mp3Temporary, sys::Access::Read, sys::Share::ReadWrite,
                                      sys::Disposition::OpenExisting);
      entry.mp3Bytes = mp3.isOpen() ? mp3.size() : 0;
    }
    const std::string text = playlistText(m_extension, entry);
    sys::File out = sys::File::open(m_textOutput, sys::Access::ReadWrite, sys::Share::Read,
                                    sys::Disposition::CreateAlways);
    return out.isOpen() && out.write(text.data(), text.size()) == text.size();
  }

  SampleSinkRef m_mp3;
  std::string m_mp3Temporary, m_mp3Path, m_playlistPath, m_textOutput, m_extension, m_rootUrl;
  std::function<bool(const std::string&, const std::string&)> m_finishAudioFile;
};

}  // namespace

std::string companionMp3Path(const std::string& playlistPath) {
  const size_t nameStart = playlistPath.size() - sys::fileNameOf(playlistPath).size();
  const size_t dot = playlistPath.rfind('.');
  if (dot == std::string::npos || dot < nameStart) return playlistPath + ".mp3";
  return playlistPath.substr(0, dot) + ".mp3";
}

SampleSinkRef makePlaylistSink(const SinkRequest& request, const std::string& extension, int32_t sampleRate,
                               int channels, const FormatContext& context) {
  const std::string mp3Path = companionMp3Path(request.path);
  const std::string mp3Temporary = sys::createFileBeside(mp3Path, ".tmp.mp3");
  if (mp3Temporary.empty()) return makeRef<FailedSink>(sampleRate, channels);
  SinkRequest mp3Request;
  mp3Request.path = mp3Path;
  mp3Request.outputPath = mp3Temporary;
  // The companion's own finishing runs here, before the text is written.
  FormatContext mp3Context = context;
  mp3Context.finishAudioFile = nullptr;
  SampleSinkRef mp3 = makeEncoderSink(mp3Request, ".mp3", sampleRate, channels, mp3Context);
  const std::string& textOutput = request.outputPath.empty() ? request.path : request.outputPath;
  auto sink = makeRef<PlaylistSink>(mp3, mp3Temporary, mp3Path, request.path, textOutput, extension, context);
  if (!sink->good()) sys::deleteFile(mp3Temporary);
  return sink;
}
