#include "dialogs/frmfilein.h"

#include "dialogs/importpreviewmodel.h"
#include "platform/clock.h"
#include "store/categories.h"
#include "store/connection.h"
#include "store/windowstate.h"
#include "widgets/dialogparts.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QTreeView>
#include <QVBoxLayout>
#include <array>

namespace natalis::dialogs {

namespace {

constexpr std::array<transfer::EncodingChoice, 4> EncodingChoices = {
    transfer::EncodingChoice::Auto,
    transfer::EncodingChoice::Gbk,
    transfer::EncodingChoice::Utf8,
    transfer::EncodingChoice::Utf16,
};

QString reportToggleText(int notes, bool open)
{
    return QStringLiteral("导入说明(%1条)%2")
        .arg(notes)
        .arg(open ? QStringLiteral("▲") : QStringLiteral("▼"));
}

} // namespace

QString columnMemoryKey(const transfer::ColumnMapping &mapping)
{
    return QStringLiteral("importColumns/") + mapping.key();
}

frmFileIn::frmFileIn(transfer::ImportPreview preview, transfer::ImportLayout layout,
    store::Connection &connection, const platform::Clock &clock, int skin, QWidget *parent)
    : QDialog(parent), m_preview(std::move(preview)), m_layout(layout), m_connection(connection),
      m_clock(clock)
{
    setObjectName(QStringLiteral("frmFileIn"));
    setWindowTitle(transfer::chooserTitle(layout));
    buildControls();
    showPreview();
    widgets::applyListSkin(this, skin);
}

frmFileIn::~frmFileIn() = default;

QWidget *frmFileIn::buildEncodingRow()
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *caption =
        widgets::namedLabel(this, QStringLiteral("lblEncoding"), QStringLiteral("文件编码:"));
    layout->addWidget(caption);
    m_encoding = new QComboBox(this);
    m_encoding->setObjectName(QStringLiteral("cboEncoding"));
    caption->setBuddy(m_encoding);
    widgets::nameForReader(m_encoding, QStringLiteral("文件编码"),
        QStringLiteral("文字显示为乱码时,请选择文件的编码重新读取"));
    m_encoding->addItems({ QStringLiteral("自动"), QStringLiteral("GBK"), QStringLiteral("UTF-8"),
        QStringLiteral("UTF-16") });
    m_encoding->setToolTip(QStringLiteral("文字显示为乱码时,请选择文件的编码重新读取"));
    m_encoding->setEnabled(false);
    layout->addWidget(m_encoding);
    m_encodingUsed = widgets::namedLabel(this, QStringLiteral("lblEncodingUsed"));
    layout->addWidget(m_encodingUsed);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("prgRead"));
    m_progress->setVisible(false);
    layout->addWidget(m_progress, 1);
    m_stopReading =
        widgets::namedButton(this, QStringLiteral("cmdStopRead"), QStringLiteral("停止读取"));
    m_stopReading->setVisible(false);
    layout->addWidget(m_stopReading);
    layout->addStretch();
    connect(m_encoding, &QComboBox::activated, this, &frmFileIn::chooseEncoding);
    return row;
}

QWidget *frmFileIn::buildReport()
{
    auto *box = new QWidget(this);
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    m_reportToggle = widgets::namedButton(this, QStringLiteral("cmdReport"), QString());
    m_reportToggle->setFlat(true);
    m_reportToggle->setCheckable(true);
    layout->addWidget(m_reportToggle, 0, Qt::AlignLeft);
    m_report = new QListWidget(this);
    m_report->setObjectName(QStringLiteral("lstReport"));
    widgets::nameForReader(m_report, QStringLiteral("读取报告"));
    m_report->setMaximumHeight(120);
    m_report->setUniformItemSizes(true);
    layout->addWidget(m_report);
    connect(m_reportToggle, &QPushButton::toggled, this, &frmFileIn::setReportOpen);
    return box;
}

