#pragma once

#include "sms/smsaccounts.h"
#include "sms/smshistory.h"

#include <QDate>
#include <QDialog>
#include <functional>
#include <optional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QRadioButton;
class QTreeWidget;

namespace natalis::platform {
class Clock;
} // namespace natalis::platform

namespace natalis::store {
class Connection;
}

namespace natalis::dialogs {

// Column 0 of every list item holds the item key "R" + Id under this role.
inline constexpr int HistoryKeyRole = Qt::UserRole;

// The SMS send history: the log rows of a date range, account, type and status, with the sum of
// the messages charged. Reads the log only.
class frmDxHist : public QDialog
{
    Q_OBJECT

public:
    struct Services
    {
        store::Connection &connection;
        const sms::SmsAccountTable &accounts; // offered as "name[客户]" / "name[应用]"
        const platform::Clock &clock; // today, for the end of "现在" and the picker
        QString computerName; // the one entry of cboComputers
        int skin = 1;
    };

    // Shows the picker next to anchor with gl/nl as the texts handed in and out; true when a day
    // was picked.
    using DatePicker = std::function<bool(QWidget *anchor, QString &gl, QString &nl)>;

    // Fills the filters with "所有" and lists everything from the earliest day up to now.
    explicit frmDxHist(Services services, QWidget *parent = nullptr);

    // Replaceable so that tests pick without a modal window; the Gregorian date picker by default.
    DatePicker pickDate;

    // Lists the matching rows in time order, shows their charged messages in lblDxNums and the
    // outcome in the status bar. Returns the messages charged, or nullopt when the log could not
    // be read (the list then stays empty).
    std::optional<qint64> RunHistoryQuery(const sms::SmsHistoryQuery &query);

    void cmdQuery_Click();
    void cmdOK_Click();
    void txtStart_Click();
    void txtEnd_Click();
    void mnuCopy_Click();

    QString statusText() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // One end of the date range: its frame, the "指定" choice and the picked date.
    struct RangeEnd
    {
        QGroupBox *frame = nullptr;
        QRadioButton *any = nullptr; // "最早" / "现在"
        QRadioButton *chosen = nullptr; // "指定"
        QLineEdit *box = nullptr;
        std::optional<QDate> date; // empty unless "指定" with a date in the box
    };

    void buildControls();
    QGroupBox *buildRangeEnd(
        RangeEnd &end, const char *name, const QString &title, const QString &anyCaption);
    QWidget *buildFilters();
    void buildList();
    void buildMenu();
    void fillFilters();
    void chooseRange(RangeEnd &end);
    void pickInto(RangeEnd &end);
    void sortByColumn(int column);
    sms::SmsHistoryQuery queryFromControls() const;

    Services m_services;
    RangeEnd m_start;
    RangeEnd m_end;
    QComboBox *m_user = nullptr;
    QComboBox *m_type = nullptr;
    QComboBox *m_status = nullptr;
    QComboBox *m_computers = nullptr;
    QTreeWidget *m_list = nullptr;
    QLabel *m_total = nullptr;
    QLabel *m_statusPanel = nullptr;
    QMenu *m_editMenu = nullptr;
};

} // namespace natalis::dialogs
