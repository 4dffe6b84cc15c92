#include "qt/dialog_units.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <cmath>

namespace cartidex {

QFont DialogFont() {
  QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(8);
  font.setWeight(QFont::Normal);
  font.setItalic(false);
  return font;
}

DialogUnits::DialogUnits(const QFont& font) {
  static const QString kLetters =
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  QFontMetricsF metrics(font);
  average_char_width_ = metrics.horizontalAdvance(kLetters) / kLetters.size();
  char_height_ = static_cast<int>(std::lround(metrics.height()));
}

int DialogUnits::ToPixelsX(int units) const {
  return static_cast<int>(std::lround(units * average_char_width_ / 4.0));
}

int DialogUnits::ToPixelsY(int units) const {
  return static_cast<int>(std::lround(units * char_height_ / 8.0));
}

QRect DialogUnits::ToPixels(int x, int y, int width, int height) const {
  // Both edges are converted, so that neighbouring controls keep their gaps.
  int left = ToPixelsX(x), top = ToPixelsY(y);
  return QRect(left, top, ToPixelsX(x + width) - left, ToPixelsY(y + height) - top);
}

QSize DialogUnits::ToPixels(QSize units) const {
  return QSize(ToPixelsX(units.width()), ToPixelsY(units.height()));
}

}  // namespace cartidex
