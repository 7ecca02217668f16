// The recording mixer of an input device through the system's mixer API:
// the wave-in destination line, its source lines, the multiplexer (or
// mixer) control that chooses among them, and each source's volume control.
// Where a destination has both, the multiplexer is used: it records exactly
// one line, which is what the input list shows.

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <vector>

#include "devices/player_volume.h"
#include "devices/record_mixer.h"
#include "sys/win32/wide_text.h"

namespace {

struct SourceLine {
  DWORD lineId = 0;
  std::string name;
  DWORD channels = 1;
};

class SystemRecordMixer final : public RecordMixer {
 public:
  ~SystemRecordMixer() override { closeMixer(); }

  bool open(uint32_t deviceNumber) override {
    closeMixer();
    // The default input device's mixer is taken to be that of the first
    // device: the system names no mixer for the wave mapper.
    UINT waveInId = deviceNumber == 0 ? 0 : deviceNumber - 1;
    UINT mixerId = 0;
    HMIXER mixer = nullptr;
    MMRESULT opened = MMSYSERR_ERROR;
    if (mixerGetID(reinterpret_cast<HMIXEROBJ>(static_cast<UINT_PTR>(waveInId)), &mixerId, MIXER_OBJECTF_WAVEIN) ==
        MMSYSERR_NOERROR)
      opened = mixerOpen(&mixer, mixerId, 0, 0, MIXER_OBJECTF_MIXER);
    if (opened != MMSYSERR_NOERROR) opened = mixerOpen(&mixer, waveInId, 0, 0, MIXER_OBJECTF_WAVEIN);
    if (opened != MMSYSERR_NOERROR) return false;
    m_mixer = mixer;
    MIXERLINEW destination{};
    if (!findRecordingDestination(destination)) {
      closeMixer();
      return false;
    }
    m_destinationId = destination.dwLineID;
    for (DWORD i = 0; i < destination.cConnections; ++i) {
      MIXERLINEW source{};
      source.cbStruct = sizeof source;
      source.dwDestination = destination.dwDestination;
      source.dwSource = i;
      if (mixerGetLineInfoW(handle(), &source, MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_SOURCE) != MMSYSERR_NOERROR)
        continue;
      m_lines.push_back({source.dwLineID, sys::win32::narrow(source.szName, wcsnlen(source.szName, MIXER_LONG_NAME_CHARS)),
                         std::max<DWORD>(source.cChannels, 1)});
    }
    m_hasChooser = findControl(m_destinationId, MIXERCONTROL_CONTROLTYPE_MUX, m_chooser) ||
                   findControl(m_destinationId, MIXERCONTROL_CONTROLTYPE_MIXER, m_chooser);
    // A mixer without source lines (one per input device, as newer systems
    // and Wine have them) records its destination: that is the one line.
    if (m_lines.empty()) {
      m_lines.push_back({destination.dwLineID,
                         sys::win32::narrow(destination.szName, wcsnlen(destination.szName, MIXER_LONG_NAME_CHARS)),
                         std::max<DWORD>(destination.cChannels, 1)});
      m_hasChooser = false;
    }
    return true;
  }

  std::vector<std::string> lineNames() const override {
    std::vector<std::string> names;
    for (const auto& line : m_lines) names.push_back(line.name);
    return names;
  }

  std::optional<int> selectedLine() const override {
    if (!m_hasChooser && m_lines.size() == 1) return 0;
    std::vector<DWORD> ids;
    std::vector<MIXERCONTROLDETAILS_BOOLEAN> values;
    if (!chooserState(ids, values)) return std::nullopt;
    for (size_t item = 0; item < ids.size(); ++item) {
      if (!values[item].fValue) continue;
      for (size_t i = 0; i < m_lines.size(); ++i)
        if (m_lines[i].lineId == ids[item]) return static_cast<int>(i);
    }
    return std::nullopt;
  }

  bool selectLine(int index) override {
    if (index < 0 || static_cast<size_t>(index) >= m_lines.size()) return false;
    if (!m_hasChooser && m_lines.size() == 1) return true;  // the only line records
    std::vector<DWORD> ids;
    std::vector<MIXERCONTROLDETAILS_BOOLEAN> values;
    if (!chooserState(ids, values)) return false;
    bool found = false;
    for (size_t item = 0; item < ids.size(); ++item) {
      bool chosen = ids[item] == m_lines[index].lineId;
      found = found || chosen;
      // A multiplexer records one line; a mixer control may record several,
      // but the list offers one, so both get exactly the chosen line.
      values[item].fValue = chosen ? 1 : 0;
    }
    if (!found) return false;
    MIXERCONTROLDETAILS details = detailsOf(m_chooser, values.data(), sizeof(MIXERCONTROLDETAILS_BOOLEAN));
    return mixerSetControlDetails(handle(), &details, MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE) ==
           MMSYSERR_NOERROR;
  }

  std::optional<int> lineVolumeDb(int index) const override {
    MIXERCONTROLW control{};
    if (!volumeControl(index, control)) return std::nullopt;
    // Every channel's value: the loudest is the line's volume.
    std::vector<MIXERCONTROLDETAILS_UNSIGNED> values(channelsOf(index, control));
    MIXERCONTROLDETAILS details = volumeDetails(control, values);
    if (mixerGetControlDetailsW(handle(), &details, MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE) !=
        MMSYSERR_NOERROR)
      return std::nullopt;
    DWORD low = control.Bounds.dwMinimum;
    DWORD high = control.Bounds.dwMaximum;
    if (high <= low) return std::nullopt;
    DWORD loudest = low;
    for (const auto& value : values) loudest = std::max(loudest, std::min(value.dwValue, high));
    double share = static_cast<double>(loudest - low) / (high - low);
    return dbFromDeviceVolume(static_cast<uint16_t>(share * 65535.0 + 0.5));
  }

