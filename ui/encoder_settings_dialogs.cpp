#include "ui/encoder_settings_dialogs.h"

#include <algorithm>
#include <iterator>

#include "ui/dialog.h"
#include "ui/text.h"

namespace {

constexpr int kBitRates[] = {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 192, 224, 256, 320};

// The list entry of the nearest listed bit rate at or above kbps.
int bitRateIndex(int kbps) {
  const int* at = std::lower_bound(std::begin(kBitRates), std::end(kBitRates), kbps);
  return at == std::end(kBitRates) ? static_cast<int>(std::size(kBitRates)) - 1
                                   : static_cast<int>(at - std::begin(kBitRates));
}

// A whole number in low..high from an edit box, or a message and no value.
std::optional<int> checkedNumber(HWND dialog, const std::optional<int>& value, int low, int high,
                                 const std::string& what, const std::string& title) {
  if (value && *value >= low && *value <= high) return value;
  ui::showMessage(dialog, "Please enter " + what + " from " + std::to_string(low) + " to " + std::to_string(high) + ".",
                  title, MB_OK | MB_ICONINFORMATION);
  return std::nullopt;
}

class Mp3Dialog : public ui::Dialog {
 public:
  static constexpr int kCbr = 101, kCbrRate = 102, kHighQuality = 103, kVbr = 104, kVbrMin = 105, kVbrMax = 106,
                       kVbrQuality = 107, kChannels = 108, kCrc = 109, kDefaults = 110;
  explicit Mp3Dialog(Mp3EncoderSettings& settings)
      : ui::Dialog(ui::DialogTemplate("MP3 Encoder Settings", 250, 196)
                       .radio(kCbr, "Constant Bitrate (CBR)", 8, 8, 160, 10, true)
                       .text(-1, "Bitrate (kbps):", 20, 24, 90, 10)
                       .comboBox(kCbrRate, 120, 22, 60, 160, CBS_DROPDOWNLIST | WS_VSCROLL)
                       .checkBox(kHighQuality, "High quality encoding (slower)", 20, 40, 200, 10)
                       .radio(kVbr, "Variable Bitrate (VBR)", 8, 58, 160, 10, false)
                       .text(-1, "Minimum Bitrate (kbps)", 20, 74, 95, 10)
                       .comboBox(kVbrMin, 120, 72, 60, 160, CBS_DROPDOWNLIST | WS_VSCROLL)
                       .text(-1, "Maximum Bitrate (kbps)", 20, 90, 95, 10)
                       .comboBox(kVbrMax, 120, 88, 60, 160, CBS_DROPDOWNLIST | WS_VSCROLL)
                       .text(-1, "Quality", 20, 106, 95, 10)
                       .comboBox(kVbrQuality, 120, 104, 60, 160, CBS_DROPDOWNLIST | WS_VSCROLL)
                       .text(-1, "Channels", 8, 126, 100, 10)
                       .comboBox(kChannels, 120, 124, 60, 100, CBS_DROPDOWNLIST)
                       .checkBox(kCrc, "Include CRC to detect errors", 8, 142, 200, 10)
                       .button(kDefaults, "Restore Defaults", 8, 174, 70, 14)
                       .defaultButton(IDOK, "OK", 136, 174, 50, 14)
                       .button(IDCANCEL, "Cancel", 192, 174, 50, 14)),
        m_settings(settings) {}

 protected:
  bool onInit() override {
    for (int id : {kCbrRate, kVbrMin, kVbrMax})
      for (int rate : kBitRates) addComboItem(id, std::to_string(rate));
    for (int q = 0; q <= 9; ++q)
      addComboItem(kVbrQuality, q == 0 ? "0 (Highest)" : q == 9 ? "9 (Lowest)" : std::to_string(q));
    for (const char* mode : {"Stereo", "Joint", "Force", "Mono"}) addComboItem(kChannels, mode);
    show(m_settings);
    return true;
  }
  void onCommand(int id, int code) override {
    if (id == kDefaults) {
      show(Mp3EncoderSettings{});
      return;
    }
    if (id == kCbr || id == kVbr) enableModes();
    if (id == IDOK) {
      m_settings.constantBitRate = isChecked(kCbr);
      m_settings.cbrBitRate = kBitRates[std::max(0, comboSelection(kCbrRate))];
      m_settings.highQuality = isChecked(kHighQuality);
      m_settings.vbrMinBitRate = kBitRates[std::max(0, comboSelection(kVbrMin))];
      m_settings.vbrMaxBitRate = kBitRates[std::max(0, comboSelection(kVbrMax))];
      m_settings.vbrQuality = std::max(0, comboSelection(kVbrQuality));
      m_settings.channelMode = std::max(0, comboSelection(kChannels));
      m_settings.errorProtection = isChecked(kCrc);
    }
    ui::Dialog::onCommand(id, code);
  }

