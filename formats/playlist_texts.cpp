#include "formats/playlist_texts.h"

namespace {

std::string m3uText(const PlaylistEntry& entry) {
  return "#EXTM3U\r\n#EXTINF:" + std::to_string(entry.lengthSeconds) + "," + entry.title + "\r\n" +
         playlistUrl(entry) + "\r\n";
}

std::string plsText(const PlaylistEntry& entry) {
  return "[playlist]\r\nFile1=" + playlistUrl(entry) + "\r\nTitle1=" + entry.title +
         "\r\nLength1=" + std::to_string(entry.lengthSeconds) + "\r\nNumberOfEntries=1\r\nVersion=2\r\n";
}

std::string wplText(const PlaylistEntry& entry) {
  const std::string title = xmlEscaped(entry.title);
  return "<?wpl version=\"1.0\"?>\r\n"
         "<smil>\r\n"
         "    <head>\r\n"
         "        <title>" + title + "</title>\r\n"
         "    </head>\r\n"
         "    <body>\r\n"
         "        <seq>\r\n"
         "            <media src=\"" + xmlEscaped(playlistUrl(entry)) + "\"/>\r\n"
         "        </seq>\r\n"
         "    </body>\r\n"
         "</smil>\r\n";
}

std::string rssText(const PlaylistEntry& entry) {
  const std::string title = xmlEscaped(entry.title);
  return "<?xml version=\"1.0\"?>\r\n"
         "<rss version=\"2.0\">\r\n"
         "  <channel>\r\n"
         "    <title>" + title + "</title>\r\n"
         "    <description>" + title + "</description>\r\n"
         "    <link>" + xmlEscaped(entry.rootUrl) + "</link>\r\n"
         "    <item>\r\n"
         "      <title>" + title + "</title>\r\n"
         "      <description>" + title + "</description>\r\n"
         "      <enclosure url=\"" + xmlEscaped(playlistUrl(entry)) + "\" length=\"" +
         std::to_string(entry.mp3Bytes) + "\" type=\"audio/mpeg\"/>\r\n"
         "    </item>\r\n"
         "  </channel>\r\n"
         "</rss>\r\n";
}

}  // namespace

std::string xmlEscaped(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string percentEncoded(const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                       c == '.' || c == '_' || c == '~';
    if (plain) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

std::string playlistUrl(const PlaylistEntry& entry) {
  // Without a root the entry is a file name beside the playlist, not a URL.
  if (entry.rootUrl.empty()) return entry.mp3FileName;
  std::string url = entry.rootUrl;
  if (url.back() != '/') url += '/';
  return url + percentEncoded(entry.mp3FileName);
}

bool isPlaylistExtension(const std::string& extension) {
  return extension == ".m3u" || extension == ".pls" || extension == ".wpl" || extension == ".rss";
}

std::string playlistText(const std::string& extension, const PlaylistEntry& entry) {
  if (extension == ".m3u") return m3uText(entry);
  if (extension == ".pls") return plsText(entry);
  if (extension == ".wpl") return wplText(entry);
  if (extension == ".rss") return rssText(entry);
  return {};
}
