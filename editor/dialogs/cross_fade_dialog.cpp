#include "editor/dialogs/cross_fade_dialog.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "editor/dialogs/cross_fade_graph_view.h"
#include "editor/dialogs/preview_dialog.h"
#include "editor/model/time_text.h"
#include "ui/text.h"

namespace {

constexpr int kGap = 101, kFadeIn = 102, kFadeOut = 103, kSelectionStart = 104, kSelectionEnd = 105;
constexpr int kGraph = 106, kUpdateGraph = 107, kRestoreDefaults = 108;
constexpr const char* kTitle = "CrossFade";
constexpr const char* kInvalidCaption = "Invalid value";

ui::DialogTemplate crossFadeTemplate() {
  ui::DialogTemplate dialog(kTitle, 280, 206, ui::DialogTemplate::kDefaultStyle | DS_CENTER);
  dialog.text(-1, "Selection start:", 8, 10, 58, 10)
      .edit(kSelectionStart, "", 68, 8, 64, 12, ES_READONLY)
      .text(-1, "Selection end:", 146, 10, 54, 10)
      .edit(kSelectionEnd, "", 204, 8, 68, 12, ES_READONLY)
      .text(-1, "&Gap time (ms):", 8, 32, 90, 10)
      .edit(kGap, "", 100, 30, 50, 12)
      .text(-1, "Fade &in time (ms):", 8, 50, 90, 10)
      .edit(kFadeIn, "", 100, 48, 50, 12)
      .text(-1, "Fade &out time (ms):", 8, 68, 90, 10)
      .edit(kFadeOut, "", 100, 66, 50, 12)
      .button(kUpdateGraph, "&Update Graph", 198, 29, 74, 14)
      .button(kRestoreDefaults, "&Restore Defaults", 198, 47, 74, 14)
      .button(kPreviewButtonId, kPreviewButtonText, 198, 65, 74, 14)
      .control(L"Static", kGraph, "", WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, 0, 8, 86, 264, 84)
      .text(-1, "Blue: the sound after the selection start fades out. Red: the sound before the selection end "
                "fades in. Shaded: the lead, then the gap.",
            8, 172, 264, 18)
      .defaultButton(IDOK, "OK", 166, 188, 50, 14)
      .button(IDCANCEL, "Cancel", 222, 188, 50, 14);
  return dialog;
}

class CrossFadeDialog : public PreviewDialog {
 public:
  CrossFadeDialog(const PreviewInput& input, const CrossFadeParams& params)
      : PreviewDialog(crossFadeTemplate(), input), params(params), m_graphParams(params) {
    // An empty selection means the whole sound, as for the effect itself.
    const int32_t length = input.sound ? input.sound->totalFrames() : 0;
    if (input.selectionStart < input.selectionEnd) {
      m_start = std::clamp(input.selectionStart, 0, length);
      m_end = std::clamp(input.selectionEnd, m_start, length);
    } else {
      m_end = length;
    }
  }

  CrossFadeParams params;

 protected:
  bool onInit() override {
    const int32_t rate = std::max(sampleRate(), 1);
    setText(kSelectionStart, formatTimeMillis(framesToMs(m_start, rate)));
    setText(kSelectionEnd, formatTimeMillis(framesToMs(m_end, rate)));
    showTimes(params);
    return true;
  }

  INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_DRAWITEM && wParam == kGraph) {
      const auto& draw = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      auto font = reinterpret_cast<HFONT>(SendMessageW(handle(), WM_GETFONT, 0, 0));
      drawCrossFadeGraph(draw.hDC, draw.rcItem, crossFadeLayout(m_start, m_end, sampleRate(), m_graphParams), font);
      return TRUE;
    }
    return ui::Dialog::handleMessage(message, wParam, lParam);
  }

  void onCommand(int id, int code) override {
    switch (id) {
      case kUpdateGraph:
        if (std::optional<CrossFadeParams> times = readTimes()) redrawGraph(*times);
        return;
      case kRestoreDefaults:
        showTimes(CrossFadeParams{});
        redrawGraph(CrossFadeParams{});
        return;
    }
    PreviewDialog::onCommand(id, code);
  }

  bool accept() override {
    std::optional<CrossFadeParams> times = readTimes();
    if (times) params = *times;
    return times.has_value();
  }

 private:
  int32_t sampleRate() const { return m_preview.input().sound ? m_preview.input().sound->sampleRate() : 44100; }

  void showTimes(const CrossFadeParams& times) {
    setText(kGap, std::to_string(times.GapTimeMS));
    setText(kFadeIn, std::to_string(times.FadeInTimeMS));
    setText(kFadeOut, std::to_string(times.FadeOutTimeMS));
  }

  void redrawGraph(const CrossFadeParams& times) {
    m_graphParams = times;
    InvalidateRect(item(kGraph), nullptr, FALSE);
  }

  // The three times from the edits: a time below its minimum (a negative
  // one) is raised to it and shows so; text that is not a number or a time
  // above the limit is named in a message and gives nothing.
  std::optional<CrossFadeParams> readTimes() {
    struct Time {
      int id;
      int32_t* field;
      const EffectParameter& range;
    };
    CrossFadeParams times;
    for (const Time& time : {Time{kGap, &times.GapTimeMS, kGapTimeValue},
                             Time{kFadeIn, &times.FadeInTimeMS, kFadeInTimeValue},
                             Time{kFadeOut, &times.FadeOutTimeMS, kFadeOutTimeValue}}) {
      const int id = time.id;
      std::optional<int> value = getInt(id);
      const char* problem = nullptr;
      if (!value) problem = "Please enter the gap and fade times as whole numbers of milliseconds, for example 300.";
      else if (*value > time.range.maximum)
        problem = "The gap and fade times may be at most 60000 milliseconds (one minute).";
      if (problem) {
        ui::showMessage(handle(), problem, kInvalidCaption, MB_OK | MB_ICONINFORMATION);
        SetFocus(item(id));
        sendItem(id, EM_SETSEL, 0, -1);
        return std::nullopt;
      }
      if (*value < time.range.minimum) {
        value = time.range.minimum;
        setText(id, std::to_string(*value));
      }
      *time.field = *value;
    }
    return times;
  }

  void preview() override {
    std::optional<CrossFadeParams> times;
    if (!m_preview.playing()) {
      if (!(times = readTimes())) return;
      redrawGraph(*times);
    }
    const CrossFadeParams chosen = times.value_or(m_graphParams);
    const SoundBuffer* sound = m_preview.input().sound;
    const int32_t length = sound ? sound->totalFrames() : 0;
    const PreviewRange range = crossFadePreviewRange(length, sampleRate(), m_start, m_end, chosen);
    m_preview.toggle(handle(), range, [chosen](SoundBuffer& piece, int32_t start, int32_t end, ProgressCallback* p) {
      return crossFade(piece, start, end, chosen, p);
    });
  }

  CrossFadeParams m_graphParams;  // what the graph shows: the times of the last update
  int32_t m_start = 0, m_end = 0;  // the selection the effect will take
};

}  // namespace

bool askCrossFade(HWND owner, const PreviewInput& preview, CrossFadeParams& params) {
  CrossFadeDialog dialog(preview, params);
  if (dialog.runModal(owner) != IDOK) return false;
  params = dialog.params;
  return true;
}
