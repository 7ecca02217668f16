#pragma once
// The settings of the CD import, in section "Settings": whether track names
// are looked up, the CDDB server, and the disc image chosen last.

#include <cstdint>
#include <string>

#include "sys/settings_store.h"

class CdSettings {
 public:
  explicit CdSettings(sys::SettingsStore& store) : m_store(store) {}

  bool useFreeDb() const;  // "UseFreeDB", on by default
  void setUseFreeDb(bool on);
  std::string cddbHost() const;  // "CddbServer"
  uint16_t cddbPort() const;     // "CddbPort", 8880 by default
  std::string imagePath() const;  // "CdImagePath", empty when none was chosen
  void setImagePath(const std::string& path);

 private:
  sys::SettingsStore& m_store;
};
