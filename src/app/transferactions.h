#pragma once

#include "app/appcontext.h"
#include "app/messagesink.h"
#include "app/modalrunner.h"

#include <QString>
#include <functional>

class QWidget;

namespace natalis::app {

class MusicPlayer;

// Panel 1 of the main window's status bar.
using StatusSink = std::function<void(const QString &)>;

// mnuFileOut: chooser, overwrite question, export; messages through `messages`.
void RunExport(QWidget *owner, AppContext &context, MessageSink &messages, const StatusSink &status,
    const ModalRunner &runModal = {});

// mnuFileAddIn (oldVersions false) / mnuOldAddIn (true): version choice, chooser, read, preview,
// add. Returns true when birthdays were added (the caller then reloads the array and refills its
// lists).
bool RunImport(QWidget *owner, AppContext &context, MessageSink &messages, bool oldVersions,
    const StatusSink &status, const ModalRunner &runModal = {});

// "设置(&S)": returns true when the settings were saved (the caller re-selects the start-up tab).
bool RunSetup(QWidget *owner, AppContext &context, MessageSink &messages, MusicPlayer *music,
    const ModalRunner &runModal = {});

} // namespace natalis::app