 private:
  void show(const Mp3EncoderSettings& s) {
    setCheck(kCbr, s.constantBitRate);
    setCheck(kVbr, !s.constantBitRate);
    setComboSelection(kCbrRate, bitRateIndex(s.cbrBitRate));
    setCheck(kHighQuality, s.highQuality);
    setComboSelection(kVbrMin, bitRateIndex(s.vbrMinBitRate));
    setComboSelection(kVbrMax, bitRateIndex(s.vbrMaxBitRate));
    setComboSelection(kVbrQuality, std::clamp(s.vbrQuality, 0, 9));
    setComboSelection(kChannels, std::clamp(s.channelMode, 0, 3));
    setCheck(kCrc, s.errorProtection);
    enableModes();
  }
  void enableModes() {
    const bool cbr = isChecked(kCbr);
    for (int id : {kCbrRate, kHighQuality}) enable(id, cbr);
    for (int id : {kVbrMin, kVbrMax, kVbrQuality}) enable(id, !cbr);
  }
  Mp3EncoderSettings& m_settings;
};

class OggDialog : public ui::Dialog {
 public:
  static constexpr int kQualityMode = 101, kQuality = 102, kBitRateMode = 103, kMinimum = 104, kMaximum = 105,
                       kChannels = 106, kStrip = 107;
  explicit OggDialog(OggEncoderSettings& settings)
      : ui::Dialog(ui::DialogTemplate("Ogg Vorbis Encoder Settings", 220, 150)
                       .radio(kQualityMode, "Quality", 8, 8, 80, 10, true)
                       .comboBox(kQuality, 110, 6, 80, 160, CBS_DROPDOWNLIST | WS_VSCROLL)
                       .radio(kBitRateMode, "Bitrate", 8, 26, 80, 10, false)
                       .text(-1, "Minimum (kbps):", 20, 42, 80, 10)
                       .edit(kMinimum, "", 110, 40, 50, 12, ES_NUMBER)
                       .text(-1, "Maximum (kbps):", 20, 58, 80, 10)
                       .edit(kMaximum, "", 110, 56, 50, 12, ES_NUMBER)
                       .text(-1, "Channels", 8, 78, 80, 10)
                       .comboBox(kChannels, 110, 76, 80, 60, CBS_DROPDOWNLIST)
                       .checkBox(kStrip, "Discard comments", 8, 96, 150, 10)
                       .defaultButton(IDOK, "OK", 106, 128, 50, 14)
                       .button(IDCANCEL, "Cancel", 162, 128, 50, 14)),
        m_settings(settings) {}

 protected:
  bool onInit() override {
    for (int q = 0; q <= 10; ++q)
      addComboItem(kQuality, q == 0 ? "0 (Lowest)" : q == 10 ? "10 (Highest)" : std::to_string(q));
    addComboItem(kChannels, "Mono");
    addComboItem(kChannels, "Stereo");
    setCheck(m_settings.qualityMode ? kQualityMode : kBitRateMode, true);
    setComboSelection(kQuality, std::clamp(m_settings.vbrQuality, 0, 10));
    setInt(kMinimum, m_settings.vbrMinBitRate);
    setInt(kMaximum, m_settings.vbrMaxBitRate);
    setComboSelection(kChannels, std::clamp(m_settings.channels, 1, 2) - 1);
    setCheck(kStrip, m_settings.stripComments);
    return true;
  }
  void onCommand(int id, int code) override {
    if (id == IDOK) {
      const std::string title = "Ogg Vorbis Encoder Settings";
      auto minimum = checkedNumber(handle(), getInt(kMinimum), 8, 500, "a minimum bit rate", title);
      if (!minimum) return;
      auto maximum = checkedNumber(handle(), getInt(kMaximum), *minimum, 500, "a maximum bit rate", title);
      if (!maximum) return;
      m_settings.qualityMode = isChecked(kQualityMode);
      m_settings.vbrQuality = std::max(0, comboSelection(kQuality));
      m_settings.vbrMinBitRate = *minimum;
      m_settings.vbrMaxBitRate = *maximum;
      m_settings.channels = std::max(0, comboSelection(kChannels)) + 1;
      m_settings.stripComments = isChecked(kStrip);
    }
    ui::Dialog::onCommand(id, code);
  }

