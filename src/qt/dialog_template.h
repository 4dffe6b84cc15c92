// The main window's template: every control with its id, kind, text and place in dialog units,
// in tab order. The window is 211 x 209 units; its controls are laid out in the rows of the
// dialog, top to bottom.
#ifndef CARTIDEX_QT_DIALOG_TEMPLATE_H_
#define CARTIDEX_QT_DIALOG_TEMPLATE_H_

#include <span>

namespace cartidex {

inline constexpr int kTemplateWidth = 211;
inline constexpr int kTemplateHeight = 209;
// Where the window first appears, from the top left corner of the screen.
inline constexpr int kTemplateLeft = 100;
inline constexpr int kTemplateTop = 75;

// Esc arrives as this command, as on the dialog's first platform.
inline constexpr int kIdCancel = 2;
// Labels that nothing refers to.
inline constexpr int kIdNone = -1;

enum class ControlKind {
  kLabel,
  kCentredLabel,
  kReadOnlyField,
  kField,
  kButton,
  kDefaultButton,
  kCheckBox,
};

struct ControlTemplate {
  int id;
  ControlKind kind;
  const char* text;
  // Left, top, width, height in dialog units.
  int x, y, width, height;
};

// The controls, in the order of the tab stops.
std::span<const ControlTemplate> DialogControls();

}  // namespace cartidex

#endif  // CARTIDEX_QT_DIALOG_TEMPLATE_H_
