#pragma once

#include "store/birthdayrecord.h"

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>
#include <array>

namespace natalis::app {

// One category's birthday list as the main window shows it: the 15 columns "生日名称" …
// "工号/卡号", trimmed, and, while the SMS panel is open, a tick per row. A row's identity is its
// key "R" + Id.
class BirthdayListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr int ColumnCount = 15;
    static constexpr int TelColumn = 2;
    // The role under which a row gives its key ("R25").
    static constexpr int KeyRole = Qt::UserRole + 1;

    struct Row
    {
        qint32 id = 0;
        std::array<QString, ColumnCount> columns;
        bool ticked = false;
    };

    explicit BirthdayListModel(QObject *parent = nullptr);

    static QStringList columnTitles();
    static Row rowFromRecord(const store::BirthdayRecord &record);

    void setRows(QList<Row> rows);
    // In-place changes after an add, edit or delete; rows are found by Id.
    int appendRow(Row row); // returns the new row's index
    void replaceRow(Row row);
    void setCell(qint32 id, int column, const QString &text);
    void removeIds(const QList<qint32> &ids);
    int rowOfId(qint32 id) const; // -1 when absent
    const QList<Row> &rows() const { return m_rows; }
    static QString keyOf(qint32 id) { return u'R' + QString::number(id); }

    // Ticks can be set only while the SMS panel shows the check boxes, and only on rows whose
    // number is a phone number.
    void setCheckable(bool checkable);
    bool isCheckable() const { return m_checkable; }
    void setAllTicks(bool ticked);
    int tickedCount() const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

Q_SIGNALS:
    void ticksChanged();

private:
    bool canTick(const Row &row) const;

    QList<Row> m_rows;
    bool m_checkable = false;
};

} // namespace natalis::app
