#pragma once
// Fetching one file over HTTP(S) into a local file.

#include <string>

#include "net/http_client.h"

namespace net {

// Results of downloads and installations.
constexpr int kDone = 0;
constexpr int kCancelled = 1;
constexpr int kFailed = 2;

// The progress bar measures against this when the server sends no length.
constexpr int64_t kAssumedContentLength = 100000;
constexpr size_t kReadChunkBytes = 2048;

// Downloads url into localPath: 0 done, 1 cancelled, 2 failed. A status
// outside 200..299, a failed read, or a body whose size differs from the
// announced length fails. Nothing is left at localPath unless the result is 0.
int downloadFile(HttpClient& client, const std::string& url, const std::string& localPath,
                 DownloadProgress& progress);

}  // namespace net
