#include "app/transferactions.h"

#include "desktop/autostart.h"
#include "desktop/desktopshortcut.h"
#include "dialogs/filechooser.h"
#include "dialogs/frmfilein.h"
#include "dialogs/frmsetup.h"
#include "dialogs/frmverselect.h"
#include "sync/credentials.h"
#include "sync/serveraccounts.h"
#include "transfer/exportfile.h"
#include "transfer/importpreview.h"
#include "transfer/importreader.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace natalis::app {

namespace {

std::optional<transfer::ImportLayout> chooseLayout(
    QWidget *owner, ImportMenu menu, const widgets::ModalRunner &runner)
{
    if (menu == ImportMenu::TabFile)
        return transfer::ImportLayout::Tab;
    if (menu == ImportMenu::CsvFile)
        return transfer::ImportLayout::Csv;
    dialogs::frmVerSelect dialog(owner);
    widgets::runModal(runner, dialog);
    return dialog.chosenLayout();
}

// Reads the file and builds the preview, as the worker does it.
dialogs::PreviewReader previewReader(
    const QString &path, transfer::ImportLayout layout, store::BirthdayList birthdays)
{
    return [path, layout, birthdays](
               const dialogs::PreviewChoice &choice, widgets::WorkerProgress &progress) {
        transfer::ImportReadOptions options;
        options.encoding = choice.encoding;
        options.columns = choice.columns;
        options.progress = [&progress](
                               qint64 done, qint64 total) { return progress.report(done, total); };
        transfer::ImportReading reading = transfer::readImportFile(path, layout, options);
        dialogs::PreviewReading result;
        result.cancelled = reading.cancelled;
        if (reading.cancelled)
            return result;
        // A sheet without a name column opens empty, for the user to map its columns.
        if (reading.failure && !reading.sheet) {
            result.failure = std::move(reading.failure);
            return result;
        }
        result.preview = transfer::buildImportPreview(std::move(reading), birthdays);
        return result;
    };
}

// What a first reading that closed the preview tells: a failure as the reader's message box.
void tellFirstReading(const dialogs::PreviewReading &reading, transfer::ImportLayout layout,
    platform::MessageSink &messages, const StatusSink &status)
{
    if (reading.cancelled || !reading.failure) {
        if (status)
            status(transfer::chooserTitle(layout) + QStringLiteral("已取消"));
        return;
    }
    const transfer::ImportFailure &failure = *reading.failure;
    messages.show(failure.boxText, failure.boxTitle);
    if (status && !failure.statusText.isEmpty())
        status(failure.statusText);
}

} // namespace

void runExport(QWidget *owner, session::AppContext &context, platform::MessageSink &messages,
    const StatusSink &status, const widgets::ModalRunner &runner, bool csv)
{
    const transfer::ExportFormat format =
        csv ? transfer::ExportFormat::Csv : transfer::ExportFormat::Tab;
    dialogs::PickedFile picked;
    if (!pickFile(owner, picked, transfer::exportChooserTitle(format),
            csv ? dialogs::CsvFileFilter : dialogs::TextFileFilter, runner,
            dialogs::ChooserUse::Export))
        return;
    const QString path = picked.PickedFileText;
    const std::optional<QString> refusal = transfer::exportRefusal(path, context.DbPath);
    if (!refusal && QFileInfo::exists(path)
        && messages.show(transfer::overwriteQuestion(path), transfer::exportBoxTitle(),
               platform::MessageIcon::Question, platform::MessageButtons::OkCancel)
            != platform::MessageButton::Ok)
        return;
    transfer::ExportOptions options;
    options.format = format;
    options.openDatabase = context.DbPath;
    options.status = status;
    const transfer::ExportResult result =
        transfer::exportBirthdays(context.loadedBirthdays(), path, options);
    if (status)
        status(result.statusText);
    if (!result.ok)
        messages.show(
            result.failureText, transfer::exportBoxTitle(), platform::MessageIcon::Critical);
    else if (!result.lossyNames.isEmpty()
        && messages.show(transfer::lossyExportQuestion(result), transfer::exportBoxTitle(),
               platform::MessageIcon::Question, platform::MessageButtons::OkCancel)
            == platform::MessageButton::Ok)
        runExport(owner, context, messages, status, runner, true);
}

bool runImport(QWidget *owner, session::AppContext &context, platform::MessageSink &messages,
    const platform::Clock &clock, ImportMenu menu, const StatusSink &status,
    const widgets::ModalRunner &runner)
{
    if (!context.DbConnection)
        return false;
    const std::optional<transfer::ImportLayout> layout = chooseLayout(owner, menu, runner);
    if (!layout)
        return false;
    dialogs::PickedFile picked;
    const QString filter =
        *layout == transfer::ImportLayout::Csv ? dialogs::CsvFileFilter : dialogs::TextFileFilter;
    if (!pickFile(owner, picked, transfer::chooserTitle(*layout), filter, runner,
            dialogs::ChooserUse::Import))
        return false;
    if (!QFileInfo::exists(picked.PickedFileText)) {
        messages.show(picked.PickedFileText + QStringLiteral("不存在"), QStringLiteral("生日导入"));
        return false;
    }
    if (status)
        status(transfer::readingText(*layout));
    // The file is read while the preview shows, so that the window thread never waits for it.
    dialogs::frmFileIn window(transfer::ImportPreview {}, *layout, *context.DbConnection, clock,
        context.CurrentSkin, owner);
    window.readFirst(previewReader(picked.PickedFileText, *layout, context.loadedBirthdays()));
    widgets::runModal(runner, window);
    if (window.firstReading()) {
        tellFirstReading(*window.firstReading(), *layout, messages, status);
        return false;
    }
    const auto &outcome = window.outcome();
    if (!outcome) {
        // Closed without adding: the reading's "…请稍候" must not stay behind.
        if (status)
            status(transfer::chooserTitle(*layout) + QStringLiteral("已取消"));
        return false;
    }
    if (status)
        status(outcome->statusText);
    return outcome->ok && outcome->added > 0;
}

bool runSetup(QWidget *owner, session::AppContext &context, platform::MessageSink &messages,
    desktop::MusicPlayer *music, const widgets::ModalRunner &runner,
    const std::function<void()> &stopSync,
    const std::function<void(sync::DeletionChoice)> &resolveDeletions)
{
    if (!context.DbConnection)
        return false;
    const std::unique_ptr<desktop::AutoStart> autoStart = desktop::createAutoStart();
    const std::unique_ptr<desktop::DesktopShortcut> shortcut =
        desktop::createDesktopShortcut(desktop::userDesktopFolder());
    // Lives on after the dialog until its password writes and tests are done, so that closing
    // the dialog waits for neither the keyring nor a server.
    auto *accounts = new sync::ServerAccounts(std::make_shared<sync::KeychainPasswordStore>());
    dialogs::frmSetup dialog(context.Settings,
        { *context.DbConnection, messages, music, *autoStart, *shortcut,
            QCoreApplication::applicationFilePath(), context.DbPath, context.CurrentSkin, runner,
            accounts, stopSync, resolveDeletions },
        owner);
    widgets::runModal(runner, dialog);
    accounts->retire();
    if (!dialog.isSaved())
        return false;
    context.Settings = dialog.savedSettings();
    return true;
}

} // namespace natalis::app
