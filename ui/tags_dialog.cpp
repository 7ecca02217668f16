#include "ui/tags_dialog.h"

#include "formats/id3_genres.h"
#include "formats/tag_text.h"
#include "ui/dialog.h"

namespace {

constexpr int kTitle = 101, kArtist = 102, kAlbum = 103, kGenre = 104, kTrack = 105, kYear = 106, kComment = 107;

struct TagField {
  int control;
  const char* tag;
};
constexpr TagField kFields[] = {
    {kTitle, "TITLE"}, {kArtist, "ARTIST"}, {kAlbum, "ALBUM"},   {kGenre, "GENRE"},
    {kTrack, "TRACKNUMBER"}, {kYear, "DATE"}, {kComment, "COMMENT"},
};

// An editable drop-down: a genre of the list, or any name typed in.
constexpr DWORD kGenreStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;

ui::DialogTemplate tagsTemplate() {
  ui::DialogTemplate dialog("Edit Audio Tags", 250, 160);
  const char* labels[] = {"Title:", "Artist:", "Album:", "Genre:", "Track Number:", "Year:", "Comment:"};
  for (int row = 0; row < 7; ++row) {
    const int y = 8 + row * 18;
    dialog.text(-1, labels[row], 8, y + 2, 56, 10);
    if (kFields[row].control == kGenre)
      dialog.control(L"COMBOBOX", kGenre, "", kGenreStyle, 0, 68, y, 174, 120);
    else
      dialog.edit(kFields[row].control, "", 68, y, kFields[row].control == kTrack || kFields[row].control == kYear ? 60 : 174, 12,
                  ES_AUTOHSCROLL);
  }
  dialog.defaultButton(IDOK, "OK", 136, 138, 50, 14).button(IDCANCEL, "Cancel", 192, 138, 50, 14);
  return dialog;
}

class TagsDialog : public ui::Dialog {
 public:
  explicit TagsDialog(TagSet& tags) : ui::Dialog(tagsTemplate()), m_tags(tags) {}
  bool changed() const { return m_changed; }

 protected:
  bool onInit() override {
    for (int index = 0; index < kGenreCount; ++index) addComboItem(kGenre, genreName(index));
    for (const TagField& field : kFields) setText(field.control, tagValueOf(m_tags, field.tag));
    return true;
  }
  void onCommand(int id, int code) override {
    if (id == IDOK) {
      const TagSet before = m_tags;
      for (const TagField& field : kFields) setTagValue(m_tags, field.tag, getText(field.control));
      // Fields left empty that the sound never had add nothing worth saving.
      m_changed = false;
      for (const TagField& field : kFields)
        m_changed = m_changed || tagValueOf(before, field.tag) != tagValueOf(m_tags, field.tag);
    }
    ui::Dialog::onCommand(id, code);
  }

 private:
  TagSet& m_tags;
  bool m_changed = false;
};

}  // namespace

bool editAudioTags(HWND owner, TagSet& tags) {
  TagsDialog dialog(tags);
  return dialog.runModal(owner) == IDOK && dialog.changed();
}
