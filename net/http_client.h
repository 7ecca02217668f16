#pragma once
// The HTTP(S) client the download code reads through: the programs use the
// system's internet library, tests a fake.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace net {

class HttpResponse {
 public:
  virtual ~HttpResponse() = default;
  // The status code; 200 when it cannot be queried.
  virtual int status() = 0;
  // The length the server announced, or nothing when it sent none.
  virtual std::optional<int64_t> contentLength() = 0;
  // Up to bytes of the body: the count read, 0 at its end, -1 on failure.
  virtual long read(void* data, size_t bytes) = 0;
};

class HttpClient {
 public:
  virtual ~HttpClient() = default;
  // Requests url from the server (never from a cache); null on failure,
  // including a certificate that does not validate.
  virtual std::unique_ptr<HttpResponse> open(const std::string& url) = 0;
};

// What a download or an installation shows and asks while it runs.
class DownloadProgress {
 public:
  virtual ~DownloadProgress() = default;
  virtual void setLines(const std::string& line1, const std::string& line2) = 0;
  virtual void setProgress(int64_t done, int64_t total) = 0;
  // True once the user cancelled; keeps the interface alive.
  virtual bool cancelled() = 0;
};

}  // namespace net