 private:
  OggEncoderSettings& m_settings;
};

class FlacDialog : public ui::Dialog {
 public:
  static constexpr int kCompression = 101, kRate = 102, kChannels = 103;
  FlacDialog(FlacEncoderSettings& settings, int32_t soundRate)
      : ui::Dialog(ui::DialogTemplate("FLAC Encoder Settings", 200, 96)
                       .text(-1, "Compression", 8, 10, 80, 10)
                       .comboBox(kCompression, 100, 8, 90, 160, CBS_DROPDOWNLIST | WS_VSCROLL)
                       .text(-1, "Sample rate (Hz):", 8, 28, 80, 10)
                       .edit(kRate, "", 100, 26, 60, 12, ES_NUMBER)
                       .text(-1, "Channels", 8, 46, 80, 10)
                       .comboBox(kChannels, 100, 44, 90, 60, CBS_DROPDOWNLIST)
                       .defaultButton(IDOK, "OK", 86, 74, 50, 14)
                       .button(IDCANCEL, "Cancel", 142, 74, 50, 14)),
        m_settings(settings),
        m_soundRate(soundRate) {}

 protected:
  bool onInit() override {
    for (int level = 0; level <= 8; ++level)
      addComboItem(kCompression, level == 0 ? "0 (fastest)" : level == 8 ? "8 (best)" : std::to_string(level));
    addComboItem(kChannels, "Mono");
    addComboItem(kChannels, "Stereo");
    setComboSelection(kCompression, std::clamp(m_settings.compression, 0, 8));
    const int32_t rate = m_settings.sampleRate > 0 ? m_settings.sampleRate : m_soundRate;
    setInt(kRate, rate > 0 ? rate : 44100);
    setComboSelection(kChannels, std::clamp(m_settings.channels, 1, 2) - 1);
    return true;
  }
  void onCommand(int id, int code) override {
    if (id == IDOK) {
      std::optional<int> rate = getInt(kRate);
      if (rate && *rate == 0) rate = 44100;  // 0 stands for the usual rate
      rate = checkedNumber(handle(), rate, 1000, 655350, "a sample rate", "FLAC Encoder Settings");
      if (!rate) return;
      m_settings.compression = std::max(0, comboSelection(kCompression));
      m_settings.sampleRate = *rate;
      m_settings.channels = std::max(0, comboSelection(kChannels)) + 1;
    }
    ui::Dialog::onCommand(id, code);
  }

 private:
  FlacEncoderSettings& m_settings;
  int32_t m_soundRate;
};

class AacDialog : public ui::Dialog {
 public:
  static constexpr int kQualityMode = 101, kQuality = 102, kAverage = 103, kAverageRate = 104, kMpeg2 = 105,
                       kNoTns = 106;
  explicit AacDialog(AacEncoderSettings& settings)
      : ui::Dialog(ui::DialogTemplate("AAC Encoder Settings", 220, 118)
                       .radio(kQualityMode, "Quality", 8, 8, 90, 10, true)
                       .edit(kQuality, "", 110, 6, 50, 12, ES_NUMBER)
                       .radio(kAverage, "Average bitrate (kbps)", 8, 26, 100, 10, false)
                       .edit(kAverageRate, "", 110, 24, 50, 12, ES_NUMBER)
                       .checkBox(kMpeg2, "Write MPEG-2 AAC", 8, 46, 150, 10)
                       .checkBox(kNoTns, "No temporal noise shaping", 8, 62, 150, 10)
                       .defaultButton(IDOK, "OK", 106, 96, 50, 14)
                       .button(IDCANCEL, "Cancel", 162, 96, 50, 14)),
        m_settings(settings) {}

