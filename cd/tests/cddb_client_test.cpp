#include "cd/cddb_client.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "cd/cddb_disc_id.h"
#include "testkit/testkit.h"

namespace {

// A ten-track disc of 200 s.
cd::DiscRecord tenTrackDisc() {
  cd::DiscRecord disc;
  cd::TableOfContents toc;
  for (int i = 0; i <= 10; ++i) toc.addresses.push_back(i * 1500);
  cd::fillFromTableOfContents(disc, toc);
  return disc;
}

class CountingEvents : public cd::CddbEvents {
 public:
  void connected(const std::string& host) override { connectedTo = host; }
  void noMatch() override { ++noMatches; }
  std::string connectedTo;
  int noMatches = 0;
};

// Our CDDB server script on 127.0.0.1, serving one conversation.
class CddbServer {
 public:
  explicit CddbServer(const std::string& scenario) {
    std::string portFile = m_folder.file("port");
    m_done = portFile + ".done";
    m_log = m_folder.file("commands.log");
    testkit::runTool("python3 '" + std::string(ZED_CDDB_TEST_SERVER) + "' " + scenario + " '" + portFile + "' '" +
                     m_log + "' >/dev/null 2>&1 &");
    for (int i = 0; i < 200 && m_port == 0; ++i) {
      std::ifstream in(portFile);
      if (!(in >> m_port)) std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
  }
  uint16_t port() const { return m_port; }
  // The commands the server received, once it has ended the conversation.
  std::vector<std::string> commands() const {
    for (int i = 0; i < 400 && !std::ifstream(m_done); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(25));
    std::vector<std::string> lines;
    std::ifstream in(m_log);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

 private:
  testkit::ScratchFolder m_folder;
  std::string m_log;
  std::string m_done;
  uint16_t m_port = 0;
};

class CddbClient : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testkit::needTool("python3")) GTEST_SKIP() << "python3 is needed for the CDDB test server";
  }
};

TEST_F(CddbClient, ExactMatchReadsTheEntry) {
  CddbServer server("exact");
  ASSERT_NE(server.port(), 0);
  cd::DiscRecord disc = tenTrackDisc();
  CountingEvents events;
  ASSERT_EQ(cd::lookUpDisc("127.0.0.1", server.port(), disc, events), cd::CddbResult::Found);
  EXPECT_EQ(events.connectedTo, "127.0.0.1");
  EXPECT_EQ(disc.category, "rock");
  EXPECT_EQ(disc.artist, "The Testers");
  EXPECT_EQ(disc.title, "Songs of the Loop");
  EXPECT_EQ(disc.year, 1999);
  EXPECT_EQ(disc.tracks[0].title, "Opening");
  EXPECT_EQ(disc.tracks[0].extendedData, "first notes");
  EXPECT_EQ(disc.tracks[1].title, "Second Part");
  EXPECT_EQ(disc.tracks[2].title, "Third");
  EXPECT_EQ(disc.tracks[3].title, "Track 04");
  EXPECT_EQ(disc.tracks[9].title, "Last");
  EXPECT_TRUE(disc.tracks[10].title.empty());
  std::string id = cd::cddbDiscIdText(cd::tableOfContentsOf(disc));
  EXPECT_EQ(server.commands(),
            (std::vector<std::string>{"cddb hello undef localhost Razavo 3.05",
                                      "cddb query " + id + " 10 150 1650 3150 4650 6150 7650 9150 10650 12150 13650 202",
                                      "cddb read rock " + id, "cddb quit"}));
}

TEST_F(CddbClient, NoMatchTellsOnceAndReadsNothing) {
  CddbServer server("nomatch");
  cd::DiscRecord disc = tenTrackDisc();
  CountingEvents events;
  EXPECT_EQ(cd::lookUpDisc("127.0.0.1", server.port(), disc, events), cd::CddbResult::NoMatch);
  EXPECT_EQ(events.noMatches, 1);
  EXPECT_EQ(disc.tracks[0].title, "Track 01");
  for (const std::string& command : server.commands()) EXPECT_EQ(command.rfind("cddb read", 0), std::string::npos);
}

TEST_F(CddbClient, InexactMatchesReadTheFirst) {
  CddbServer server("inexact");
  cd::DiscRecord disc = tenTrackDisc();
  CountingEvents events;
  ASSERT_EQ(cd::lookUpDisc("127.0.0.1", server.port(), disc, events), cd::CddbResult::Found);
  EXPECT_EQ(disc.category, "misc");
  EXPECT_EQ(disc.tracks[1].title, "Second Part");
  std::vector<std::string> commands = server.commands();
  ASSERT_EQ(commands.size(), 4u);
  // The two other matches and the list's end were consumed, not taken for replies.
  EXPECT_EQ(commands[2], "cddb read misc 7b0b2c0b");
}

TEST_F(CddbClient, OverlongLinesAreCutAndFieldsBounded) {
  CddbServer server("long");
  cd::DiscRecord disc = tenTrackDisc();
  CountingEvents events;
  ASSERT_EQ(cd::lookUpDisc("127.0.0.1", server.port(), disc, events), cd::CddbResult::Found);
  // "TTITLE3=" and 300 x's arrive as the line's first 259 characters.
  EXPECT_EQ(disc.tracks[3].title, std::string(259 - 8, 'x'));
  EXPECT_EQ(disc.tracks[4].title, std::string(200, 'a') + std::string(55, 'b'));
  EXPECT_EQ(disc.year, 1999);
}

TEST_F(CddbClient, BrokenConversationsLeaveTheTitles) {
  for (const char* scenario : {"refuse", "cut"}) {
    CddbServer server(scenario);
    cd::DiscRecord disc = tenTrackDisc();
    CountingEvents events;
    EXPECT_EQ(cd::lookUpDisc("127.0.0.1", server.port(), disc, events), cd::CddbResult::Failed) << scenario;
    EXPECT_EQ(disc.tracks[0].title, "Track 01");
    EXPECT_EQ(disc.title, "");
  }
  // Nobody listening.
  cd::DiscRecord disc = tenTrackDisc();
  CountingEvents events;
  EXPECT_EQ(cd::lookUpDisc("127.0.0.1", 1, disc, events), cd::CddbResult::Failed);
  EXPECT_EQ(cd::lookUpDisc("no-such-host.invalid", cd::kCddbPort, disc, events), cd::CddbResult::Failed);
}

}  // namespace
