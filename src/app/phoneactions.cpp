#include "app/phoneactions.h"

#include "dialogs/filechooser.h"
#include "dialogs/frmfilein.h"
#include "transfer/exportfile.h"
#include "transfer/icalendarexport.h"
#include "transfer/importpreview.h"
#include "transfer/vcardexport.h"
#include "transfer/vcardimport.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace natalis::app {

namespace {

// The file to write, once the user has agreed to replace an existing one; empty otherwise. A
// target the export will refuse (the open database, a device) is not offered for replacing: the
// export says why it refused.
QString pickTarget(QWidget *owner, platform::MessageSink &messages, const QString &title,
    const QString &filter, const widgets::ModalRunner &runner, const QString &openDatabase)
{
    dialogs::PickedFile picked;
    if (!pickFile(owner, picked, title, filter, runner, dialogs::ChooserUse::Export))
        return QString();
    const QString path = picked.PickedFileText;
    if (!transfer::exportRefusal(path, openDatabase) && QFileInfo::exists(path)
        && messages.show(transfer::overwriteQuestion(path), transfer::exportBoxTitle(),
               platform::MessageIcon::Question, platform::MessageButtons::OkCancel)
            != platform::MessageButton::Ok)
        return QString();
    return path;
}

void report(platform::MessageSink &messages, const StatusSink &status, bool ok, const QString &text)
{
    if (status)
        status(text);
    if (!ok)
        messages.show(text, transfer::exportBoxTitle(), platform::MessageIcon::Critical);
}

} // namespace

void runIcsExport(QWidget *owner, session::AppContext &context, platform::MessageSink &messages,
    const StatusSink &status, const QDateTime &now, const widgets::ModalRunner &runner)
{
    const QString path = pickTarget(owner, messages, transfer::icsChooserTitle(),
        dialogs::IcsFileFilter, runner, context.DbPath);
    if (path.isEmpty())
        return;
    const bool festivals =
        messages.show(u"是否把节日和二十四节气也导出到手机日历?"_s, transfer::icsChooserTitle(),
            platform::MessageIcon::Question, platform::MessageButtons::YesNo)
        == platform::MessageButton::Yes;
    const transfer::IcsOptions options { now.date().year(), transfer::DefaultIcsYears, festivals,
        now };
    const transfer::IcsExportResult result =
        transfer::exportIcs(context.loadedBirthdays(), path, options, context.DbPath);
    report(messages, status, result.ok, result.statusText);
}

void runVcfExport(QWidget *owner, session::AppContext &context, platform::MessageSink &messages,
    const StatusSink &status, const widgets::ModalRunner &runner)
{
    const QString path = pickTarget(owner, messages, transfer::vcardChooserTitle(),
        dialogs::VcfFileFilter, runner, context.DbPath);
    if (path.isEmpty())
        return;
    const transfer::VcardExportResult result =
        transfer::exportVcards(context.loadedBirthdays(), path, context.DbPath);
    report(messages, status, result.ok, result.statusText);
}

bool runVcfImport(QWidget *owner, session::AppContext &context, platform::MessageSink &messages,
    const platform::Clock &clock, const StatusSink &status, const widgets::ModalRunner &runner)
{
    if (!context.DbConnection)
        return false;
    const transfer::ImportLayout layout = transfer::ImportLayout::Vcf;
    dialogs::PickedFile picked;
    if (!pickFile(owner, picked, transfer::chooserTitle(layout), dialogs::VcfFileFilter, runner,
            dialogs::ChooserUse::Import))
        return false;
    const QString category = transfer::DefaultVcardCategory.toString();
    transfer::VcardImportReading cards =
        transfer::readVcardImportFile(picked.PickedFileText, category, status);
    const transfer::ImportReading &reading = cards.reading;
    if (reading.failure) {
        messages.show(reading.failure->boxText, reading.failure->boxTitle);
        if (status && !reading.failure->statusText.isEmpty())
            status(reading.failure->statusText);
        return false;
    }
    const store::BirthdayList present = context.loadedBirthdays();
    const auto previewFor = [&cards, &present](const QString &chosen) {
        transfer::setVcardCategory(cards, chosen);
        return transfer::buildImportPreview(cards.reading.records, present);
    };
    dialogs::frmFileIn preview(
        previewFor(category), layout, *context.DbConnection, clock, context.CurrentSkin, owner);
    preview.offerCategoryChoice(category, previewFor);
    QStringList leftOut = { transfer::withoutBirthdayText(cards.withoutBirthday),
        transfer::withoutYearText(cards.withoutYear) };
    leftOut.removeAll(QString());
    preview.addNote(leftOut.join(u' '));
    widgets::runModal(runner, preview);
    const auto &outcome = preview.outcome();
    if (!outcome) {
        // Closed without adding: the reading's "…请稍候" must not stay behind.
        if (status)
            status(transfer::chooserTitle(layout) + QStringLiteral("已取消"));
        return false;
    }
    if (status)
        status(outcome->statusText);
    return outcome->ok && outcome->added > 0;
}

} // namespace natalis::app