void frmFileIn::buildControls()
{
    auto *counts = new QHBoxLayout;
    counts->setSpacing(0);
    counts->addWidget(widgets::namedLabel(this, QStringLiteral("lblCaption"),
        QStringLiteral("从外部文件分析提取的生日记录列表如下(共")));
    m_allCount = widgets::namedLabel(this, QStringLiteral("lblInAllNums"));
    counts->addWidget(m_allCount);
    counts->addWidget(widgets::namedLabel(this, QStringLiteral("Label4"), QStringLiteral(",其中")));
    m_tickedCount = widgets::namedLabel(this, QStringLiteral("lblInValidNums"));
    counts->addWidget(m_tickedCount);
    counts->addWidget(widgets::namedLabel(
        this, QStringLiteral("Label2"), QStringLiteral("有效)您愿意追加到生日数据库吗?")));
    counts->addStretch();

    m_list = new QTreeView(this);
    m_list->setObjectName(QStringLiteral("ListView2"));
    widgets::nameForReader(m_list, QStringLiteral("提取的生日记录"),
        QStringLiteral("选中的记录追加到生日数据库,没选中的和数据库中同类别的生日名称有重复;"
                       "点击标题栏按相应标题排序"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setSortingEnabled(false);
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
        m_model->sort(column, order);
    });
    m_list->setMinimumSize(900, 300);

    auto *buttons = new QDialogButtonBox(this);
    m_ok = actButton(buttons, QStringLiteral("cmdOK"), widgets::WindowAct::Accept);
    auto *no = actButton(buttons, QStringLiteral("cmdNo"), widgets::WindowAct::Reject);

    // One box per column of a sheet, scrolled sideways when the sheet is wider than the window.
    auto *columns = new QScrollArea(this);
    columns->setObjectName(QStringLiteral("scrColumns"));
    columns->setWidgetResizable(true);
    columns->setFrameShape(QFrame::NoFrame);
    columns->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_columnRow = columns;
    m_columnRow->setVisible(false);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(counts);
    layout->addWidget(buildEncodingRow());
    layout->addWidget(m_columnRow);
    layout->addWidget(m_list, 1);
    layout->addWidget(widgets::namedLabel(this, QStringLiteral("Label1"),
        QStringLiteral("(选中的为有效的,没选中的说明和数据库中同类别的生日名称有重复)")));
    layout->addWidget(buildReport());
    layout->addWidget(buttons);
    m_status = widgets::addStatusPanel(layout, this);

    connect(m_ok, &QPushButton::clicked, this, &frmFileIn::cmdOK_Click);
    connect(no, &QPushButton::clicked, this, &frmFileIn::cmdNo_Click);
}

void frmFileIn::showPreview()
{
    auto *model = new ImportPreviewModel(m_preview, m_layout, this);
    m_list->setModel(model);
    delete m_model;
    m_model = model;
    m_list->header()->setSortIndicatorShown(false);
    // The view measures the rows it shows, not a million of them.
    for (int column = 0; column < model->columnCount(); ++column)
        m_list->resizeColumnToContents(column);
    m_allCount->setText(QString::number(m_preview.rows.size()));
    m_tickedCount->setText(QString::number(m_preview.tickedCount));
    m_ok->setEnabled(m_preview.tickedCount > 0);
    m_encodingUsed->setText(
        QStringLiteral("(按%1读取)").arg(transfer::encodingName(m_preview.encoding)));
    showColumnBoxes();

    const QStringList lines = transfer::reportLines(m_preview);
    m_report->clear();
    m_report->addItems(lines);
    m_reportToggle->setVisible(!lines.isEmpty());
    m_reportToggle->setText(reportToggleText(int(lines.size()), m_reportToggle->isChecked()));
    setReportOpen(m_reportToggle->isChecked());
    showStatus();
}

void frmFileIn::setReportOpen(bool open)
{
    m_report->setVisible(open && m_report->count() > 0);
    m_reportToggle->setText(reportToggleText(m_report->count(), open));
}

void frmFileIn::setReader(PreviewReader reader)
{
    m_reader = std::move(reader);
    m_encoding->setEnabled(bool(m_reader));
}

void frmFileIn::chooseEncoding(int index)
{
    if (!m_reader || index < 0 || index >= int(EncodingChoices.size()))
        return;
    m_encoding->setCurrentIndex(index);
    m_choice.encoding = EncodingChoices[std::size_t(index)];
    reread();
}

void frmFileIn::readFirst(PreviewReader reader)
{
    setReader(std::move(reader));
    // Nothing has been read yet in any encoding.
    m_encodingUsed->clear();
    m_status->setText(transfer::readingText(m_layout));
    reread(true);
}

