#include "fake_http.h"

#include <algorithm>
#include <cstring>

namespace nettest {

namespace {

class FakeResponse : public net::HttpResponse {
 public:
  explicit FakeResponse(const FakeReply& reply) : m_reply(reply) {}
  int status() override { return m_reply.status; }
  std::optional<int64_t> contentLength() override {
    if (m_reply.lengthOverride) return m_reply.lengthOverride;
    if (!m_reply.sendLength) return std::nullopt;
    return static_cast<int64_t>(m_reply.body.size());
  }
  long read(void* data, size_t bytes) override {
    if (m_reply.failAfterBytes >= 0 && static_cast<long>(m_sent) >= m_reply.failAfterBytes) return -1;
    size_t take = std::min(bytes, m_reply.body.size() - m_sent);
    std::memcpy(data, m_reply.body.data() + m_sent, take);
    m_sent += take;
    return static_cast<long>(take);
  }

 private:
  FakeReply m_reply;
  size_t m_sent = 0;
};

}  // namespace

std::unique_ptr<net::HttpResponse> FakeHttpClient::open(const std::string& url) {
  requested.push_back(url);
  auto found = replies.find(url);
  if (found == replies.end()) return nullptr;
  return std::make_unique<FakeResponse>(found->second);
}

std::string installerBytes(size_t size, char seed) {
  std::string bytes(size, '\0');
  bytes[0] = 'M';
  if (size > 1) bytes[1] = 'Z';
  for (size_t i = 2; i < size; ++i) bytes[i] = static_cast<char>(seed + i * 31);
  return bytes;
}

}  // namespace nettest
