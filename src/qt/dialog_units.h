// Dialog units: a horizontal unit is a quarter of the average character width of the dialog
// font, a vertical unit an eighth of its height, so the window and its controls grow with the
// font as they do on the dialog's first platform.
#ifndef CARTIDEX_QT_DIALOG_UNITS_H_
#define CARTIDEX_QT_DIALOG_UNITS_H_

#include <QFont>
#include <QRect>
#include <QSize>

namespace cartidex {

// The dialog font: the desktop's default sans-serif face at 8 points, normal weight.
QFont DialogFont();

class DialogUnits {
 public:
  // The average width is that of the 52 Latin letters, the height the font's ascent plus
  // descent, both in pixels.
  explicit DialogUnits(const QFont& font);

  int ToPixelsX(int units) const;
  int ToPixelsY(int units) const;
  QRect ToPixels(int x, int y, int width, int height) const;
  QSize ToPixels(QSize units) const;

 private:
  double average_char_width_;
  int char_height_;
};

}  // namespace cartidex

#endif  // CARTIDEX_QT_DIALOG_UNITS_H_
