#pragma once

#include "transfer/importinsert.h"
#include "transfer/importlayout.h"
#include "transfer/importpreview.h"
#include "widgets/workerrun.h"

#include <QDialog>
#include <QPointer>
#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTreeView;

namespace natalis::platform {
class Clock;
} // namespace natalis::platform

namespace natalis::store {
class Connection;
}

namespace natalis::dialogs {

class ImportPreviewModel;

// One reading of the import file for the preview: the rows, or why there are none.
struct PreviewReading
{
    std::optional<transfer::ImportPreview> preview;
    std::optional<transfer::ImportFailure> failure; // why preview is empty, unless cancelled
    bool cancelled = false;
};

// How the file is to be read: its encoding, and a sheet's columns as the user mapped them.
struct PreviewChoice
{
    transfer::EncodingChoice encoding = transfer::EncodingChoice::Auto;
    std::optional<QList<int>> columns;
};

// Reads the file again as chosen; runs on a worker, so it must not touch widgets. A sheet whose
// titles name no name column gives a preview without rows, for the mapping step.
using PreviewReader =
    std::function<PreviewReading(const PreviewChoice &choice, widgets::WorkerProgress &progress)>;

// Where the columns chosen for a sheet are remembered, per header row.
QString columnMemoryKey(const transfer::ColumnMapping &mapping);

// The import preview: every record read, duplicates unticked. The user only confirms or cancels;
// the ticks follow the duplicate rule and cannot be changed. cmdOK adds the ticked rows. The
// encoding the file was read in is shown and can be changed, which reads the file again; the
// reader's report (lines skipped, values refused) folds out under the list. A sheet read by its
// titles gets a row of boxes above the list, one per column, naming the field it feeds; a
// change reads the file again and is remembered for sheets with the same titles.
class frmFileIn : public QDialog
{
    Q_OBJECT

public:
    // clock gives the moment of the import's rows.
    frmFileIn(transfer::ImportPreview preview, transfer::ImportLayout layout,
        store::Connection &connection, const platform::Clock &clock, int skin,
        QWidget *parent = nullptr);
    ~frmFileIn() override;

    // Enables the encoding choice; without a reader it stays as the file was read.
    void setReader(PreviewReader reader);
    // Reads the file with reader on a worker while the window shows; then the columns last
    // chosen for a sheet with its titles apply. A reading that gives no rows to show, stopped or
    // failed, closes the window: firstReading() says why.
    void readFirst(PreviewReader reader);
    // The first reading when it closed the window, else nullopt.
    const std::optional<PreviewReading> &firstReading() const { return m_firstReading; }
    // True while a reading or the adding runs on a worker; the window waits for neither.
    bool isWorking() const { return !m_run.isNull(); }

    int rowCount() const;
    bool isRowTicked(int row) const; // row in file order
    void clickRowTick(int row); // as a click on the row's check box
    bool canConfirm() const; // cmdOK enabled
    QString statusText() const;
    QString encodingText() const; // lblEncodingUsed
    QStringList reportLines() const; // lstReport's lines
    // Reads the file again as cboEncoding's item index (0 自动, 1 GBK, 2 UTF-8, 3 UTF-16) says.
    void chooseEncoding(int index);
    // Feeds the sheet's column (from 0) into field (a transfer::sheetFieldChoices field), as
    // choosing it in that column's box; remembers the choice and reads the file again.
    void chooseColumnField(int column, int field);
    // Reads the file again with the columns last chosen for a sheet with these titles, if any.
    void applyRememberedColumns();
    QStringList columnChoices() const; // each column box's current text
    // Set once the adding cmdOK started has ended other than by 停止: what was added, and the
    // main window's status text.
    const std::optional<transfer::ImportOutcome> &outcome() const { return m_outcome; }

    // Adds the ticked rows on a worker with a connection of its own, in one transaction; 停止
    // rolls it back and keeps the window open. The window closes once the rows are written.
    void cmdOK_Click();
    void cmdNo_Click();
    // While a worker runs, closing asks it to stop and the window closes once it has.
    void reject() override;

    // Shows a category box (cboType, starting at category) above the list; choosing another
    // category rebuilds the rows, ticks included, from what rebuild returns for it.
    using PreviewRebuild = std::function<transfer::ImportPreview(const QString &category)>;
    void offerCategoryChoice(const QString &category, PreviewRebuild rebuild);
    void selectCategory(const QString &category); // as choosing it in cboType
    // A note in the status bar, after the one on unreadable lines.
    void addNote(const QString &note);

private:
    void buildControls();
    QWidget *buildEncodingRow();
    QWidget *buildReport();
    void showColumnBoxes();
    void reread(bool first = false);
    void readingDone(PreviewReading reading, bool first);
    void addingDone(transfer::ImportOutcome outcome);
    // Shows the bar and the stop button (captioned stop) and holds every control that would
    // start the work again; off gives them back.
    void showWorking(bool on, const QString &stop = {});
    void showPreview();
    void showStatus();
    void setReportOpen(bool open);

    transfer::ImportPreview m_preview;
    transfer::ImportLayout m_layout;
    store::Connection &m_connection;
    const platform::Clock &m_clock;
    PreviewReader m_reader;
    PreviewChoice m_choice;
    QWidget *m_columnRow = nullptr;
    QList<QComboBox *> m_columnBoxes;
    QStringList m_columnTitles; // of the boxes shown
    ImportPreviewModel *m_model = nullptr;
    QTreeView *m_list = nullptr;
    QLabel *m_allCount = nullptr;
    QLabel *m_tickedCount = nullptr;
    QComboBox *m_encoding = nullptr;
    QLabel *m_encodingUsed = nullptr;
    QProgressBar *m_progress = nullptr;
    QPushButton *m_stopReading = nullptr;
    QPushButton *m_reportToggle = nullptr;
    QListWidget *m_report = nullptr;
    QPushButton *m_ok = nullptr;
    QLabel *m_status = nullptr;
    QString m_note; // added by the caller after the reading's summary
    QComboBox *m_category = nullptr;
    PreviewRebuild m_rebuild;
    std::optional<transfer::ImportOutcome> m_outcome;
    std::optional<PreviewReading> m_firstReading;
    QPointer<widgets::WorkerRun> m_run;
    bool m_closeWhenDone = false;
};

} // namespace natalis::dialogs
