#pragma once

#include "store/birthdayedit.h"

#include <QDate>
#include <QDialog>
#include <QList>
#include <functional>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;

namespace natalis::dialogs {

// The birthday editor in its three modes: adding one entry (a 生日, 纪念日 or 忌日), editing one,
// and editing the advance days and SMS choice of several at once. It validates on OK and hands the
// result back in the edit buffer; the caller writes it to the database. While one entry is edited
// it shows the next dates the entry falls on, counted from Setup::today.
class frmAddEdit : public QDialog
{
    Q_OBJECT

public:
    // A date picker: takes both texts in, returns true with both texts of the picked day.
    using DatePicker = std::function<bool(QWidget *anchor, QString &gl, QString &nl)>;

    struct Setup
    {
        bool IsBatchEdit = false;
        store::BirthdayList birthdays; // for the duplicate-name check
        // The same check asked of the table, which another program may have added to.
        std::function<bool(const QString &category, const QString &name)> nameTaken;
        QStringList classNames; // the category's class list, when it has one
        int skin = 1;
        DatePicker pickGregorian;
        DatePicker pickLunar;
        std::function<void(int)> setModalBusy; // 2 while a picker is up, 1 again after
        QDate today; // the next dates count from it; none are shown while it is invalid
    };

    frmAddEdit(store::BirthdayEdit &EditBuffer, Setup setup, QWidget *parent = nullptr);

    bool EditAccepted = false;
    QString statusText() const;

    void cmdOK_Click();
    void cmdNo_Click();
    void openGregorianPicker();
    void openLunarPicker();

private:
    void buildControls();
    void makeTextFields();
    void makeDateFields();
    void makeDayFields();
    QHBoxLayout *dayPresetsRow();
    void layOutForm();
    QWidget *nextDatesPanel();
    void connectPreview();
    void loadBuffer();
    void applySkin();
    store::BirthdayEdit editFromControls() const;
    void showControls(const store::BirthdayEdit &edit);
    void refuse(const store::EditRefusal &refusal);
    void openPicker(const DatePicker &picker, QLineEdit *anchor);
    void showPicked(QString gl, QString nl);
    bool withoutYear() const;
    void yearKnownChanged(bool withoutYear);
    void enableDateOfRule();
    void presetToggled(int day, bool checked);
    void showDaysInPresets();
    void kindChanged();
    void showNextDates();

    store::BirthdayEdit &m_buffer;
    Setup m_setup;
    QFormLayout *m_form = nullptr;
    QLineEdit *m_about = nullptr;
    QLineEdit *m_type = nullptr;
    QComboBox *m_sex = nullptr;
    QLineEdit *m_tel = nullptr;
    QLineEdit *m_remark = nullptr;
    QLineEdit *m_glDate = nullptr;
    QLineEdit *m_nlDate = nullptr;
    QRadioButton *m_byGregorian = nullptr;
    QRadioButton *m_byLunar = nullptr;
    QComboBox *m_kind = nullptr;
    QCheckBox *m_noYear = nullptr;
    // The dated texts before the year was dropped, to come back when it is known again.
    QString m_datedGL;
    QString m_datedNL;
    QComboBox *m_leapRule = nullptr;
    QComboBox *m_nums = nullptr; // one day for many entries at once (the batch mode)
    QLineEdit *m_days = nullptr; // the days of one entry, "7,1,0"
    QList<QCheckBox *> m_dayPresets;
    QWidget *m_dayRow = nullptr;
    QListWidget *m_nextDates = nullptr;
    QComboBox *m_sms = nullptr;
    QComboBox *m_class = nullptr;
    QLineEdit *m_qq = nullptr;
    QLineEdit *m_company = nullptr;
    QLineEdit *m_address = nullptr;
    QLineEdit *m_no = nullptr;
    QLabel *m_status = nullptr;
};

} // namespace natalis::dialogs
