#include <csignal>
#include <sys/resource.h>

#include "testkit/testkit.h"

namespace testkit {

// Past the limit a write comes back short instead of raising SIGXFSZ.
FileSizeLimit::FileSizeLimit(int64_t bytes) {
  rlimit old{};
  if (getrlimit(RLIMIT_FSIZE, &old) != 0) return;
  m_old = static_cast<int64_t>(old.rlim_cur);
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit limited = old;
  limited.rlim_cur = static_cast<rlim_t>(bytes);
  m_active = setrlimit(RLIMIT_FSIZE, &limited) == 0;
}

FileSizeLimit::~FileSizeLimit() {
  if (!m_active) return;
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  old.rlim_cur = static_cast<rlim_t>(m_old);
  setrlimit(RLIMIT_FSIZE, &old);
}

}  // namespace testkit