void frmFileIn::reread(bool first)
{
    if (m_run || !m_reader)
        return;
    showWorking(true, QStringLiteral("停止读取"));
    m_run = widgets::startOnWorker(
        this, m_progress, m_stopReading,
        [reader = m_reader, choice = m_choice](
            widgets::WorkerProgress &progress) { return reader(choice, progress); },
        [this, first](PreviewReading reading) { readingDone(std::move(reading), first); });
}

void frmFileIn::readingDone(PreviewReading reading, bool first)
{
    m_run = nullptr; // ended: the remembered columns may read again at once
    showWorking(false);
    if (m_closeWhenDone) {
        QDialog::reject();
        return;
    }
    if (reading.preview) {
        m_preview = std::move(*reading.preview);
        showPreview();
        if (first)
            applyRememberedColumns();
        return;
    }
    if (first) {
        m_firstReading = std::move(reading);
        QDialog::reject();
        return;
    }
    m_status->setText(reading.cancelled ? QStringLiteral("读取已停止,列表没有改变")
            : reading.failure           ? reading.failure->boxText
                                        : QString());
}

void frmFileIn::showWorking(bool on, const QString &stop)
{
    m_encoding->setEnabled(!on && m_reader);
    m_columnRow->setEnabled(!on);
    if (m_category)
        m_category->setEnabled(!on);
    m_ok->setEnabled(!on && m_preview.tickedCount > 0);
    m_progress->setVisible(on);
    m_stopReading->setText(stop);
    m_stopReading->setVisible(on);
}

void frmFileIn::showColumnBoxes()
{
    const std::optional<transfer::ColumnMapping> &sheet = m_preview.sheet;
    m_columnRow->setVisible(sheet.has_value());
    if (!sheet)
        return;
    if (sheet->titles != m_columnTitles) {
        m_columnTitles = sheet->titles;
        m_columnBoxes.clear();
        auto *row = new QWidget;
        auto *layout = new QHBoxLayout(row);
        layout->setContentsMargins(0, 0, 0, 0);
        const QList<transfer::SheetFieldChoice> choices = transfer::sheetFieldChoices();
        for (qsizetype column = 0; column < sheet->titles.size(); ++column) {
            auto *cell = new QVBoxLayout;
            auto *title = new QLabel(sheet->titles[column].trimmed(), row);
            title->setObjectName(QStringLiteral("lblColumn%1").arg(column));
            cell->addWidget(title);
            auto *box = new QComboBox(row);
            box->setObjectName(QStringLiteral("cboColumn%1").arg(column));
            title->setBuddy(box);
            // Titles may repeat or be blank; the column's number keeps each name its own.
            widgets::nameForReader(box,
                QStringLiteral("第%1列 %2")
                    .arg(QString::number(column + 1), title->text())
                    .trimmed(),
                QStringLiteral("这一列导入为哪一项"));
            for (const transfer::SheetFieldChoice &choice : choices)
                box->addItem(choice.name, choice.field);
            cell->addWidget(box);
            // The room kept for a sideways scroll bar goes below the boxes, not between a
            // title and its box.
            cell->addStretch();
            cell->setSpacing(2);
            layout->addLayout(cell);
            m_columnBoxes.append(box);
            connect(box, &QComboBox::activated, this, [this, column, box](int item) {
                chooseColumnField(int(column), box->itemData(item).toInt());
            });
        }
        layout->addStretch();
        static_cast<QScrollArea *>(m_columnRow)->setWidget(row);
        m_columnRow->setFixedHeight(row->sizeHint().height() + 24);
    }
    for (qsizetype column = 0; column < m_columnBoxes.size(); ++column) {
        QComboBox *box = m_columnBoxes[column];
        box->setCurrentIndex(box->findData(sheet->fields.value(column, transfer::NotImported)));
    }
}

void frmFileIn::chooseColumnField(int column, int field)
{
    if (!m_preview.sheet || column < 0 || column >= m_preview.sheet->fields.size())
        return;
    transfer::ColumnMapping mapping = *m_preview.sheet;
    mapping.fields[column] = field;
    // Remembered even when the file cannot be read again: the choice was the user's.
    store::writeWindowState(m_connection, columnMemoryKey(mapping), mapping.fieldsText().toUtf8());
    m_preview.sheet = mapping;
    m_choice.columns = mapping.fields;
    if (m_reader)
        reread();
}

