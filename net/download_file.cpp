#include "net/download_file.h"

#include <chrono>
#include <thread>
#include <vector>

#include "sys/file.h"
#include "sys/folders.h"

namespace net {

namespace {

// Another process (a virus scanner, an installer still ending) may hold the
// file for a moment.
constexpr auto kCreateRetryFor = std::chrono::milliseconds(500);
constexpr auto kCreateRetryStep = std::chrono::milliseconds(50);

sys::File createLocalFile(const std::string& path) {
  auto giveUp = std::chrono::steady_clock::now() + kCreateRetryFor;
  for (;;) {
    sys::File file = sys::File::open(path, sys::Access::ReadWrite, sys::Share::None, sys::Disposition::CreateAlways);
    if (file.isOpen() || std::chrono::steady_clock::now() >= giveUp) return file;
    std::this_thread::sleep_for(kCreateRetryStep);
  }
}

int discard(sys::File& file, const std::string& path, int result) {
  file.close();
  sys::deleteFile(path);
  return result;
}

}  // namespace

int downloadFile(HttpClient& client, const std::string& url, const std::string& localPath,
                 DownloadProgress& progress) {
  std::unique_ptr<HttpResponse> response = client.open(url);
  if (!response) return kFailed;
  int status = response->status();
  if (status < 200 || status > 299) return kFailed;
  // -1 when the server announced no length.
  int64_t announced = response->contentLength().value_or(-1);
  if (announced < 0) announced = -1;
  // The bar needs a total; a tiny one would jump to full at once.
  int64_t barTotal = std::max<int64_t>(announced >= 0 ? announced : kAssumedContentLength, 10);

  sys::File file = createLocalFile(localPath);
  if (!file.isOpen()) return kFailed;

  std::vector<char> chunk(kReadChunkBytes);
  int64_t received = 0;
  for (;;) {
    if (progress.cancelled()) return discard(file, localPath, kCancelled);
    long got = response->read(chunk.data(), chunk.size());
    if (got < 0) return discard(file, localPath, kFailed);
    if (got == 0) break;
    if (file.write(chunk.data(), static_cast<size_t>(got)) != static_cast<size_t>(got))
      return discard(file, localPath, kFailed);
    received += got;
    // A server that sends more than it announced is not sending our file.
    if (announced >= 0 && received > announced) return discard(file, localPath, kFailed);
    progress.setProgress(std::min(received, barTotal), barTotal);
  }
  // A connection that ends early looks like a normal end; the announced
  // length tells them apart.
  if (announced >= 0 && received != announced) return discard(file, localPath, kFailed);
  file.close();
  return kDone;
}

}  // namespace net
