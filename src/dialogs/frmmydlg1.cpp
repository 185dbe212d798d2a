#include "dialogs/frmmydlg1.h"

#include "transfer/importlayout.h"
#include "widgets/dialogparts.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace natalis::app {

namespace {

const QString ParentEntry = QStringLiteral("..");

QLabel *caption(const QString &text, QWidget *parent)
{
    return new QLabel(text, parent);
}

bool endsWithSeparator(const QString &folder)
{
    return folder.endsWith(u'/') || folder.endsWith(u'\\');
}

// The folder each use of the chooser was last left in, for this run of the program.
QHash<ChooserUse, QString> &lastFolders()
{
    static QHash<ChooserUse, QString> folders;
    return folders;
}

} // namespace

frmMyDlg1::frmMyDlg1(PickedFile &picked, QWidget *parent, const QString &startFolder)
    : QDialog(parent), m_picked(picked)
{
    setObjectName(QStringLiteral("frmMyDlg1"));
    setWindowTitle(m_picked.PickedFileText);
    m_picked.PickedFileText.clear();
    buildControls();
    fillDrives();
    setFolder(startFolder.isEmpty() ? QDir::homePath() : startFolder);
}

void frmMyDlg1::buildControls()
{
    m_drives = new QComboBox(this);
    m_drives->setObjectName(QStringLiteral("Drive1"));
    m_folders = new QListWidget(this);
    m_folders->setObjectName(QStringLiteral("Dir1"));
    m_folderLabel = new QLabel(this);
    m_folderLabel->setObjectName(QStringLiteral("lblDir"));
    m_folderLabel->setWordWrap(true);
    m_files = new QListWidget(this);
    m_files->setObjectName(QStringLiteral("File1"));
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("txtFileName"));
    m_pattern = new QComboBox(this);
    m_pattern->setObjectName(QStringLiteral("cboPattern"));
    m_pattern->addItem(isMusicFilter() ? QStringLiteral("*.mp3|*.wav|*.mid")
                                       : fileKind() + u'|' + m_picked.PickedFileFilter);
    m_pattern->setCurrentIndex(0);
    auto *ok = new QPushButton(QStringLiteral("确定(&Y)"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    auto *exit = new QPushButton(QStringLiteral("取消"), this);
    exit->setObjectName(QStringLiteral("cmdExit"));

    auto *grid = new QGridLayout;
    grid->addWidget(caption(QStringLiteral("文件名:"), this), 0, 0);
    grid->addWidget(m_name, 1, 0);
    grid->addWidget(caption(QStringLiteral("文件列表:"), this), 2, 0);
    grid->addWidget(m_files, 3, 0, 3, 1);
    grid->addWidget(caption(QStringLiteral("查找范围:"), this), 0, 1);
    grid->addWidget(m_drives, 1, 1);
    grid->addWidget(caption(QStringLiteral("目录:"), this), 2, 1);
    grid->addWidget(m_folderLabel, 3, 1);
    grid->addWidget(m_folders, 4, 1, 2, 1);
    grid->addWidget(caption(QStringLiteral("文件类型:"), this), 6, 0);
    grid->addWidget(m_pattern, 7, 0);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(exit);
    grid->addLayout(buttons, 7, 1);
    grid->setColumnMinimumWidth(0, 220);
    grid->setColumnMinimumWidth(1, 220);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    m_status = addStatusPanel(layout, this);

    connect(m_drives, &QComboBox::activated, this, &frmMyDlg1::Drive1_Change);
    connect(m_folders, &QListWidget::itemActivated, this,
        [this](QListWidgetItem *item) { Dir1_DblClick(item->text()); });
    connect(m_files, &QListWidget::itemClicked, this,
        [this](QListWidgetItem *item) { File1_Click(item->text()); });
    connect(m_files, &QListWidget::itemActivated, this,
        [this](QListWidgetItem *item) { File1_DblClick(item->text()); });
    connect(ok, &QPushButton::clicked, this, &frmMyDlg1::cmdOK_Click);
    connect(exit, &QPushButton::clicked, this, &frmMyDlg1::cmdExit_Click);
}

void frmMyDlg1::fillDrives()
{
    for (const QFileInfo &drive : QDir::drives())
        m_drives->addItem(QDir::toNativeSeparators(drive.absolutePath()), drive.absolutePath());
}

void frmMyDlg1::setFolder(const QString &folder)
{
    m_folder = QDir(folder).absolutePath();
    for (int i = 0; i < m_drives->count(); ++i) {
        if (m_folder.startsWith(m_drives->itemData(i).toString(), Qt::CaseInsensitive))
            m_drives->setCurrentIndex(i);
    }
    m_folderLabel->setText(QDir::toNativeSeparators(m_folder));
    fillFolders();
    fillFiles();
}

void frmMyDlg1::fillFolders()
{
    m_folders->clear();
    QDir dir(m_folder);
    if (!dir.isRoot())
        m_folders->addItem(ParentEntry);
    m_folders->addItems(dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name));
}

