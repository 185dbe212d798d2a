#include "app/frmfilein.h"

#include "app/dialogparts.h"
#include "store/categories.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace natalis::app {

namespace {

// The row's place in the file, kept on the item so sorting by a column does not lose it.
constexpr int RowRole = Qt::UserRole;

// How often the adding count is painted, in milliseconds.
constexpr qint64 ProgressPaintMs = 50;

QPushButton *button(const char *name, const QString &text, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

} // namespace

frmFileIn::frmFileIn(transfer::ImportPreview preview, transfer::ImportLayout layout,
    store::Connection &connection, int skin, QWidget *parent)
    : QDialog(parent), m_preview(std::move(preview)), m_layout(layout), m_connection(connection)
{
    setObjectName(QStringLiteral("frmFileIn"));
    setWindowTitle(transfer::chooserTitle(layout));
    buildControls();
    fillRows();
    applyListSkin(this, skin);
    m_status->setText(transfer::skippedLinesText(m_preview.skippedLines));
}

void frmFileIn::buildControls()
{
    auto *counts = new QHBoxLayout;
    counts->setSpacing(0);
    counts->addWidget(namedLabel(this, QStringLiteral("lblCaption"),
        QStringLiteral("从外部文件分析提取的生日记录列表如下(共")));
    counts->addWidget(
        namedLabel(this, QStringLiteral("lblInAllNums"), QString::number(m_preview.rows.size())));
    counts->addWidget(namedLabel(this, QStringLiteral("Label4"), QStringLiteral(",其中")));
    counts->addWidget(
        namedLabel(this, QStringLiteral("lblInValidNums"), QString::number(m_preview.tickedCount)));
    counts->addWidget(namedLabel(
        this, QStringLiteral("Label2"), QStringLiteral("有效)您愿意追加到生日数据库吗?")));
    counts->addStretch();

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("ListView2"));
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels(transfer::previewHeaders(m_layout));
    // Sorting starts on the first header click, so the rows open in file order.
    QHeaderView *header = m_list->header();
    header->setToolTip(QStringLiteral("点击标题栏按相应标题排序"));
    header->setSectionsClickable(true);
    connect(header, &QHeaderView::sectionClicked, this, [this, header](int column) {
        const bool again = header->isSortIndicatorShown()
            && header->sortIndicatorSection() == column
            && header->sortIndicatorOrder() == Qt::AscendingOrder;
        const Qt::SortOrder order = again ? Qt::DescendingOrder : Qt::AscendingOrder;
        header->setSortIndicatorShown(true);
        header->setSortIndicator(column, order);
        m_list->sortItems(column, order);
    });
    m_list->setMinimumSize(900, 300);

    m_ok = button("cmdOK", QStringLiteral("确定(&Y)"), this);
    auto *no = button("cmdNo", QStringLiteral("取消(&N)"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(no);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(counts);
    layout->addWidget(m_list);
    layout->addWidget(namedLabel(this, QStringLiteral("Label1"),
        QStringLiteral("(选中的为有效的,没选中的说明和数据库中同类别的生日名称有重复)")));
    layout->addLayout(buttons);
    m_status = addStatusPanel(layout, this);

    connect(m_ok, &QPushButton::clicked, this, &frmFileIn::cmdOK_Click);
    connect(no, &QPushButton::clicked, this, &frmFileIn::cmdNo_Click);
    connect(m_list, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem *item, int column) {
        if (column == 0)
            restoreTick(item);
    });
}

void frmFileIn::fillRows()
{
    QList<QTreeWidgetItem *> items;
    items.reserve(m_preview.rows.size());
    for (int row = 0; row < m_preview.rows.size(); ++row) {
        const transfer::PreviewRow &preview = m_preview.rows[row];
        auto *item = new QTreeWidgetItem(transfer::previewCells(preview.record));
        item->setData(0, RowRole, row);
        item->setCheckState(0, preview.ticked ? Qt::Checked : Qt::Unchecked);
        items.append(item);
    }
    m_list->addTopLevelItems(items);
    for (int column = 0; column < m_list->columnCount(); ++column)
        m_list->resizeColumnToContents(column);
    m_ok->setEnabled(m_preview.tickedCount > 0);
}

QTreeWidgetItem *frmFileIn::itemOfRow(int row) const
{
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = m_list->topLevelItem(i);
        if (item->data(0, RowRole).toInt() == row)
            return item;
    }
    return nullptr;
}

void frmFileIn::restoreTick(QTreeWidgetItem *item)
{
    const int row = item->data(0, RowRole).toInt();
    if (row < 0 || row >= m_preview.rows.size())
        return;
    const Qt::CheckState wanted = m_preview.rows[row].ticked ? Qt::Checked : Qt::Unchecked;
    if (item->checkState(0) != wanted)
        item->setCheckState(0, wanted);
}

int frmFileIn::rowCount() const
{
    return m_list->topLevelItemCount();
}

bool frmFileIn::isRowTicked(int row) const
{
    const QTreeWidgetItem *item = itemOfRow(row);
    return item && item->checkState(0) == Qt::Checked;
}

void frmFileIn::clickRowTick(int row)
{
    if (QTreeWidgetItem *item = itemOfRow(row))
        item->setCheckState(0, item->checkState(0) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

bool frmFileIn::canConfirm() const
{
    return m_ok->isEnabled();
}

QString frmFileIn::statusText() const
{
    return m_status->text();
}

void frmFileIn::cmdOK_Click()
{
    m_ok->setEnabled(false);
    // Painting the count after every row would cost more than adding the row; a few times a
    // second keeps it moving.
    QElapsedTimer sincePainted;
    sincePainted.start();
    m_outcome = transfer::AddImportedBirthdays(
        m_connection, m_preview, m_layout, [this, &sincePainted](const QString &text) {
            m_status->setText(text);
            if (sincePainted.elapsed() < ProgressPaintMs)
                return;
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            sincePainted.restart();
        });
    accept();
}

void frmFileIn::cmdNo_Click()
{
    reject();
}

void frmFileIn::offerCategoryChoice(const QString &category, PreviewRebuild rebuild)
{
    m_rebuild = std::move(rebuild);
    m_category = new QComboBox(this);
    m_category->setObjectName(QStringLiteral("cboType"));
    for (QStringView name : store::CategoryNames)
        m_category->addItem(name.toString());
    m_category->setCurrentText(category);
    auto *row = new QHBoxLayout;
    row->addWidget(
        namedLabel(this, QStringLiteral("lblType"), QStringLiteral("没有注明类别的名片归入:")));
    row->addWidget(m_category);
    row->addStretch();
    if (auto *layout = qobject_cast<QVBoxLayout *>(this->layout()))
        layout->insertLayout(1, row);
    connect(m_category, &QComboBox::currentTextChanged, this, &frmFileIn::selectCategory);
}

void frmFileIn::selectCategory(const QString &category)
{
    if (!m_rebuild)
        return;
    if (m_category && m_category->currentText() != category) {
        m_category->setCurrentText(category); // comes back here through the signal
        return;
    }
    m_preview = m_rebuild(category);
    m_list->clear();
    fillRows();
    findChild<QLabel *>(QStringLiteral("lblInAllNums"))
        ->setText(QString::number(m_preview.rows.size()));
    findChild<QLabel *>(QStringLiteral("lblInValidNums"))
        ->setText(QString::number(m_preview.tickedCount));
}

void frmFileIn::addNote(const QString &note)
{
    if (note.isEmpty())
        return;
    const QString shown = m_status->text();
    m_status->setText(shown.isEmpty() ? note : shown + QStringLiteral(" ") + note);
}

} // namespace natalis::app
