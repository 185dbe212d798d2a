#pragma once

#include <QString>

class QWidget;

namespace natalis::widgets {

// The help shipped inside the program, written out as an HTML file the desktop's browser can
// open: the path of that file, or empty when it cannot be written. `folder` empty: the user's
// cache folder. An up-to-date copy already there is left as it is.
QString helpDocumentPath(const QString &folder = QString());

// The same help in the program's own window, for a desktop that cannot open it: one window
// (objectName "frmHelp") beside parent, raised when it is already open.
void showHelpViewer(QWidget *parent);

} // namespace natalis::widgets