void frmFileIn::applyRememberedColumns()
{
    if (!m_preview.sheet || !m_reader)
        return;
    transfer::ColumnMapping mapping = *m_preview.sheet;
    const std::optional<QByteArray> remembered =
        store::readWindowState(m_connection, columnMemoryKey(mapping));
    if (!remembered || !mapping.setFieldsText(QString::fromUtf8(*remembered))
        || mapping == *m_preview.sheet)
        return;
    m_choice.columns = mapping.fields;
    reread();
}

QStringList frmFileIn::columnChoices() const
{
    QStringList texts;
    for (const QComboBox *box : m_columnBoxes)
        texts << box->currentText();
    return texts;
}

int frmFileIn::rowCount() const
{
    return m_model->rowCount();
}

bool frmFileIn::isRowTicked(int row) const
{
    const int shown = m_model->modelRow(row);
    return shown >= 0
        && m_model->data(m_model->index(shown, 0), Qt::CheckStateRole).toInt() == Qt::Checked;
}

void frmFileIn::clickRowTick(int row)
{
    const int shown = m_model->modelRow(row);
    if (shown >= 0)
        m_model->setData(m_model->index(shown, 0), isRowTicked(row) ? Qt::Unchecked : Qt::Checked,
            Qt::CheckStateRole);
}

bool frmFileIn::canConfirm() const
{
    return m_ok->isEnabled();
}

QString frmFileIn::statusText() const
{
    return m_status->text();
}

QString frmFileIn::encodingText() const
{
    return m_encodingUsed->text();
}

QStringList frmFileIn::reportLines() const
{
    QStringList lines;
    for (int i = 0; i < m_report->count(); ++i)
        lines << m_report->item(i)->text();
    return lines;
}

void frmFileIn::cmdOK_Click()
{
    if (m_run || m_preview.tickedCount == 0)
        return;
    showWorking(true, QStringLiteral("停止导入"));
    m_status->setText(transfer::addingText(m_layout));
    m_run = widgets::startOnWorker(
        this, m_progress, m_stopReading,
        [path = m_connection.path(), readOnly = m_connection.isReadOnly(), preview = m_preview,
            layout = m_layout, now = m_clock.now()](widgets::WorkerProgress &progress) {
            return transfer::addImportedBirthdays(path, readOnly, preview, layout, now,
                [&progress](int added, int ticked) { return progress.report(added, ticked); });
        },
        [this](transfer::ImportOutcome outcome) { addingDone(std::move(outcome)); });
}

void frmFileIn::addingDone(transfer::ImportOutcome outcome)
{
    m_run = nullptr;
    showWorking(false);
    if (!outcome.stopped) {
        // Written (or refused whole) even when a close came too late to stop it: the caller
        // must hear of what is in the file.
        m_outcome = std::move(outcome);
        accept();
        return;
    }
    if (m_closeWhenDone) {
        QDialog::reject();
        return;
    }
    m_status->setText(outcome.statusText);
}

void frmFileIn::cmdNo_Click()
{
    reject();
}

void frmFileIn::reject()
{
    if (!m_run) {
        QDialog::reject();
        return;
    }
    m_closeWhenDone = true;
    m_run->stop();
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
    auto *caption = widgets::namedLabel(
        this, QStringLiteral("lblType"), QStringLiteral("没有注明类别的名片归入:"));
    caption->setBuddy(m_category);
    widgets::nameForReader(m_category, QStringLiteral("没有注明类别的名片归入"));
    row->addWidget(caption);
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
    showPreview();
}

void frmFileIn::addNote(const QString &note)
{
    if (note.isEmpty())
        return;
    m_note = note;
    showStatus();
}

void frmFileIn::showStatus()
{
    if (m_preview.sheet && !transfer::CsvColumns::fromMapping(*m_preview.sheet)) {
        m_status->setText(
            QStringLiteral("标题行中没有可识别的姓名一列:请在列表上方为各列选择导入的项目"));
        return;
    }
    // The reading's summary first, then what the caller added (e.g. cards left out).
    const QString summary = transfer::reportSummaryText(m_preview);
    m_status->setText(m_note.isEmpty() ? summary
            : summary.isEmpty()        ? m_note
                                       : summary + QStringLiteral(" ") + m_note);
}

} // namespace natalis::dialogs
