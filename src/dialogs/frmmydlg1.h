#pragma once

#include "widgets/modalrunner.h"

#include <QDialog>
#include <QString>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace natalis::app {

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
// session, at first in the home folder.
enum class ChooserUse { Import, Export, Music, Numbers };

// The program's own file dialog: drive, folder and file lists over the real file system, a name
// box and a type box. The chosen file need not exist, so an export can name a new one. A full
// path typed into the name box is taken as it is, not appended to the current folder.
class frmMyDlg1 : public QDialog
{
    Q_OBJECT

public:
    // Takes its caption from picked.PickedFileText and empties it; startFolder empty = home.
    frmMyDlg1(PickedFile &picked, QWidget *parent = nullptr, const QString &startFolder = {});

    void setFolder(const QString &folder);
    QString folder() const { return m_folder; }
    void setFileName(const QString &name);
    QString fileName() const;
    QStringList fileNames() const; // File1's entries
    QString statusText() const;

    void Drive1_Change(int index);
    void Dir1_DblClick(const QString &entry);
    void File1_Click(const QString &name);
    void File1_DblClick(const QString &name);
    void cmdOK_Click();
    void cmdExit_Click();

private:
    void buildControls();
    void fillDrives();
    void fillFolders();
    void fillFiles();
    bool isMusicFilter() const;
    QString fileKind() const; // how the type box and the refusal name the files of the filter
    // Refuses the name with a message in panel 1, or completes its extension; false = refused.
    bool checkName(QString &name);
    void refuse(const QString &message);

    PickedFile &m_picked;
    QString m_folder;
    QComboBox *m_drives = nullptr;
    QListWidget *m_folders = nullptr;
    QLabel *m_folderLabel = nullptr;
    QListWidget *m_files = nullptr;
    QLineEdit *m_name = nullptr;
    QComboBox *m_pattern = nullptr;
    QLabel *m_status = nullptr;
};

// The caller protocol in one call: clears PickedFileOk, sets title and filter, runs the chooser
// in the folder last used for `use`. True when a file was chosen; its path is then in
// picked.PickedFileText, and its folder is remembered for the next time.
bool pickFile(QWidget *owner, PickedFile &picked, const QString &title, const QString &filter,
    const ModalRunner &runner, ChooserUse use);

} // namespace natalis::app
