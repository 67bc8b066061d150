// Help: the help file "SENECA.chm" beside the executable, opened with the
// desktop's handler for that file type (a CHM viewer). Help contexts cannot
// be addressed through a generic handler, so every request opens the file at
// its start; a missing file or no handler is said plainly.
#pragma once

#include <QString>
#include <QWidget>

namespace app {

inline const QString kHelpFile = QStringLiteral("SENECA.chm");

// Opens the help file of `programFolder`. `context` is the topic asked for
// (1 for the windows' F1); 0 asks for the table of contents.
void ShowHelp(QWidget* parent, const QString& programFolder, int context);

}  // namespace app
