#include "dialogs/frmbackup.h"

#include "widgets/dialogparts.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace natalis::dialogs {

namespace {

QString sizeText(qint64 bytes)
{
    return QLocale(QLocale::Chinese, QLocale::China)
        .formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
}

QString countText(int birthdays)
{
    return birthdays < 0 ? u"无法打开"_s : QString::number(birthdays);
}

QTableWidgetItem *cell(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

} // namespace

frmBackup::frmBackup(const QList<store::BackupEntry> &backups, int skin, QWidget *parent)
    : QDialog(parent), m_backups(backups)
{
    setObjectName(u"frmBackup"_s);
    setWindowTitle(u"从备份恢复"_s);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(widgets::namedLabel(this, u"lblNote"_s,
        u"选择一份备份恢复生日数据库。恢复前,当前的数据库会先另存为一份备份。"_s));

    m_list = new QTableWidget(int(backups.size()), 3, this);
    m_list->setObjectName(u"lstBackup"_s);
    widgets::nameForReader(
        m_list, u"备份"_s, u"每行一份备份:备份时间、大小和其中的生日数;双击恢复"_s);
    m_list->setHorizontalHeaderLabels({ u"备份时间"_s, u"大小"_s, u"生日数"_s });
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int row = 0; row < int(backups.size()); ++row) {
        const store::BackupEntry &backup = backups[row];
        const bool daily = backup.taken.time() == QTime(0, 0);
        m_list->setItem(row, 0,
            cell(backup.taken.toString(daily ? u"yyyy-MM-dd"_s : u"yyyy-MM-dd HH:mm:ss"_s)));
        m_list->setItem(row, 1, cell(sizeText(backup.bytes)));
        m_list->setItem(row, 2, cell(countText(backup.birthdays)));
    }
    layout->addWidget(m_list, 1);

    m_restore = widgets::namedButton(this, u"cmdRestore"_s, u"恢复(&R)"_s);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(m_restore, QDialogButtonBox::AcceptRole);
    auto *cancel = actButton(buttons, u"cmdCancel"_s, widgets::WindowAct::Close);
    layout->addWidget(buttons);

    connect(m_restore, &QPushButton::clicked, this, &frmBackup::cmdRestore_Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_list, &QTableWidget::itemSelectionChanged, this, &frmBackup::updateButtons);
    connect(m_list, &QTableWidget::cellDoubleClicked, this, &frmBackup::cmdRestore_Click);
    widgets::applyListSkin(this, skin);
    if (!backups.isEmpty())
        m_list->selectRow(0);
    updateButtons();
    resize(460, 300);
}

void frmBackup::updateButtons()
{
    const int row = m_list->currentRow();
    m_restore->setEnabled(
        row >= 0 && m_list->selectionModel()->hasSelection() && m_backups[row].birthdays >= 0);
}

void frmBackup::cmdRestore_Click()
{
    const int row = m_list->currentRow();
    if (row < 0 || m_backups[row].birthdays < 0)
        return;
    m_chosen = m_backups[row].path;
    accept();
}

} // namespace natalis::dialogs
