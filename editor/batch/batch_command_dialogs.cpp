#include "editor/batch/batch_command_dialogs.h"

#include <optional>

#include "editor/command_ids.h"
#include "editor/dialogs/edit_dialogs.h"
#include "editor/dialogs/numbers_dialog.h"
#include "editor/dialogs/sample_rate_dialog.h"
#include "editor/effect_dialogs.h"
#include "editor/model/effect_descriptor.h"
#include "effects/delay_filter_effects.h"
#include "effects/amplitude_effects.h"
#include "ui/dialog.h"

namespace {

class AddBatchCommandDialog : public ui::Dialog {
 public:
  static constexpr int kCommands = 101;

  AddBatchCommandDialog()
      : ui::Dialog(ui::DialogTemplate("Add Command", 240, 200, ui::DialogTemplate::kDefaultStyle | DS_CENTER)
                       .text(-1, "&Select command(s) to add to the Command list.", 8, 6, 224, 10)
                       .listBox(kCommands, 8, 18, 224, 156, LBS_EXTENDEDSEL | WS_VSCROLL)
                       .defaultButton(IDOK, "OK", 126, 180, 50, 14)
                       .button(IDCANCEL, "Cancel", 182, 180, 50, 14)) {}
  std::vector<uint32_t> chosen;

 protected:
  bool onInit() override {
    for (uint32_t index = 0; index < kBatchCommandCount; ++index) addListItem(kCommands, batchCommandName(index));
    return true;
  }
  void onCommand(int id, int code) override {
    if (id == kCommands && code == LBN_DBLCLK) id = IDOK;
    if (id == IDOK)
      for (uint32_t index = 0; index < kBatchCommandCount; ++index)
        if (sendItem(kCommands, LB_GETSEL, index) > 0) chosen.push_back(index);
    if (id == IDOK || id == IDCANCEL) ui::Dialog::onCommand(id, code);
  }
};

// The stored values a dialog reads and writes, kept aside while it shows a
// command's values and put back afterwards.
class StoredValuesAside {
 public:
  StoredValuesAside(sys::SettingsStore& store, std::vector<std::pair<std::string, std::string>> keys)
      : m_store(store) {
    for (auto& [section, key] : keys) m_saved.push_back({section, key, store.read(section, key, "")});
  }
  ~StoredValuesAside() {
    for (const Saved& saved : m_saved) {
      if (saved.value.empty())
        m_store.remove(saved.section, saved.key);
      else
        m_store.write(saved.section, saved.key, saved.value);
    }
  }

 private:
  struct Saved {
    std::string section, key, value;
  };
  sys::SettingsStore& m_store;
  std::vector<Saved> m_saved;
};

// A sound the dialogs' previews can point at: nothing to play.
const SoundBuffer& silentPreview() {
  static const SoundBuffer silence;
  return silence;
}

bool askEffectValues(HWND owner, sys::SettingsStore& store, const std::string& dataFolder, BatchCommand& command,
                     const EffectDescriptor& effect) {
  const EffectDialog dialog = effectDialogOf(effect.command);
  if (!dialog) return false;
  std::vector<std::pair<std::string, std::string>> keys;
  for (const EffectParameter* value : effect.values) keys.push_back({value->section, value->key});
  const StoredValuesAside aside(store, keys);
  BatchValues values = resolveBatchValues(command, {store, dataFolder});
  for (size_t i = 0; i < effect.values.size(); ++i) writeEffectParameter(store, *effect.values[i], values.values[i]);
  // The curve dialogs show their file: it holds the command's curve while
  // they are open, and what it held before once they are closed.
  const bool equalizer = effect.command == cmd::Equalizer, envelope = effect.command == cmd::Envelope;
  const std::optional<EnvelopeCurve> fileCurve =
      equalizer ? std::optional(loadEqualizerFile(dataFolder))
                : envelope ? std::optional(loadEnvelopeFile(dataFolder)) : std::nullopt;
  if (equalizer) saveEqualizerFile(dataFolder, values.curve);
  if (envelope) saveEnvelopeFile(dataFolder, values.curve);
  auto putFileBack = [&] {
    if (equalizer) saveEqualizerFile(dataFolder, *fileCurve);
    if (envelope) saveEnvelopeFile(dataFolder, *fileCurve);
  };
  PreviewInput preview;
  preview.sound = &silentPreview();
  EffectRequest request;
  request.curve = values.curve;
  const bool confirmed = dialog(EffectDialogContext{owner, store, dataFolder, preview, effect}, request);
  putFileBack();
  if (!confirmed) return false;
  values.values = readEffectValues(store, effect);
  values.curve = request.curve;
  command.parameters = batchParametersOf(command.index, values);
  return true;
}

}  // namespace

std::vector<uint32_t> askBatchCommandsToAdd(HWND owner) {
  AddBatchCommandDialog dialog;
  if (dialog.runModal(owner) != IDOK) return {};
  return dialog.chosen;
}

bool editBatchCommandSettings(HWND owner, sys::SettingsStore& store, const std::string& dataFolder,
                              BatchCommand& command) {
  if (!batchCommandHasSettings(command.index)) return false;
  BatchValues values = resolveBatchValues(command, {store, dataFolder});
  const char* name = batchCommandName(command.index);
  const int effectCommand = batchEffectCommand(command.index);
  const std::string silenceKey = "SilenceTimes";
  if (effectCommand == 0 && std::string(name).rfind("Insert Silence", 0) == 0) {
    const StoredValuesAside aside(store, {{"StoredValues", silenceKey}});
    store.writeNumber("StoredValues", silenceKey, values.values[0]);
    int64_t milliseconds = 0;
    if (!askInsertSilence(owner, store, milliseconds)) return false;
    values.values[0] = static_cast<int32_t>(milliseconds);
  } else if (effectCommand == 0) {  // Convert Channel
    NumbersDialog dialog(name, {{101, "Channels (1 = mono, 2 = stereo):", 1, 2, values.values[0], 1}});
    if (dialog.runModal(owner) != IDOK) return false;
    values.values[0] = static_cast<int32_t>(dialog.fields[0].value);
  } else if (effectCommand == cmd::ConvertSampleRate) {
    int32_t rate = values.values[0];
    if (!askSampleRate(owner, rate, rate)) return false;
    values.values[0] = rate;
  } else {
    const EffectDescriptor* effect = findEffectDescriptor(effectCommand);
    return effect && askEffectValues(owner, store, dataFolder, command, *effect);
  }
  command.parameters = batchParametersOf(command.index, values);
  return true;
}