 protected:
  bool onInit() override {
    setCheck(m_settings.averageBitRate ? kAverage : kQualityMode, true);
    setInt(kQuality, m_settings.vbrQuality);
    setInt(kAverageRate, m_settings.abrBitRate);
    setCheck(kMpeg2, m_settings.forceMpeg2);
    setCheck(kNoTns, m_settings.disableTns);
    return true;
  }
  void onCommand(int id, int code) override {
    if (id == IDOK) {
      const std::string title = "AAC Encoder Settings";
      std::optional<int> quality = getInt(kQuality);
      if (quality && *quality == 0) quality = 100;
      quality = checkedNumber(handle(), quality, 10, 500, "a quality", title);
      if (!quality) return;
      auto rate = checkedNumber(handle(), getInt(kAverageRate), 8, 320, "a bit rate", title);
      if (!rate) return;
      m_settings.averageBitRate = isChecked(kAverage);
      m_settings.vbrQuality = *quality;
      m_settings.abrBitRate = *rate;
      m_settings.forceMpeg2 = isChecked(kMpeg2);
      m_settings.disableTns = isChecked(kNoTns);
    }
    ui::Dialog::onCommand(id, code);
  }

 private:
  AacEncoderSettings& m_settings;
};

class AmrDialog : public ui::Dialog {
 public:
  static constexpr int kMode = 101;
  explicit AmrDialog(AmrEncoderSettings& settings)
      : ui::Dialog(ui::DialogTemplate("AMR Encoder Settings", 180, 60)
                       .text(-1, "Bitrate (kbps):", 8, 10, 70, 10)
                       .comboBox(kMode, 90, 8, 80, 160, CBS_DROPDOWNLIST | WS_VSCROLL)
                       .defaultButton(IDOK, "OK", 66, 38, 50, 14)
                       .button(IDCANCEL, "Cancel", 122, 38, 50, 14)),
        m_settings(settings) {}

 protected:
  bool onInit() override {
    for (int mode = 0; mode < kAmrModeCount; ++mode) addComboItem(kMode, amrModeText(mode));
    setComboSelection(kMode, std::clamp(m_settings.mode, 0, kAmrModeCount - 1));
    return true;
  }
  void onCommand(int id, int code) override {
    if (id == IDOK) m_settings.mode = std::max(0, comboSelection(kMode));
    ui::Dialog::onCommand(id, code);
  }

 private:
  AmrEncoderSettings& m_settings;
};

class RootUrlDialog : public ui::Dialog {
 public:
  static constexpr int kUrl = 101;
  RootUrlDialog(RssEncodeSettings& settings, const std::string& title)
      : ui::Dialog(ui::DialogTemplate(title, 280, 74)
                       .text(-1, "Web folder (URL) where the MP3 file will be published:", 8, 8, 264, 10)
                       .edit(kUrl, "", 8, 22, 264, 12, ES_AUTOHSCROLL)
                       .defaultButton(IDOK, "OK", 166, 52, 50, 14)
                       .button(IDCANCEL, "Cancel", 222, 52, 50, 14)),
        m_settings(settings) {}

 protected:
  bool onInit() override {
    setText(kUrl, m_settings.rootUrl);
    return true;
  }
  void onCommand(int id, int code) override {
    if (id == IDOK) m_settings.rootUrl = getText(kUrl);
    ui::Dialog::onCommand(id, code);
  }

 private:
  RssEncodeSettings& m_settings;
};

// Runs a dialog on a copy, so that Cancel leaves the settings untouched.
template <class DialogType, class Settings, class... Extra>
bool edit(HWND owner, Settings& settings, Extra&&... extra) {
  Settings copy = settings;
  DialogType dialog(copy, std::forward<Extra>(extra)...);
  if (dialog.runModal(owner) != IDOK) return false;
  settings = copy;
  return true;
}

}  // namespace

bool editMp3EncoderSettings(HWND owner, Mp3EncoderSettings& settings) { return edit<Mp3Dialog>(owner, settings); }
bool editOggEncoderSettings(HWND owner, OggEncoderSettings& settings) { return edit<OggDialog>(owner, settings); }
bool editFlacEncoderSettings(HWND owner, FlacEncoderSettings& settings, int32_t soundRate) {
  return edit<FlacDialog>(owner, settings, soundRate);
}
bool editAacEncoderSettings(HWND owner, AacEncoderSettings& settings) { return edit<AacDialog>(owner, settings); }
bool editAmrEncoderSettings(HWND owner, AmrEncoderSettings& settings) { return edit<AmrDialog>(owner, settings); }
bool editRootUrl(HWND owner, RssEncodeSettings& settings, const std::string& title) {
  return edit<RootUrlDialog>(owner, settings, title);
}
