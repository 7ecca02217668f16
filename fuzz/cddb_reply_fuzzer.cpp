// Any bytes as what a CDDB server says during a look-up: the first byte
// chooses the disc's track count, the rest are the server's lines.

#include <cstddef>
#include <cstdint>
#include <string>

#include "cd/cddb_client.h"
#include "fuzz/source_exercise.h"

namespace {

// The server's side of the conversation out of memory, line by line, cut
// as the socket cuts them.
class ScriptedServer : public net::LineConnection {
 public:
  ScriptedServer(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
  bool sendText(const std::string&) override { return true; }
  bool readLine(std::string& line) override {
    line.clear();
    if (m_at >= m_size) return false;
    while (m_at < m_size) {
      char c = static_cast<char>(m_data[m_at++]);
      if (c == '\n') return true;
      if (c != '\r' && line.size() < kMaxLineChars) line.push_back(c);
    }
    return true;
  }

 private:
  const uint8_t* m_data;
  size_t m_size;
  size_t m_at = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  int tracks = data[0] % 100 + 1;
  cd::DiscRecord disc;
  cd::TableOfContents toc;
  for (int i = 0; i <= tracks; ++i) toc.addresses.push_back(i * 4500);
  cd::fillFromTableOfContents(disc, toc);
  ScriptedServer server(data + 1, size - 1);
  cd::CddbEvents events;
  cd::CddbResult result = cd::runCddbDialogue(server, disc, events);
  if (disc.title.size() >= cd::kTitleFieldBytes) fuzz::brokenPromise("disc title past its field");
  if (disc.artist.size() >= cd::kArtistFieldBytes) fuzz::brokenPromise("artist past its field");
  if (disc.extendedData.size() >= cd::kExtendedFieldBytes) fuzz::brokenPromise("disc data past its field");
  for (size_t i = 0; i < disc.tracks.size(); ++i) {
    const cd::TrackRecord& track = disc.tracks[i];
    if (track.title.size() >= cd::kTitleFieldBytes) fuzz::brokenPromise("track title past its field");
    if (track.extendedData.size() >= cd::kExtendedFieldBytes) fuzz::brokenPromise("track data past its field");
    bool onDisc = static_cast<int>(i) < tracks;
    if (!onDisc && (!track.title.empty() || !track.extendedData.empty() || track.trackNumber != 0))
      fuzz::brokenPromise("a track that is not on the disc was named");
    if (onDisc && track.trackNumber != 0 && track.trackNumber != static_cast<int>(i) + 1)
      fuzz::brokenPromise("a track got another track's number");
    if (onDisc && result != cd::CddbResult::Found && track.title != cd::defaultTrackTitle(static_cast<int>(i)))
      fuzz::brokenPromise("a failed look-up changed a title");
  }
  return 0;
}
