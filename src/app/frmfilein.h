#pragma once

#include "transfer/importinsert.h"
#include "transfer/importlayout.h"
#include "transfer/importpreview.h"

#include <QDialog>
#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace natalis::store {
class Connection;
}

namespace natalis::app {

// The import preview: every record read, duplicates unticked. The user only confirms or cancels;
// the ticks follow the duplicate rule and cannot be changed. cmdOK adds the ticked rows.
class frmFileIn : public QDialog
{
    Q_OBJECT

public:
    frmFileIn(transfer::ImportPreview preview, transfer::ImportLayout layout,
        store::Connection &connection, int skin, QWidget *parent = nullptr);

    int rowCount() const;
    bool isRowTicked(int row) const; // row in file order
    void clickRowTick(int row); // as a click on the row's check box
    bool canConfirm() const; // cmdOK enabled
    QString statusText() const;
    // Set by cmdOK: what was added, and the main window's status text.
    const std::optional<transfer::ImportOutcome> &outcome() const { return m_outcome; }

    void cmdOK_Click();
    void cmdNo_Click();

    // Shows a category box (cboType, starting at category) above the list; choosing another
    // category rebuilds the rows, ticks included, from what rebuild returns for it.
    using PreviewRebuild = std::function<transfer::ImportPreview(const QString &category)>;
    void offerCategoryChoice(const QString &category, PreviewRebuild rebuild);
    void selectCategory(const QString &category); // as choosing it in cboType
    // A note in the status bar, after the one on unreadable lines.
    void addNote(const QString &note);

private:
    void buildControls();
    void fillRows();
    QTreeWidgetItem *itemOfRow(int row) const;
    void restoreTick(QTreeWidgetItem *item);

    transfer::ImportPreview m_preview;
    transfer::ImportLayout m_layout;
    store::Connection &m_connection;
    QTreeWidget *m_list = nullptr;
    QPushButton *m_ok = nullptr;
    QLabel *m_status = nullptr;
    QComboBox *m_category = nullptr;
    PreviewRebuild m_rebuild;
    std::optional<transfer::ImportOutcome> m_outcome;
};

} // namespace natalis::app
