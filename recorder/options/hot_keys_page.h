#pragma once
// The hot-key page: the system-wide keys and the command each runs, with
// the key-capture dialog that assigns one.

#include <vector>

#include "recorder/options/option_page.h"

namespace recorder {

// "Ctrl+Alt+F5": the modifiers and the key's name.
std::string hotKeyText(uint32_t key);

// Asks for a key combination and its command; false when cancelled.
bool captureHotKey(HWND owner, HotKey& key);

class HotKeysPage : public OptionPage {
 public:
  static constexpr int kList = 101, kAdd = 102, kRemove = 103, kChange = 104;
  HotKeysPage(RecorderSettings& settings, const OptionsContext& context, OptionsOutcome& outcome);

 protected:
  bool onInit() override;
  void onCommand(int id, int code) override;
  void apply() override;

 private:
  void fill(int select);

  RecorderSettings& m_settings;
  OptionsOutcome& m_outcome;
  std::vector<HotKey> m_keys;
  bool m_changed = false;
};

}  // namespace recorder
