#include "ogg_integrity.h"

#include <set>

#include <ogg/ogg.h>

namespace components {
namespace {

constexpr long kChunkBytes = 65536;

class SyncState {
public:
  SyncState() { ogg_sync_init(&m_state); }
  ~SyncState() { ogg_sync_clear(&m_state); }
  SyncState(const SyncState&) = delete;
  SyncState& operator=(const SyncState&) = delete;
  ogg_sync_state* get() { return &m_state; }

private:
  ogg_sync_state m_state;
};

}  // namespace

std::string oggDamage(std::FILE* file) {
  SyncState sync;
  std::set<long> openStreams;
  long pages = 0;
  bool atEnd = false;
  for (;;) {
    ogg_page page;
    const long seek = ogg_sync_pageseek(sync.get(), &page);
    if (seek < 0) return "bytes that belong to no page (a damaged page or foreign data)";
    if (seek > 0) {
      ++pages;
      const long serial = ogg_page_serialno(&page);
      if (ogg_page_bos(&page)) openStreams.insert(serial);
      else if (!openStreams.count(serial)) return "a page of a stream that never began";
      if (ogg_page_eos(&page)) openStreams.erase(serial);
      continue;
    }
    if (atEnd) break;
    char* buffer = ogg_sync_buffer(sync.get(), kChunkBytes);
    const size_t got = std::fread(buffer, 1, kChunkBytes, file);
    if (std::ferror(file)) return "a read error";
    ogg_sync_wrote(sync.get(), static_cast<long>(got));
    atEnd = got == 0;
  }
  if (pages == 0) return "no Ogg pages";
  // What is left in the sync buffer is the start of a page the file cut off.
  if (sync.get()->fill > sync.get()->returned) return "a last page cut short";
  if (!openStreams.empty()) return "no last page: the file is cut short";
  return {};
}

}  // namespace components
