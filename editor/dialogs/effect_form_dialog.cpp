#include "editor/dialogs/effect_form_dialog.h"

#include <string>

#include "editor/dialogs/preview_dialog.h"
#include "editor/model/effect_forms.h"
#include "editor/model/effect_presets.h"
#include "ui/text.h"

namespace {

constexpr int kPresetList = 105;
constexpr short kRowHeight = 18, kWidth = 250;

ui::DialogTemplate formTemplate(const EffectDescriptor& effect, const EffectForm& form) {
  const short rows = static_cast<short>(form.fields.size());
  const short presetsTop = static_cast<short>(8 + rows * kRowHeight);
  const short buttonsTop = static_cast<short>(presetsTop + (effect.presets.empty() ? 4 : 22));
  ui::DialogTemplate dialog(effect.name, kWidth, static_cast<short>(buttonsTop + 22),
                            ui::DialogTemplate::kDefaultStyle | DS_CENTER);
  for (short row = 0; row < rows; ++row) {
    const EffectFormField& field = form.fields[row];
    dialog.text(-1, field.label, 8, static_cast<short>(10 + row * kRowHeight), 130, 10)
        .edit(field.control, "", 142, static_cast<short>(8 + row * kRowHeight), 50, 12);
  }
  if (!effect.presets.empty()) {
    dialog.text(-1, "&Presets:", 8, static_cast<short>(presetsTop + 2), 40, 10)
        .comboBox(kPresetList, 52, presetsTop, 140, 120);
  }
  dialog.button(kPreviewButtonId, kPreviewButtonText, 8, buttonsTop, 50, 14)
      .defaultButton(IDOK, "OK", 136, buttonsTop, 50, 14)
      .button(IDCANCEL, "Cancel", 192, buttonsTop, 50, 14);
  return dialog;
}

class EffectFormDialog : public PreviewDialog {
 public:
  EffectFormDialog(const EffectDialogContext& context, const EffectForm& form, EffectValues& values)
      : PreviewDialog(formTemplate(context.effect, form), context.preview),
        m_effect(context.effect),
        m_form(form),
        m_values(values) {}

 protected:
  bool onInit() override {
    show(m_values);
    if (!m_effect.presets.empty()) {
      addComboItem(kPresetList, kSelectPresetRow);
      for (const EffectPreset& preset : m_effect.presets) addComboItem(kPresetList, preset.name);
      setComboSelection(kPresetList, 0);
    }
    return true;
  }

  void onCommand(int id, int code) override {
    if (id == kPresetList) {
      if (code == CBN_SELCHANGE)
        if (const EffectPreset* preset = presetAtRow(m_effect.presets, comboSelection(kPresetList)))
          show(preset->values);
      return;
    }
    PreviewDialog::onCommand(id, code);
  }

  bool accept() override {
    const FieldValues values = shown();
    const EffectFormCheck check = checkEffectForm(m_form, values);
    if (check.message) {
      ui::showMessage(handle(), check.message, kInvalidValueCaption, MB_OK | MB_ICONINFORMATION);
      const int control = m_form.fields[static_cast<size_t>(check.field)].control;
      SetFocus(item(control));
      sendItem(control, EM_SETSEL, 0, -1);
      return false;
    }
    for (size_t i = 0; i < m_form.fields.size(); ++i) m_values[i] = *values[i];
    return true;
  }

  // Plays what the values shown would do, each kept within its range.
  void preview() override {
    EffectRequest request;
    request.values = clampEffectForm(m_form, shown());
    const PreviewInput& input = m_preview.input();
    const PreviewRange range = selectionPreviewRange(input.sound->totalFrames(), input.sound->sampleRate(),
                                                     input.selectionStart, input.selectionEnd);
    const EffectDescriptor& effect = m_effect;
    m_preview.toggle(handle(), range,
                     [&effect, request](SoundBuffer& piece, int32_t start, int32_t end, ProgressCallback* progress) {
                       EffectRequest piecewise = request;
                       piecewise.start = start;
                       piecewise.end = end;
                       return effect.run(piece, piecewise, progress).status == EditStatus::Done ? JobResult::Done
                                                                                               : JobResult::Failed;
                     });
  }

 private:
  void show(const EffectValues& values) {
    for (size_t i = 0; i < m_form.fields.size(); ++i)
      setText(m_form.fields[i].control, fieldText(*m_form.fields[i].value, values[i]));
  }

  FieldValues shown() const {
    FieldValues values{};
    for (size_t i = 0; i < m_form.fields.size(); ++i)
      values[i] = parseFieldValue(*m_form.fields[i].value, getText(m_form.fields[i].control));
    return values;
  }

  const EffectDescriptor& m_effect;
  const EffectForm& m_form;
  EffectValues& m_values;
};

}  // namespace

bool askEffectForm(const EffectDialogContext& context, EffectRequest&) {
  const EffectForm* form = findEffectForm(context.effect.command);
  if (!form) return false;
  EffectValues values = readEffectValues(context.store, context.effect);
  if (EffectFormDialog(context, *form, values).runModal(context.owner) != IDOK) return false;
  for (size_t i = 0; i < form->fields.size(); ++i)
    writeEffectParameter(context.store, *form->fields[i].value, values[i]);
  return true;
}
