#pragma once
// The texts of the playlists and the podcast feed that point at an MP3 file
// published beside them: M3U, PLS, WPL and RSS, with CR LF line ends.

#include <cstdint>
#include <string>

struct PlaylistEntry {
  std::string title;        // the playlist's name without folder and extension
  int64_t lengthSeconds = 0;
  std::string rootUrl;      // web folder the MP3 is published under; may be empty
  std::string mp3FileName;  // the MP3's name without folder
  int64_t mp3Bytes = 0;
};

// "&", "<", ">", '"' and "'" as XML entities.
std::string xmlEscaped(const std::string& text);
// Every byte outside A-Z, a-z, 0-9 and "-._~" as %XX.
std::string percentEncoded(const std::string& text);
// The MP3's address: the root, "/" unless the root is empty or ends in one,
// then the file name, percent-encoded when it goes under a root.
std::string playlistUrl(const PlaylistEntry& entry);

// ".m3u", ".pls", ".wpl" or ".rss" (lower case); empty for anything else.
std::string playlistText(const std::string& extension, const PlaylistEntry& entry);
bool isPlaylistExtension(const std::string& extension);
