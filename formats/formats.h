#pragma once
// Sound files in and out: the readers and writers of the built-in formats,
// the dispatchers by extension, and the WAVE tag chunks.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/sample_source.h"
#include "formats/byte_source.h"
#include "formats/import_host.h"
#include "sys/settings_store.h"

// A raw file's layout, from the "RawAudio" or "VoxAudio" settings or the dialog.
enum class RawCodec : int {
  DialogicAdpcm = 0,
  MuLaw = 1,
  ALaw = 2,
  Pcm16LE = 3,
  Unsigned8 = 4,
  Signed8 = 5,
};
struct RawFormat {
  int32_t sampleRate = 44100;
  int channels = 1;
  RawCodec codec = RawCodec::Pcm16LE;
};
// Reads the section's values with their defaults ("RawAudio": 44,100 Hz, 1, 3;
// "VoxAudio": 8,000 Hz, 1, 0), keeping them to valid ranges.
RawFormat readRawFormat(const sys::SettingsStore* settings, const std::string& section);
void writeRawFormat(sys::SettingsStore& settings, const std::string& section, const RawFormat& format);

// What the dispatchers ask of the user; the editor shows real dialogs.
class FileUi {
 public:
  virtual ~FileUi() = default;
  virtual void showError(const std::string& text) = 0;
  // A file opened, but not all of it could be read. Shown as an error where
  // the interface has no warnings of its own.
  virtual void showWarning(const std::string& text) { showError(text); }
  // The raw-format dialog; false when the user cancels.
  virtual bool chooseRawFormat(const std::string& path, RawFormat& format) = 0;
};

struct FormatContext {
  sys::SettingsStore* settings = nullptr;  // the program's settings
  FileUi* ui = nullptr;                    // null: no dialogs, errors unseen
  std::string dataFolder;                  // holds "WavCodec.wff"
  // The program of an encoder component by its identifier ("mp3el"); empty
  // when it is not installed. Null: no encoders.
  std::function<std::string(const std::string& component)> findComponent = nullptr;
  // Asked while a closing encoder sink waits for its program to end; false
  // ends the program and fails the save. Null: wait without limit.
  ProgressCallback* encoderWait = nullptr;
  // Runs on each finished audio file before it replaces its target (the
  // temporary file's path, the target's path), e.g. to write tags into it;
  // false fails the save and leaves the target as it was.
  std::function<bool(const std::string& temporaryPath, const std::string& targetPath)> finishAudioFile = nullptr;
  ImportHost* importer = nullptr;          // null: other formats are not imported
};

// Result of openSoundFile: 0 opened, 1 the user cancelled, 2 an error was shown.
struct OpenedSound {
  SampleSourceRef source;
  int result = 2;
};
OpenedSound openSoundFile(const std::string& path, const FormatContext& context);

// A sink for saving by extension; status 1 when the output cannot be made or
// the format is not available.
SampleSinkRef createSoundFileSink(const std::string& path, int32_t sampleRate, int channels,
                                  const FormatContext& context);

// What a save asks of the writer beyond the file's name.
struct SinkRequest {
  std::string path;        // the file's name, whose extension chooses the writer
  std::string outputPath;  // where the bytes go (a file beside path); empty: path itself
  // The sound's channel count, in place of the Ogg and FLAC settings' own; 0: theirs.
  int channelsOverride = 0;
  // Saving back in the file's own format: a FLAC keeps the sound's rate.
  bool sameFormat = false;
  // A WAVE file (the document's own) whose PCM width a saved WAVE keeps;
  // empty, or not a PCM WAVE: the width of the stored choice.
  std::string keepWidthOf;
};
SampleSinkRef createSoundFileSink(const SinkRequest& request, int32_t sampleRate, int channels,
                                  const FormatContext& context);
// The encoder component an extension needs ("mp3el" for ".mp3", and for the
// playlists and feeds that write one); empty for the built-in writers.
std::string encoderComponentFor(const std::string& extension);

// The readers, on bytes. Each returns a source that carries its status; on
// failure a SilenceSource with that status.
SampleSourceRef openWaveSource(std::unique_ptr<ByteSource> bytes);
SampleSourceRef openAiffSource(std::unique_ptr<ByteSource> bytes);
SampleSourceRef openAuSource(std::unique_ptr<ByteSource> bytes);
SampleSourceRef openGsmSource(std::unique_ptr<ByteSource> bytes);
SampleSourceRef openRawSource(std::unique_ptr<ByteSource> bytes, const RawFormat& format);
// MPEG audio (Layer III, and I and II): status 3 for bytes that are not MPEG audio.
SampleSourceRef openMp3Source(std::unique_ptr<ByteSource> bytes);

// The writers. widthBytes 1 to 4 for WAVE PCM; startFrame > 0 continues an
// existing file at that frame.
SampleSinkRef makeWavePcmSink(const std::string& path, int32_t sampleRate, int channels,
                              int widthBytes, int32_t startFrame = 0);
// A WAVE sink through the platform's codecs for a non-PCM wave-format record.
SampleSinkRef makeWaveCodecSink(const std::string& path, const std::vector<uint8_t>& waveFormat);
SampleSinkRef makeAiffSink(const std::string& path, int32_t sampleRate, int channels);
SampleSinkRef makeAuSink(const std::string& path, int32_t sampleRate, int channels);
SampleSinkRef makeGsmSink(const std::string& path);
SampleSinkRef makeRawSink(const std::string& path, int32_t sampleRate, int channels,
                          const RawFormat& format);

// Descriptive tags: ordered (name, value) pairs such as ("TITLE", "Interview").
using TagSet = std::vector<std::pair<std::string, std::string>>;
bool readWaveTags(const std::string& path, TagSet& tags);
bool readWaveTags(ByteSource& bytes, TagSet& tags);
bool writeWaveTags(const std::string& path, const TagSet& tags);

// An ID3v2 frame as it was read, in the version 2.3 layout, kept so that it
// is written back byte for byte unless its value was edited (cover pictures,
// private data, texts in other encodings).
struct Id3Frame {
  std::string id;  // four characters
  uint16_t flags = 0;
  std::vector<uint8_t> payload;
};
// The tags a document carries: the text values, and the ID3v2 frames of the
// MP3 file it came from.
struct FileTags {
  TagSet values;
  std::vector<Id3Frame> id3Frames;
};
// Only MP3 and WAVE files carry tags; others read and write nothing (false).
bool canCarryTags(const std::string& path);
// True when the tags hold a value or a kept ID3v2 frame.
bool carriesAnyTag(const FileTags& tags);
bool readFileTags(const std::string& path, FileTags& tags);
// MP3: ID3v1 always, and ID3v2 whenever ID3v1 alone would lose something;
// the file is then rewritten through a new file beside it. False when the
// file is left as it was.
bool writeFileTags(const std::string& path, const FileTags& tags);
// The same for a file written under another name that will become
// targetPath (the temporary file of a save): targetPath's type decides.
bool writeFileTagsAs(const std::string& path, const std::string& targetPath, const FileTags& tags);
bool readMp3Tags(ByteSource& bytes, FileTags& tags);
bool writeMp3Tags(const std::string& path, const FileTags& tags);
