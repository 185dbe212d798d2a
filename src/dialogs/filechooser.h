#pragma once

#include "widgets/modalrunner.h"

#include <QString>
#include <optional>

class QWidget;

namespace natalis::dialogs {

// What a caller hands the file chooser and gets back from it.
struct PickedFile
{
    QString PickedFileText; // the title on entry, the chosen file's full path on return
    QString PickedFileFilter; // "*.txt" or "*.mp3;*.wav;*.mid"
    bool PickedFileOk = false; // set when a file was chosen
};

inline const QString TextFileFilter = QStringLiteral("*.txt");
inline const QString CsvFileFilter = QStringLiteral("*.csv");
inline const QString MusicFileFilter = QStringLiteral("*.mp3;*.wav;*.mid");
inline const QString IcsFileFilter = QStringLiteral("*.ics"); // phone calendar
inline const QString VcfFileFilter = QStringLiteral("*.vcf"); // phone contacts

// What the chooser is opened for; each use opens in the folder it was last left in during this
// session, at first in the home folder. Only an export may name a file that does not exist yet.
enum class ChooserUse { Import, Export, Music, Numbers };

// The filter as a file dialog shows it: "文本文件 (*.txt)".
QString dialogFilter(const QString &filter);

// The chooser's rules for a chosen path under the chooser titled title: a name without an
// extension gets the filter's (".mp3" for music), and path is changed to it. Returns the refusal
// the user is shown, or nullopt when path may be taken.
std::optional<QString> chosenFileRefusal(
    const QString &title, const QString &filter, QString &path);

// The caller protocol in one call: clears PickedFileOk, sets title and filter, runs the
// desktop's file dialog (the portal's where there is one) in the folder last used for `use`,
// and opens it again after a refusal. True when a file was chosen; its path is then in
// picked.PickedFileText, and its folder is remembered for the next time.
bool pickFile(QWidget *owner, PickedFile &picked, const QString &title, const QString &filter,
    const widgets::ModalRunner &runner, ChooserUse use);

} // namespace natalis::dialogs
