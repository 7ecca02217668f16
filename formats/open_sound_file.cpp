// Opening a sound file by its extension, with the message the user sees when
// the file cannot be read.

#include <functional>

#include "core/silence_source.h"
#include "formats/extension.h"
#include "formats/formats.h"
#include "formats/importers.h"
#include "sys/folders.h"

namespace {

std::string corruptMessage(const std::string& path) {
  return "Cannot open the file \"" + path + "\" because it is corrupt.";
}
std::string missingMessage(const std::string& path) {
  return "Cannot open the file \"" + path + "\". Check it exists and you have read access.";
}
std::string codecMessage(const std::string& path) {
  return "Cannot open the file \"" + path +
         "\" because the required ACM codec is not installed on this PC.\r\n\r\n"
         "Open the file with Windows Media Player to auto-install the codec then reattempt to load it.";
}
std::string mpegMessage(const std::string& path) {
  return "Cannot open the file \"" + path + "\". It is possibly either corrupt or not a true layer-3 MPEG file.";
}

enum class MessageFamily { Wave, Plain, Mpeg };

std::string messageFor(MessageFamily family, SourceStatus status, const std::string& path) {
  if (status == SourceStatus::CannotOpen) return missingMessage(path);
  switch (family) {
    case MessageFamily::Wave:
      if (status == SourceStatus::Corrupt) return corruptMessage(path);
      if (status == SourceStatus::CodecMissing) return codecMessage(path);
      return "Cannot open the file \"" + path + "\".";
    case MessageFamily::Mpeg:
      return mpegMessage(path);
    case MessageFamily::Plain:
      break;
  }
  return corruptMessage(path);
}

OpenedSound finish(SampleSourceRef source, MessageFamily family, const std::string& path,
                   const FormatContext& context) {
  OpenedSound opened;
  if (source && source->good()) {
    opened.source = std::move(source);
    opened.result = 0;
    return opened;
  }
  SourceStatus status = source ? source->status() : SourceStatus::CannotOpen;
  if (context.ui) context.ui->showError(messageFor(family, status, path));
  opened.source = makeSilenceSource(status);
  opened.result = 2;
  return opened;
}

}  // namespace

OpenedSound openSoundFile(const std::string& path, const FormatContext& context) {
  const std::string extension = lowerExtension(path);
  auto bytes = [&] { return openFileBytes(path); };
  if (extension == ".wav") return finish(openWaveSource(bytes()), MessageFamily::Wave, path, context);
  if (extension == ".aif" || extension == ".aiff")
    return finish(openAiffSource(bytes()), MessageFamily::Plain, path, context);
  if (extension == ".au") return finish(openAuSource(bytes()), MessageFamily::Plain, path, context);
  if (extension == ".gsm") return finish(openGsmSource(bytes()), MessageFamily::Plain, path, context);
  if (extension == ".vox")
    return finish(openRawSource(bytes(), readRawFormat(context.settings, "VoxAudio")), MessageFamily::Plain, path,
                  context);
  if (extension == ".raw" || extension == ".snd") {
    RawFormat format = readRawFormat(context.settings, "RawAudio");
    auto source = bytes();
    if (!source) return finish(makeSilenceSource(SourceStatus::CannotOpen), MessageFamily::Plain, path, context);
    if (context.ui) {
      if (!context.ui->chooseRawFormat(path, format)) return {makeSilenceSource(SourceStatus::Good), 1};
      if (context.settings) writeRawFormat(*context.settings, "RawAudio", format);
    }
    return finish(openRawSource(std::move(source), format), MessageFamily::Plain, path, context);
  }
  if (extension == ".mp3") return finish(openMp3Source(bytes()), MessageFamily::Mpeg, path, context);
  return importSoundFile(path, context);
}
