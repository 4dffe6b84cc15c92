// HeadlessView: the dialog without a window. Controls are texts and flags in memory; the choosers
// give the answers queued for them; the message box prints its text.
#ifndef CARTIDEX_APP_HEADLESS_VIEW_H_
#define CARTIDEX_APP_HEADLESS_VIEW_H_

#include <map>
#include <optional>
#include <set>
#include <string>

#include "platform/dialog_view.h"

namespace cartidex {

class HeadlessView : public DialogView {
 public:
  void SetText(int id, std::string_view text) override { texts_[id] = std::string(text); }
  std::string GetText(int id) override;
  bool IsChecked(int id) override { return checked_.count(id) != 0; }
  // Nothing is drawn, so nothing is greyed out either.
  void Enable(int /*id*/, bool /*enabled*/) override {}
  std::optional<std::string> ChooseFile() override;
  std::optional<std::string> ChooseFolder() override;
  // Appends the message, its line ends made "\n", and one more "\n" to output().
  void ShowMessage(std::string_view text, std::string_view caption) override;

  void SetChecked(int id, bool checked);
  // The answer the next chooser gives (then it answers "cancel" again).
  void SetNextAnswer(std::string answer) { next_answer_ = std::move(answer); }

  // The six state lines and an empty line, with "\n" ends; a byte below 0x20 inside a field is
  // written "\xHH".
  std::string StateBlock();

  // What the view has printed and not yet taken.
  std::string TakeOutput();

 private:
  std::map<int, std::string> texts_;
  std::set<int> checked_;
  std::optional<std::string> next_answer_;
  std::string output_;
};

}  // namespace cartidex

#endif  // CARTIDEX_APP_HEADLESS_VIEW_H_
