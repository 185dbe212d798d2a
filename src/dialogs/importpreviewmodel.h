#pragma once

#include "transfer/importpreview.h"

#include <QAbstractTableModel>
#include <vector>

namespace natalis::dialogs {

// The rows of an import preview for a list view: the fourteen columns, a check box in the first
// that shows the duplicate rule and cannot be changed, sorting by any column (numbers as
// numbers). One model row per preview row without a widget item each, so a file of a million
// lines previews in the memory of its records.
class ImportPreviewModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    ImportPreviewModel(const transfer::ImportPreview &preview, transfer::ImportLayout layout,
        QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    void sort(int column, Qt::SortOrder order) override;

    // The preview row (file order) shown at a model row, and back.
    int previewRow(int modelRow) const { return m_order[std::size_t(modelRow)]; }
    int modelRow(int previewRow) const;

private:
    QString cell(int previewRow, int column) const;

    const transfer::ImportPreview &m_preview;
    QStringList m_headers;
    std::vector<int> m_order; // preview rows in display order
};

} // namespace natalis::dialogs
