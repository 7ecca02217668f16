// Mail exchangers through the system's resolver library.

#include <arpa/nameser.h>
#include <netinet/in.h>
#include <resolv.h>

#include <algorithm>

#include "mail/system_mail.h"

namespace mail {
namespace {

class ResolverLibraryMx : public MxResolver {
 public:
  std::vector<MailExchanger> lookUp(const std::string& domain) override {
    std::vector<MailExchanger> exchangers;
    unsigned char answer[4096];
    int length = res_query(domain.c_str(), ns_c_in, ns_t_mx, answer, sizeof answer);
    if (length <= 0) return exchangers;
    ns_msg message;
    if (ns_initparse(answer, length, &message) != 0) return exchangers;
    for (int i = 0; i < ns_msg_count(message, ns_s_an); ++i) {
      ns_rr record;
      if (ns_parserr(&message, ns_s_an, i, &record) != 0 || ns_rr_type(record) != ns_t_mx) continue;
      if (ns_rr_rdlen(record) < 3) continue;
      const unsigned char* data = ns_rr_rdata(record);
      char host[NS_MAXDNAME];
      if (dn_expand(ns_msg_base(message), ns_msg_end(message), data + 2, host, sizeof host) < 0) continue;
      exchangers.push_back({int(data[0]) << 8 | data[1], host});
    }
    std::stable_sort(exchangers.begin(), exchangers.end(),
                     [](const MailExchanger& a, const MailExchanger& b) { return a.preference < b.preference; });
    return exchangers;
  }
};

}  // namespace

std::unique_ptr<MxResolver> makeSystemMxResolver() { return std::make_unique<ResolverLibraryMx>(); }

}  // namespace mail
