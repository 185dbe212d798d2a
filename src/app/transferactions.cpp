#include "app/transferactions.h"

#include "app/autostart.h"
#include "app/desktopshortcut.h"
#include "app/frmfilein.h"
#include "app/frmmydlg1.h"
#include "app/frmsetup.h"
#include "app/frmverselect.h"
#include "transfer/exportfile.h"
#include "transfer/importpreview.h"
#include "transfer/importreader.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace natalis::app {

namespace {

QList<store::BirthdayRecord> loadedBirthdays(const AppContext &context)
{
    return context.HasBirthdays ? context.Birthdays : QList<store::BirthdayRecord>();
}

std::optional<transfer::ImportLayout> chooseLayout(
    QWidget *owner, bool oldVersions, const ModalRunner &runner)
{
    if (!oldVersions)
        return transfer::ImportLayout::Tab;
    frmVerSelect dialog(owner);
    runModal(runner, dialog);
    return dialog.chosenLayout();
}

} // namespace

void RunExport(QWidget *owner, AppContext &context, MessageSink &messages, const StatusSink &status,
    const ModalRunner &runner)
{
    PickedFile picked;
    if (!PickFile(owner, picked, transfer::exportChooserTitle(), TextFileFilter, runner))
        return;
    const QString path = picked.PickedFileText;
    if (QFileInfo::exists(path)
        && messages.show(transfer::overwriteQuestion(path), transfer::exportBoxTitle(),
               MessageIcon::Question, MessageButtons::OkCancel)
            != MessageButton::Ok)
        return;
    const transfer::ExportResult result =
        transfer::ExportBirthdays(loadedBirthdays(context), path, status);
    if (status)
        status(result.statusText);
    if (!result.ok)
        messages.show(result.failureText, transfer::exportBoxTitle(), MessageIcon::Critical);
}

bool RunImport(QWidget *owner, AppContext &context, MessageSink &messages, bool oldVersions,
    const StatusSink &status, const ModalRunner &runner)
{
    if (!context.DbConnection)
        return false;
    const std::optional<transfer::ImportLayout> layout = chooseLayout(owner, oldVersions, runner);
    if (!layout)
        return false;
    PickedFile picked;
    if (!PickFile(owner, picked, transfer::chooserTitle(*layout), TextFileFilter, runner))
        return false;
    transfer::ImportReading reading =
        transfer::ReadImportFile(picked.PickedFileText, *layout, status);
    if (reading.failure) {
        messages.show(reading.failure->boxText, reading.failure->boxTitle);
        if (status && !reading.failure->statusText.isEmpty())
            status(reading.failure->statusText);
        return false;
    }
    frmFileIn preview(transfer::BuildImportPreview(std::move(reading.records),
                          loadedBirthdays(context), reading.skippedLines),
        *layout, *context.DbConnection, context.CurrentSkin, owner);
    runModal(runner, preview);
    const auto &outcome = preview.outcome();
    if (!outcome)
        return false;
    if (status)
        status(outcome->statusText);
    return outcome->ok && outcome->added > 0;
}

bool RunSetup(QWidget *owner, AppContext &context, MessageSink &messages, MusicPlayer *music,
    const ModalRunner &runner)
{
    if (!context.DbConnection)
        return false;
    const std::unique_ptr<AutoStart> autoStart = createAutoStart();
    const std::unique_ptr<DesktopShortcut> shortcut = createDesktopShortcut(userDesktopFolder());
    frmSetup dialog(context.Settings,
        { *context.DbConnection, messages, music, *autoStart, *shortcut,
            QCoreApplication::applicationFilePath(), context.DbPath, context.CurrentSkin, runner },
        owner);
    runModal(runner, dialog);
    if (!dialog.isSaved())
        return false;
    context.Settings = dialog.savedSettings();
    return true;
}

} // namespace natalis::app
