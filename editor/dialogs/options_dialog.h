#pragma once
// The options dialog: pages "General", "Audio Processing" and "Keys".

#include <memory>

#include "ui/dialog.h"

class Frame;
class OptionsPage;

class OptionsDialog : public ui::Dialog {
 public:
  explicit OptionsDialog(Frame& frame);
  ~OptionsDialog() override;

 protected:
  bool onInit() override;
  void onCommand(int id, int code) override;
  INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void showPage(int index);

  Frame& m_frame;
  std::unique_ptr<OptionsPage> m_pages[3];
};
