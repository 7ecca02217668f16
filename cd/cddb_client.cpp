#include "cd/cddb_client.h"

#include <sstream>

#include "cd/cddb_disc_id.h"
#include "cd/cddb_entry_parser.h"
#include "net/socket_line_connection.h"

namespace cd {

namespace {

bool isSuccess(int code) { return code >= 200 && code <= 299; }

bool endsList(const std::string& line) { return !line.empty() && line[0] == '.'; }

// Words of a match line ("rock 7a0b2c0a Artist / Title").
std::string wordAt(const std::string& line, int index) {
  std::istringstream words(line);
  std::string word;
  for (int i = 0; i <= index; ++i)
    if (!(words >> word)) return "";
  return word;
}

class Dialogue {
 public:
  Dialogue(net::LineConnection& connection, DiscRecord& disc, CddbEvents& events)
      : m_connection(connection), m_disc(disc), m_events(events) {}

  CddbResult run() {
    std::string line;
    if (!readReply(line)) return CddbResult::Failed;  // greeting
    std::string hello = std::string("cddb hello undef localhost ") + kCddbClientName + " " + kCddbClientVersion + "\n";
    if (!send(hello) || !readReply(line)) return CddbResult::Failed;

    TableOfContents toc = tableOfContentsOf(m_disc);
    std::string discId = cddbDiscIdText(toc);
    m_disc.discId = discId;
    if (!send(cddbQueryLine(toc)) || !readReply(line) || line.size() <= 3) return CddbResult::Failed;
    std::string category;
    switch (cddbReplyCode(line)) {
      case 200:
        category = wordAt(line, 1);
        break;
      case 202:
        m_events.noMatch();
        send("cddb quit\n");
        return CddbResult::NoMatch;
      case 210:  // several exact matches: the first listed is taken like an inexact one
      case 211: {
        std::string match;
        if (!readLine(match) || endsList(match)) return CddbResult::Failed;
        category = wordAt(match, 0);
        discId = wordAt(match, 1);
        for (std::string rest = match; !endsList(rest);)
          if (!readLine(rest)) return CddbResult::Failed;
        break;
      }
      default:
        return CddbResult::Failed;
    }
    if (category.empty() || discId.empty()) return CddbResult::Failed;
    m_disc.category = category;

    if (!send("cddb read " + category + " " + discId + "\n")) return CddbResult::Failed;
    do {
      if (!readLine(line)) return CddbResult::Failed;
    } while (endsList(line));
    if (!isSuccess(cddbReplyCode(line))) return CddbResult::Failed;

    // The entry is read into a copy, so that a conversation that breaks off
    // leaves the titles as they were.
    DiscRecord named = m_disc;
    CddbEntryParser parser(named);
    for (;;) {
      if (!readLine(line)) return CddbResult::Failed;
      if (endsList(line)) break;
      parser.addLine(line);
    }
    parser.finish();
    m_disc = named;
    send("cddb quit\n");
    return CddbResult::Found;
  }

 private:
  bool send(const std::string& text) { return !m_events.cancelled() && m_connection.sendText(text); }
  bool readLine(std::string& line) { return !m_events.cancelled() && m_connection.readLine(line); }
  bool readReply(std::string& line) { return readLine(line) && isSuccess(cddbReplyCode(line)); }

  net::LineConnection& m_connection;
  DiscRecord& m_disc;
  CddbEvents& m_events;
};

}  // namespace

int cddbReplyCode(const std::string& line) {
  int code = 0;
  size_t i = 0;
  // Reply codes have three digits; more cannot be one.
  for (; i < line.size() && i < 4 && line[i] >= '0' && line[i] <= '9'; ++i) code = code * 10 + (line[i] - '0');
  return i == 0 ? -1 : code;
}

CddbResult runCddbDialogue(net::LineConnection& connection, DiscRecord& disc, CddbEvents& events) {
  if (disc.trackCount == 0) return CddbResult::Failed;
  return Dialogue(connection, disc, events).run();
}

CddbResult lookUpDisc(const std::string& host, uint16_t port, DiscRecord& disc, CddbEvents& events) {
  if (disc.trackCount == 0) return CddbResult::Failed;
  auto connection = net::SocketLineConnection::connect(host, port, [&events] { return events.cancelled(); });
  if (!connection) return CddbResult::Failed;
  events.connected(host);
  return runCddbDialogue(*connection, disc, events);
}

}  // namespace cd
