#pragma once
// The pages of the options dialog, each a child dialog with the controls of
// its own numbering.

#include <memory>
#include <string>
#include <vector>

#include "editor/model/keys_file.h"
#include "ui/dialog.h"

class Frame;

class OptionsPage : public ui::Dialog {
 public:
  using ui::Dialog::Dialog;
  // False keeps the options dialog open (a value was refused).
  virtual bool apply() = 0;
  HWND create(HWND parent) { return createModeless(parent); }
};

std::unique_ptr<OptionsPage> makeGeneralPage(Frame& frame);
std::unique_ptr<OptionsPage> makeAudioPage(Frame& frame);
std::unique_ptr<OptionsPage> makeKeysPage(Frame& frame);
