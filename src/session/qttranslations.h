#pragma once

class QCoreApplication;
class QTranslator;

namespace natalis::session {

// Loads Qt's own Simplified Chinese texts (standard buttons, context menus, file dialogs) from
// the Qt installation's translations folder into the application. Returns the translator, owned
// by the application (deleting it takes the texts out again), or null when the file is not
// installed; Qt then shows its English texts.
QTranslator *installQtTranslations(QCoreApplication &application);

} // namespace natalis::session
