// The type both windows were laid out in: "MS Sans Serif", 11 pixels high.
// Their controls sit at fixed pixel positions, so the type must be given in
// pixels too. Where the Windows faces are missing, narrow look-alikes stand
// in for them, so that the texts fit their places as they did.
#pragma once

#include <QFont>
#include <QStringList>

namespace app {

inline void SubstituteWindowsFaces() {
  static const bool done = [] {
    const QStringList narrow{QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                             QStringLiteral("DejaVu Sans Condensed")};
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), narrow);
    QFont::insertSubstitutions(QStringLiteral("Arial"), narrow);
    return true;
  }();
  (void)done;
}

inline QFont FormFont() {
  SubstituteWindowsFaces();
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(11);
  return font;
}

}  // namespace app