void frmMyDlg1::fillFiles()
{
    m_files->clear();
    const QStringList patterns = m_picked.PickedFileFilter.split(u';', Qt::SkipEmptyParts);
    m_files->addItems(
        QDir(m_folder).entryList(patterns, QDir::Files, QDir::Name | QDir::IgnoreCase));
}

void frmMyDlg1::Drive1_Change(int index)
{
    if (index >= 0)
        setFolder(m_drives->itemData(index).toString());
}

void frmMyDlg1::Dir1_DblClick(const QString &entry)
{
    QDir dir(m_folder);
    if (entry == ParentEntry ? dir.cdUp() : dir.cd(entry))
        setFolder(dir.absolutePath());
}

void frmMyDlg1::setFileName(const QString &name)
{
    m_name->setText(name);
}

QString frmMyDlg1::fileName() const
{
    return m_name->text();
}

QStringList frmMyDlg1::fileNames() const
{
    QStringList names;
    for (int i = 0; i < m_files->count(); ++i)
        names.append(m_files->item(i)->text());
    return names;
}

QString frmMyDlg1::statusText() const
{
    return m_status->text();
}

void frmMyDlg1::File1_Click(const QString &name)
{
    m_name->setText(name);
}

void frmMyDlg1::File1_DblClick(const QString &name)
{
    m_name->setText(name);
    cmdOK_Click();
}

bool frmMyDlg1::isMusicFilter() const
{
    return m_picked.PickedFileFilter == MusicFileFilter;
}

QString frmMyDlg1::fileKind() const
{
    if (m_picked.PickedFileFilter == IcsFileFilter)
        return QStringLiteral("日历文件");
    if (m_picked.PickedFileFilter == VcfFileFilter)
        return QStringLiteral("通讯录文件");
    if (m_picked.PickedFileFilter == CsvFileFilter)
        return QStringLiteral("CSV文件");
    return QStringLiteral("文本文件");
}

void frmMyDlg1::refuse(const QString &message)
{
    m_status->setText(message);
    m_name->setFocus();
    m_name->selectAll();
}

bool frmMyDlg1::checkName(QString &name)
{
    if (windowTitle() == transfer::chooserTitle(transfer::ImportLayout::V10)
        && QFileInfo(name).fileName() != u"birth.txt") {
        m_name->setText(QStringLiteral("birth.txt"));
        refuse(QStringLiteral("v1.0生日文件应该是birth.txt"));
        return false;
    }
    if (name.isEmpty()) {
        m_status->setText(QStringLiteral("必须指定文件名!"));
        m_name->setFocus();
        return false;
    }
    if (!QFileInfo(name).fileName().contains(u'.')) {
        name += isMusicFilter() ? QStringLiteral(".mp3") : m_picked.PickedFileFilter.mid(1);
        m_name->setText(name);
        return true;
    }
    const QString extension = name.right(4).toLower();
    if (!isMusicFilter() && extension != m_picked.PickedFileFilter.mid(1)) {
        refuse(QStringLiteral("必须指定") + fileKind() + u'(' + m_picked.PickedFileFilter
            + QStringLiteral(")!"));
        return false;
    }
    if (isMusicFilter() && extension != u".mp3" && extension != u".wav" && extension != u".mid") {
        refuse(QStringLiteral("必须指定音乐文件文件(*.mp3|*.wav|*.mid)!"));
        return false;
    }
    return true;
}

void frmMyDlg1::cmdOK_Click()
{
    QString name = m_name->text().trimmed();
    if (!checkName(name))
        return;
    const QString separator = endsWithSeparator(m_folder) ? QString() : QStringLiteral("/");
    const QString path =
        QDir::isAbsolutePath(name) ? QDir::cleanPath(name) : m_folder + separator + name;
    m_picked.PickedFileText = QDir::toNativeSeparators(path);
    m_picked.PickedFileOk = true;
    accept();
}

void frmMyDlg1::cmdExit_Click()
{
    m_picked.PickedFileOk = false;
    reject();
}

bool pickFile(QWidget *owner, PickedFile &picked, const QString &title, const QString &filter,
    const ModalRunner &runner, ChooserUse use)
{
    picked.PickedFileText = title;
    picked.PickedFileFilter = filter;
    picked.PickedFileOk = false;
    frmMyDlg1 dialog(picked, owner, lastFolders().value(use));
    runModal(runner, dialog);
    if (picked.PickedFileOk)
        lastFolders()[use] =
            QFileInfo(QDir::fromNativeSeparators(picked.PickedFileText)).absolutePath();
    return picked.PickedFileOk;
}

} // namespace natalis::app
