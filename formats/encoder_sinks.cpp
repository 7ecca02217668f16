// Choosing and starting the encoder component of a format.

#include "formats/encoder_sinks.h"

#include "formats/encoder_command_lines.h"
#include "formats/failed_sink.h"
#include "formats/piped_encoder_sink.h"
#include "formats/playlist_texts.h"

std::string encoderComponentFor(const std::string& extension) {
  if (extension == ".mp3" || isPlaylistExtension(extension)) return "mp3el";
  if (extension == ".ogg") return "oggenc";
  if (extension == ".flac") return "flacenc";
  if (extension == ".aac" || extension == ".m4a") return "aacenc";
  if (extension == ".amr") return "amrenc";
  return {};
}

SampleSinkRef makeEncoderSink(const SinkRequest& request, const std::string& extension, int32_t sampleRate,
                              int channels, const FormatContext& context) {
  const std::string component = encoderComponentFor(extension);
  const std::string program = context.findComponent && !component.empty() ? context.findComponent(component) : "";
  if (program.empty()) return makeRef<FailedSink>(sampleRate, channels);
  const std::string& output = request.outputPath.empty() ? request.path : request.outputPath;
  const sys::SettingsStore* settings = context.settings;
  EncoderInvocation invocation;
  if (extension == ".mp3") {
    invocation = mp3Invocation(program, output, sampleRate, channels, readMp3EncoderSettings(settings));
  } else if (extension == ".ogg") {
    OggEncoderSettings ogg = readOggEncoderSettings(settings);
    if (request.channelsOverride > 0) ogg.channels = request.channelsOverride;
    invocation = oggInvocation(program, output, sampleRate, channels, ogg);
  } else if (extension == ".flac") {
    FlacEncoderSettings flac = readFlacEncoderSettings(settings);
    if (request.channelsOverride > 0) flac.channels = request.channelsOverride;
    // A lossless file saved back stays at its own rate.
    if (request.sameFormat) flac.sampleRate = 0;
    invocation = flacInvocation(program, output, sampleRate, channels, flac);
  } else if (extension == ".amr") {
    invocation = amrInvocation(program, output, readAmrEncoderSettings(settings));
  } else {
    invocation = aacInvocation(program, output, sampleRate, channels, readAacEncoderSettings(settings));
  }
  return makeRef<PipedEncoderSink>(invocation.commandLine, output, invocation.sampleRate, invocation.channels,
                                   context.encoderWait);
}
