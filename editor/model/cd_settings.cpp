#include "editor/model/cd_settings.h"

namespace {

constexpr const char* kSection = "Settings";
// A public server that still speaks the CDDB protocol.
constexpr const char* kDefaultCddbHost = "gnudb.gnudb.org";
constexpr long long kDefaultCddbPort = 8880;

}  // namespace

bool CdSettings::useFreeDb() const { return m_store.readNumber(kSection, "UseFreeDB", 1) != 0; }

void CdSettings::setUseFreeDb(bool on) { m_store.write(kSection, "UseFreeDB", on ? "1" : "0"); }

std::string CdSettings::cddbHost() const { return m_store.read(kSection, "CddbServer", kDefaultCddbHost); }

uint16_t CdSettings::cddbPort() const {
  long long port = m_store.readNumber(kSection, "CddbPort", kDefaultCddbPort);
  return port > 0 && port < 65536 ? static_cast<uint16_t>(port) : static_cast<uint16_t>(kDefaultCddbPort);
}

std::string CdSettings::imagePath() const { return m_store.read(kSection, "CdImagePath", ""); }

void CdSettings::setImagePath(const std::string& path) { m_store.write(kSection, "CdImagePath", path); }
