#pragma once

#include "platform/messagesink.h"
#include "session/appcontext.h"
#include "sync/deletionguard.h"
#include "widgets/modalrunner.h"

#include <QString>
#include <functional>

class QWidget;

namespace natalis::desktop {
class MusicPlayer;
} // namespace natalis::desktop

namespace natalis::platform {
class Clock;
} // namespace natalis::platform

namespace natalis::app {

// Panel 1 of the main window's status bar.
using StatusSink = std::function<void(const QString &)>;

// The file menu's import entries.
enum class ImportMenu {
    TabFile, // mnuFileAddIn: this version's tab-separated export
    OldVersions, // mnuOldAddIn: asks for the version first
    CsvFile, // mnuCsvAddIn: a spreadsheet file
};

// mnuFileOut (csv false) / mnuCsvOut (true): chooser, overwrite question, export; messages
// through `messages`. The open database and any other database file are refused as targets.
void runExport(QWidget *owner, session::AppContext &context, platform::MessageSink &messages,
    const StatusSink &status, const widgets::ModalRunner &runModal = {}, bool csv = false);

// Version choice (for OldVersions), chooser, reading on a worker with a progress window,
// preview, add. Returns true when birthdays were added (the caller then reloads the array and
// refills its lists).
bool runImport(QWidget *owner, session::AppContext &context, platform::MessageSink &messages,
    const platform::Clock &clock, ImportMenu menu, const StatusSink &status,
    const widgets::ModalRunner &runModal = {});

// "设置(&S)": returns true when the settings were saved (the caller re-selects the start-up tab).
// stopSync stops a calendar sync under way, for the sync page's button; none: no button.
bool runSetup(QWidget *owner, session::AppContext &context, platform::MessageSink &messages,
    desktop::MusicPlayer *music, const widgets::ModalRunner &runModal = {},
    const std::function<void()> &stopSync = {},
    const std::function<void(sync::DeletionChoice)> &resolveDeletions = {});

} // namespace natalis::app
