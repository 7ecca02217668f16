#pragma once
// The writers that run an encoder component, and the playlists and feeds
// that write an MP3 beside them.

#include <string>

#include "formats/formats.h"

// An encoder sink for ".mp3", ".ogg", ".flac", ".aac", ".m4a" or ".amr";
// status 1 when the component is missing or cannot be started.
SampleSinkRef makeEncoderSink(const SinkRequest& request, const std::string& extension, int32_t sampleRate,
                              int channels, const FormatContext& context);
// For ".m3u", ".pls", ".wpl" and ".rss": the MP3 goes beside request.path
// (same name, ".mp3") and replaces any file there only once it is complete;
// then the playlist text is written to the output.
SampleSinkRef makePlaylistSink(const SinkRequest& request, const std::string& extension, int32_t sampleRate,
                               int channels, const FormatContext& context);
// The companion MP3 of a playlist or feed: all after the last "." of the
// name replaced by "mp3".
std::string companionMp3Path(const std::string& playlistPath);
