#pragma once

#include <QWidget>

class QComboBox;
class QPushButton;

namespace natalis::calendar_ui {

// The month chooser above the day grid: cboYear (1901 … 2100) with Label3 "年", cboMonth with
// Label2 "月", and the four browse buttons. The owner fills cboMonth and reacts to the signals.
class BrowseBar : public QWidget
{
    Q_OBJECT

public:
    BrowseBar(int skin, QWidget *parent = nullptr);

    QComboBox *yearBox() const { return m_year; }
    QComboBox *monthBox() const { return m_month; }
    int year() const;
    void setYear(int year);

Q_SIGNALS:
    void previousYear();
    void previousMonth();
    void nextMonth();
    void nextYear();
    // The user chose an entry in one of the boxes.
    void yearChosen();
    void monthChosen();

private:
    QPushButton *addButton(
        const char *name, void (BrowseBar::*signal)(), const QString &text, const QString &tip);

    QComboBox *m_year;
    QComboBox *m_month;
};

} // namespace natalis::calendar_ui
