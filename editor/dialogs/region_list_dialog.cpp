#include "editor/dialogs/region_list_dialog.h"

#include <memory>

#include "core/sample.h"
#include "editor/dialogs/marks_list_dialog.h"
#include "editor/dialogs/name_dialog.h"
#include "editor/effect_preview.h"
#include "editor/frame.h"
#include "editor/model/named_list.h"
#include "editor/model/time_text.h"
#include "ui/text.h"

namespace {

enum Button {
  kPlay = MarksListDialog::kFirstButton, kRename, kSave, kCopyToNew, kDelete, kDeleteAll, kExport, kCopyToCd
};

class RegionListDialog final : public MarksListDialog {
 public:
  explicit RegionListDialog(Frame& frame)
      : MarksListDialog("Region List", {"&Play Region", "&Rename Region", "&Save Region...", "Copy Region to &New File",
                                        "&Delete Region(s)", "Delete All Re&gions", "&Export Region(s) to Folder...",
                                        "&Copy Region(s) to CD..."}),
        m_frame(frame) {}

 protected:
  bool onInit() override {
    MarksListDialog::onInit();
    refill({});
    return true;
  }

  void onCommand(int id, int code) override {
    std::vector<Region>& regions = m_frame.regions();
    int index = firstSelected();
    switch (id) {
      case kList:
        if (code == LBN_SELCHANGE && m_frame.settings().playRegion()) play(index, true);
        break;
      case kPlay: return play(index, false);
      case kRename: return renameSelected();
      case kSave:
        if (index >= 0) m_frame.saveRegion(regions[index]);
        return;
      case kCopyToNew:
        if (index >= 0) m_frame.copyRegionToNewFile(regions[index]);
        return;
      case kDelete: return deleteSelected();
      case kDeleteAll:
        if (regions.empty() || !confirm("Delete all selected region(s)?", "Confirm Delete All")) return;
        stopPlaying();
        regions.clear();
        return edited({});
      case kExport:
        if (!selectedIndices().empty()) m_frame.exportRegions(selectedIndices());
        return;
      case kCopyToCd:
        if (!selectedIndices().empty()) m_frame.copyRegionsToCd(selectedIndices());
        return;
      case IDCANCEL:
        stopPlaying();
        break;
    }
    MarksListDialog::onCommand(id, code);
  }

  void activateSelected() override { play(firstSelected(), false); }

  void renameSelected() override {
    int index = firstSelected();
    if (index < 0) return;
    if (renameEntry(m_frame.regions(), index, "Region")) edited({index});
  }

  void deleteSelected() override {
    std::vector<int> chosen = selectedIndices();
    if (chosen.empty() || !confirm("Delete the selected region(s)?", "Confirm Delete")) return;
    stopPlaying();
    eraseIndices(m_frame.regions(), chosen);
    edited({});
  }

 private:
  // Plays the region through a player of the list's own; a second press stops it.
  void play(int index, bool restart) {
    std::vector<Region>& regions = m_frame.regions();
    if (index < 0 || index >= static_cast<int>(regions.size())) return;
    bool wasPlaying = m_preview && m_preview->playing();
    stopPlaying();
    if (wasPlaying && !restart && m_playing == index) return;
    m_playingSound = regions[index].sound;
    int32_t frames = m_playingSound.totalFrames();
    if (frames <= 0) return;
    PreviewInput input{&m_playingSound, 0, frames,
                       static_cast<uint32_t>(std::max(0, m_frame.settings().soundOutDevice()))};
    m_preview = std::make_unique<EffectPreview>(input);
    m_playing = index;
    m_preview->toggle(handle(), PreviewRange{0, frames, 0, frames},
                      [](SoundBuffer&, int32_t, int32_t, ProgressCallback*) { return JobResult::Done; });
  }
  void stopPlaying() {
    if (m_preview) m_preview->stop();
    m_preview.reset();
  }
  void edited(const std::vector<int>& selected) {
    m_frame.noteProjectChanged();
    m_frame.updateCommands();
    refill(selected);
  }
  void refill(const std::vector<int>& selected) {
    std::vector<std::string> lines;
    for (const Region& region : m_frame.regions()) {
      int32_t rate = std::max(region.sound.sampleRate(), 1);
      lines.push_back(region.name + "\t" + region.sourceName + "\t" +
                      formatTimeHundredths(framesToMs(region.sound.totalFrames(), rate)));
    }
    fill(lines, selected);
    for (int id : {kPlay, kRename, kSave, kCopyToNew, kDelete, kDeleteAll, kExport, kCopyToCd}) enable(id, !lines.empty());
  }

  Frame& m_frame;
  SoundBuffer m_playingSound;
  std::unique_ptr<EffectPreview> m_preview;
  int m_playing = -1;
};

}  // namespace

void showRegionListDialog(Frame& frame) {
  RegionListDialog dialog(frame);
  dialog.runModal(frame.handle());
}
