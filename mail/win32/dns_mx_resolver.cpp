// Mail exchangers through the system's DNS client.

#include <winsock2.h>
#include <windows.h>
#include <windns.h>

#include <algorithm>

#include "mail/system_mail.h"
#include "sys/win32/wide_text.h"

namespace mail {
namespace {

class DnsQueryMx : public MxResolver {
 public:
  std::vector<MailExchanger> lookUp(const std::string& domain) override {
    std::vector<MailExchanger> exchangers;
    PDNS_RECORDW records = nullptr;
    std::wstring name = sys::win32::widen(domain);
    if (DnsQuery_W(name.c_str(), DNS_TYPE_MX, DNS_QUERY_STANDARD, nullptr, reinterpret_cast<PDNS_RECORD*>(&records),
                   nullptr) != 0)
      return exchangers;
    for (PDNS_RECORDW record = records; record; record = record->pNext)
      if (record->wType == DNS_TYPE_MX && record->Data.MX.pNameExchange)
        exchangers.push_back({int(record->Data.MX.wPreference), sys::win32::narrow(record->Data.MX.pNameExchange)});
    DnsRecordListFree(reinterpret_cast<PDNS_RECORD>(records), DnsFreeRecordList);
    std::stable_sort(exchangers.begin(), exchangers.end(),
                     [](const MailExchanger& a, const MailExchanger& b) { return a.preference < b.preference; });
    return exchangers;
  }
};

}  // namespace

std::unique_ptr<MxResolver> makeSystemMxResolver() { return std::make_unique<DnsQueryMx>(); }

}  // namespace mail
