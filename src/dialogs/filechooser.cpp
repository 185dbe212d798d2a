#include "dialogs/filechooser.h"

#include "transfer/importlayout.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHash>
#include <QMessageBox>

namespace natalis::dialogs {

namespace {

const QString V10FileName = QStringLiteral("birth.txt");

// The folder each use of the chooser was last left in, for this run of the program.
QHash<ChooserUse, QString> &lastFolders()
{
    static QHash<ChooserUse, QString> folders;
    return folders;
}

bool isMusic(const QString &filter)
{
    return filter == MusicFileFilter;
}

// How the filter and the refusal name the files of the filter.
QString fileKind(const QString &filter)
{
    if (isMusic(filter))
        return QStringLiteral("音乐文件");
    if (filter == IcsFileFilter)
        return QStringLiteral("日历文件");
    if (filter == VcfFileFilter)
        return QStringLiteral("通讯录文件");
    if (filter == CsvFileFilter)
        return QStringLiteral("CSV文件");
    return QStringLiteral("文本文件");
}

bool isV10Import(const QString &title)
{
    return title == transfer::chooserTitle(transfer::ImportLayout::V10);
}

} // namespace

QString dialogFilter(const QString &filter)
{
    return fileKind(filter) + QStringLiteral(" (") + QString(filter).replace(u';', u' ') + u')';
}

std::optional<QString> chosenFileRefusal(const QString &title, const QString &filter, QString &path)
{
    const QString name = QFileInfo(path).fileName();
    if (isV10Import(title) && name != V10FileName)
        return QStringLiteral("v1.0生日文件应该是birth.txt");
    if (name.trimmed().isEmpty())
        return QStringLiteral("必须指定文件名!");
    if (!name.contains(u'.')) {
        path += isMusic(filter) ? QStringLiteral(".mp3") : filter.mid(1);
        return std::nullopt;
    }
    const QString extension = name.right(4).toLower();
    if (!isMusic(filter) && extension != filter.mid(1))
        return QStringLiteral("必须指定") + fileKind(filter) + u'(' + filter + QStringLiteral(")!");
    if (isMusic(filter) && extension != u".mp3" && extension != u".wav" && extension != u".mid")
        return QStringLiteral("必须指定音乐文件文件(*.mp3|*.wav|*.mid)!");
    return std::nullopt;
}

bool pickFile(QWidget *owner, PickedFile &picked, const QString &title, const QString &filter,
    const widgets::ModalRunner &runner, ChooserUse use)
{
    picked.PickedFileText.clear();
    picked.PickedFileFilter = filter;
    picked.PickedFileOk = false;
    QString folder = lastFolders().value(use, QDir::homePath());
    QString suggested = isV10Import(title) ? V10FileName : QString();
    for (;;) {
        // An instance rather than the static getters, so that the test runner can answer it; it
        // goes to the same platform dialog (the portal's where there is one) as they do.
        QFileDialog dialog(owner, title, folder, dialogFilter(filter));
        dialog.setObjectName(QStringLiteral("dlgFile"));
        if (use == ChooserUse::Export) {
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            // The caller asks before replacing, after refusing the targets it must not write.
            dialog.setOption(QFileDialog::DontConfirmOverwrite);
        } else {
            dialog.setFileMode(QFileDialog::ExistingFile);
        }
        if (!suggested.isEmpty())
            dialog.selectFile(suggested);
        widgets::runModal(runner, dialog);
        if (dialog.result() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return false;
        QString path = QDir::cleanPath(dialog.selectedFiles().constFirst());
        const std::optional<QString> refusal = chosenFileRefusal(title, filter, path);
        if (!refusal) {
            picked.PickedFileText = QDir::toNativeSeparators(path);
            picked.PickedFileOk = true;
            lastFolders()[use] = QFileInfo(path).absolutePath();
            return true;
        }
        QMessageBox box(QMessageBox::Warning, title, *refusal, QMessageBox::Ok, owner);
        widgets::runModal(runner, box);
        folder = QFileInfo(path).absolutePath();
        suggested = isV10Import(title) ? V10FileName : QFileInfo(path).fileName();
    }
}

} // namespace natalis::dialogs
