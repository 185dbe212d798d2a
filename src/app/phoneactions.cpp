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
QString pickTarget(QWidget *owner, MessageSink &messages, const QString &title,
    const QString &filter, const ModalRunner &runner, const QString &openDatabase)
{
    PickedFile picked;
    if (!pickFile(owner, picked, title, filter, runner, ChooserUse::Export))
        return QString();
    const QString path = picked.PickedFileText;
    if (!transfer::exportRefusal(path, openDatabase) && QFileInfo::exists(path)
        && messages.show(transfer::overwriteQuestion(path), transfer::exportBoxTitle(),
               MessageIcon::Question, MessageButtons::OkCancel)
            != MessageButton::Ok)
        return QString();
    return path;
}

void report(MessageSink &messages, const StatusSink &status, bool ok, const QString &text)
{
    if (status)
        status(text);
    if (!ok)
        messages.show(text, transfer::exportBoxTitle(), MessageIcon::Critical);
}

} // namespace

void runIcsExport(QWidget *owner, AppContext &context, MessageSink &messages,
    const StatusSink &status, const QDateTime &now, const ModalRunner &runner)
{
    const QString path = pickTarget(
        owner, messages, transfer::icsChooserTitle(), IcsFileFilter, runner, context.DbPath);
    if (path.isEmpty())
        return;
    const bool festivals =
        messages.show(u"是否把节日和二十四节气也导出到手机日历?"_s, transfer::icsChooserTitle(),
            MessageIcon::Question, MessageButtons::YesNo)
        == MessageButton::Yes;
    const transfer::IcsOptions options { now.date().year(), transfer::DefaultIcsYears, festivals,
        now };
    const transfer::IcsExportResult result =
        transfer::exportIcs(context.loadedBirthdays(), path, options, context.DbPath);
    report(messages, status, result.ok, result.statusText);
}

void runVcfExport(QWidget *owner, AppContext &context, MessageSink &messages,
    const StatusSink &status, const ModalRunner &runner)
{
    const QString path = pickTarget(
        owner, messages, transfer::vcardChooserTitle(), VcfFileFilter, runner, context.DbPath);
    if (path.isEmpty())
        return;
    const transfer::VcardExportResult result =
        transfer::exportVcards(context.loadedBirthdays(), path, context.DbPath);
    report(messages, status, result.ok, result.statusText);
}

bool runVcfImport(QWidget *owner, AppContext &context, MessageSink &messages, const Clock &clock,
    const StatusSink &status, const ModalRunner &runner)
{
    if (!context.DbConnection)
        return false;
    const transfer::ImportLayout layout = transfer::ImportLayout::Vcf;
    PickedFile picked;
    if (!pickFile(owner, picked, transfer::chooserTitle(layout), VcfFileFilter, runner,
            ChooserUse::Import))
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
    frmFileIn preview(
        previewFor(category), layout, *context.DbConnection, clock, context.CurrentSkin, owner);
    preview.offerCategoryChoice(category, previewFor);
    QStringList leftOut = { transfer::withoutBirthdayText(cards.withoutBirthday),
        transfer::withoutYearText(cards.withoutYear) };
    leftOut.removeAll(QString());
    preview.addNote(leftOut.join(u' '));
    runModal(runner, preview);
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