  bool setLineVolumeDb(int index, int db) override {
    MIXERCONTROLW control{};
    if (!volumeControl(index, control)) return false;
    DWORD low = control.Bounds.dwMinimum;
    DWORD high = control.Bounds.dwMaximum;
    std::vector<MIXERCONTROLDETAILS_UNSIGNED> values(channelsOf(index, control));
    for (auto& value : values)
      value.dwValue = low + static_cast<DWORD>(static_cast<double>(deviceVolumeFromDb(db)) / 65535.0 * (high - low) + 0.5);
    MIXERCONTROLDETAILS details = volumeDetails(control, values);
    return mixerSetControlDetails(handle(), &details, MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE) ==
           MMSYSERR_NOERROR;
  }

 private:
  HMIXEROBJ handle() const { return reinterpret_cast<HMIXEROBJ>(m_mixer); }

  void closeMixer() {
    if (m_mixer) mixerClose(m_mixer);
    m_mixer = nullptr;
    m_lines.clear();
    m_hasChooser = false;
  }

  // The destination that feeds the wave input: asked for by its type, or
  // looked for among the destinations where the mixer does not answer that.
  bool findRecordingDestination(MIXERLINEW& destination) const {
    destination = MIXERLINEW{};
    destination.cbStruct = sizeof destination;
    destination.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_WAVEIN;
    if (mixerGetLineInfoW(handle(), &destination, MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE) ==
        MMSYSERR_NOERROR)
      return true;
    MIXERCAPSW caps{};
    if (mixerGetDevCapsW(reinterpret_cast<UINT_PTR>(m_mixer), &caps, sizeof caps) != MMSYSERR_NOERROR) return false;
    for (DWORD i = 0; i < caps.cDestinations; ++i) {
      destination = MIXERLINEW{};
      destination.cbStruct = sizeof destination;
      destination.dwDestination = i;
      if (mixerGetLineInfoW(handle(), &destination, MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_DESTINATION) ==
              MMSYSERR_NOERROR &&
          destination.dwComponentType == MIXERLINE_COMPONENTTYPE_DST_WAVEIN)
        return true;
    }
    return false;
  }

  bool findControl(DWORD lineId, DWORD type, MIXERCONTROLW& control) const {
    MIXERLINECONTROLSW controls{};
    controls.cbStruct = sizeof controls;
    controls.dwLineID = lineId;
    controls.dwControlType = type;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof control;
    controls.pamxctrl = &control;
    control.cbStruct = sizeof control;
    return m_mixer && mixerGetLineControlsW(handle(), &controls, MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) ==
                          MMSYSERR_NOERROR;
  }

  bool volumeControl(int index, MIXERCONTROLW& control) const {
    if (index < 0 || static_cast<size_t>(index) >= m_lines.size()) return false;
    return findControl(m_lines[index].lineId, MIXERCONTROL_CONTROLTYPE_VOLUME, control);
  }

  // A uniform control has one value for all channels, others one each.
  DWORD channelsOf(int index, const MIXERCONTROLW& control) const {
    return (control.fdwControl & MIXERCONTROL_CONTROLF_UNIFORM) ? 1 : m_lines[index].channels;
  }

  static MIXERCONTROLDETAILS volumeDetails(const MIXERCONTROLW& control,
                                           std::vector<MIXERCONTROLDETAILS_UNSIGNED>& values) {
    MIXERCONTROLDETAILS details{};
    details.cbStruct = sizeof details;
    details.dwControlID = control.dwControlID;
    details.cChannels = static_cast<DWORD>(values.size());
    details.cbDetails = sizeof(MIXERCONTROLDETAILS_UNSIGNED);
    details.paDetails = values.data();
    return details;
  }

  MIXERCONTROLDETAILS detailsOf(const MIXERCONTROLW& control, void* items, DWORD itemBytes) const {
    MIXERCONTROLDETAILS details{};
    details.cbStruct = sizeof details;
    details.dwControlID = control.dwControlID;
    details.cChannels = 1;
    details.cMultipleItems = control.cMultipleItems;
    details.cbDetails = itemBytes;
    details.paDetails = items;
    return details;
  }

  // The chooser's items (the line each stands for) and their on/off values.
  bool chooserState(std::vector<DWORD>& ids, std::vector<MIXERCONTROLDETAILS_BOOLEAN>& values) const {
    if (!m_hasChooser || m_chooser.cMultipleItems == 0) return false;
    std::vector<MIXERCONTROLDETAILS_LISTTEXTW> texts(m_chooser.cMultipleItems);
    MIXERCONTROLDETAILS details = detailsOf(m_chooser, texts.data(), sizeof(MIXERCONTROLDETAILS_LISTTEXTW));
    if (mixerGetControlDetailsW(handle(), &details, MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_LISTTEXT) !=
        MMSYSERR_NOERROR)
      return false;
    values.assign(m_chooser.cMultipleItems, MIXERCONTROLDETAILS_BOOLEAN{});
    details = detailsOf(m_chooser, values.data(), sizeof(MIXERCONTROLDETAILS_BOOLEAN));
    if (mixerGetControlDetailsW(handle(), &details, MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE) !=
        MMSYSERR_NOERROR)
      return false;
    ids.clear();
    for (const auto& text : texts) ids.push_back(text.dwParam1);
    return true;
  }

  HMIXER m_mixer = nullptr;
  DWORD m_destinationId = 0;
  std::vector<SourceLine> m_lines;
  bool m_hasChooser = false;
  MIXERCONTROLW m_chooser{};
};

}  // namespace

std::unique_ptr<RecordMixer> makeSystemRecordMixer() { return std::make_unique<SystemRecordMixer>(); }
