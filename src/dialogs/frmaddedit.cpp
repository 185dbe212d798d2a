#include "dialogs/frmaddedit.h"

#include "calendar/datetext.h"
#include "calendar_ui/datebox.h"
#include "calendar_ui/typeddate.h"
#include "dialogs/nextdatelines.h"
#include "store/entrykind.h"
#include "store/reminddays.h"
#include "widgets/dialogparts.h"
#include "widgets/skincolors.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

namespace natalis::dialogs {

namespace {

using store::BirthdayEdit;
using store::EditField;

QLineEdit *lineEdit(QWidget *parent, const char *name, int maxLength, const QString &toolTip)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    if (maxLength > 0)
        edit->setMaxLength(maxLength);
    edit->setToolTip(toolTip);
    return edit;
}

QComboBox *comboBox(QWidget *parent, const char *name, const QStringList &items)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->addItems(items);
    return box;
}

QStringList dayCounts()
{
    QStringList counts;
    for (int days = 0; days <= store::MaxRemindDays; ++days)
        counts.append(QString::number(days));
    return counts;
}

// The days a reminder is most often wanted on, ticked beside the free entry.
struct DayPreset
{
    qint16 day;
    const char16_t *caption;
};
constexpr DayPreset DayPresets[] = { { 0, u"当天" }, { 1, u"1天前" }, { 3, u"3天前" },
    { 7, u"7天前" }, { 14, u"14天前" } };

constexpr int NextDatesShown = 10;

const QString GregorianError =
    QStringLiteral("公历日期输入有误,请按\"年-月-日\"输入(如1976-2-25)或按F4选取！");
const QString LunarError =
    QStringLiteral("农历日期输入有误,请按\"年-月-日\"输入(闰月如2006-闰7-15)或按F4选取！");
const QString GregorianMonthDayError =
    QStringLiteral("公历日期输入有误,请按\"月-日\"输入(如4-15)或按F4选取！");
const QString LunarMonthDayError =
    QStringLiteral("农历日期输入有误,请按\"月-日\"输入(闰月如闰7-15)或按F4选取！");

// The caption of a field, also of one that shares its row with another control.
QWidget *captionOf(QFormLayout *form, QWidget *field)
{
    if (QWidget *label = form->labelForField(field))
        return label;
    const QList<QLabel *> labels = field->parentWidget()->findChildren<QLabel *>();
    const auto found = std::find_if(
        labels.begin(), labels.end(), [field](QLabel *label) { return label->buddy() == field; });
    return found == labels.end() ? nullptr : *found;
}

bool isDateError(const QString &status)
{
    return status.startsWith(u"公历日期输入有误") || status.startsWith(u"农历日期输入有误");
}

// Categories whose people have no department or class to choose.
bool hasClassList(const QString &category)
{
    return category != u"其他" && category != u"朋友" && category != u"家人" && category != u"同学";
}

bool hasStaffNumber(const QString &category)
{
    return category == u"同事" || category == u"客户";
}

} // namespace

frmAddEdit::frmAddEdit(BirthdayEdit &EditBuffer, Setup setup, QWidget *parent)
    : QDialog(parent), m_buffer(EditBuffer), m_setup(std::move(setup))
{
    setObjectName(QStringLiteral("frmAddEdit"));
    buildControls();
    loadBuffer();
    applySkin();
}

void frmAddEdit::buildControls()
{
    makeTextFields();
    makeDateFields();
    makeDayFields();
    layOutForm();

    auto *buttons = new QDialogButtonBox(this);
    connect(actButton(buttons, QStringLiteral("cmdOK"), widgets::WindowAct::Accept),
        &QPushButton::clicked, this, &frmAddEdit::cmdOK_Click);
    connect(actButton(buttons, QStringLiteral("cmdNo"), widgets::WindowAct::Reject),
        &QPushButton::clicked, this, &frmAddEdit::cmdNo_Click);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("StatusBar1"));
    m_status->setFrameShape(QFrame::StyledPanel);
    m_status->setFrameShadow(QFrame::Sunken);
    m_status->setMinimumHeight(m_status->fontMetrics().height() + 6);
    m_status->setAccessibleDescription(QStringLiteral("输入有误时的提示"));

    auto *fields = new QHBoxLayout;
    fields->addLayout(m_form, 1);
    fields->addWidget(nextDatesPanel());
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(buttons);
    layout->addWidget(m_status);
    setMinimumWidth(440);
    connectPreview();
}

void frmAddEdit::makeTextFields()
{
    m_about = lineEdit(
        this, "txtAbout", 16, QStringLiteral("生日名称不能超过16个字符(1个汉字算2个字符)"));
    m_type = lineEdit(this, "txtType", 0, {});
    m_type->setReadOnly(true);
    m_kind = comboBox(this, "cboKind",
        { store::entryKindText(store::EntryKind::Birthday),
            store::entryKindText(store::EntryKind::Anniversary),
            store::entryKindText(store::EntryKind::Memorial) });
    m_sex = comboBox(this, "cboSex", {});
    m_tel =
        lineEdit(this, "txtTel", 14, QStringLiteral("联系方式不能超过14个字符(1个汉字算2个字符)"));
    m_remark = lineEdit(
        this, "txtBeizhu", 100, QStringLiteral("生日备注不能超过100个字符(1个汉字算2个字符)"));
    m_sms = comboBox(this, "cboDuanXin", { QStringLiteral("否"), QStringLiteral("是") });
    m_class = comboBox(this, "cboClass", {});
    m_class->setEditable(true);
    m_class->setToolTip(QStringLiteral("部门/类别不能超过20个字符(1个汉字算2个字符)！"));
    m_qq = lineEdit(
        this, "txtQQ_MSN", 20, QStringLiteral("QQ/MSN不能超过20个字符(1个汉字算2个字符)！"));
    m_company = lineEdit(
        this, "txtCompany", 60, QStringLiteral("公司名称不能超过60个字符(1个汉字算2个字符)！"));
    m_address = lineEdit(
        this, "txtAddress", 80, QStringLiteral("地址不能超过80个字符(1个汉字算2个字符)！"));
    m_no = lineEdit(this, "txtNo", 12, QStringLiteral("工号/卡号最多12个数字"));
}

void frmAddEdit::makeDateFields()
{
    m_glDate = lineEdit(this, "txtGLDate", 0, {});
    m_nlDate = lineEdit(this, "txtNLDate", 0, {});
    const auto accepted = [this](const calendar_ui::PickedTexts &texts) {
        showPicked(texts.gregorian, texts.lunar);
        // A good date answers an earlier date's error; other messages stay.
        if (isDateError(m_status->text()))
            widgets::announce(m_status, {});
    };
    // Without a year a box takes month and day; the other box keeps what it shows.
    new calendar_ui::DateBox(
        *m_glDate,
        [this](const QString &text) -> std::optional<calendar_ui::PickedTexts> {
            if (!withoutYear())
                return calendar_ui::typedGregorianDate(text);
            const auto gl = calendar_ui::typedGregorianMonthDay(text);
            return gl ? std::optional(calendar_ui::PickedTexts { *gl, m_nlDate->text() })
                      : std::nullopt;
        },
        [this] { openGregorianPicker(); }, accepted,
        [this] {
            widgets::announce(m_status, withoutYear() ? GregorianMonthDayError : GregorianError);
        });
    new calendar_ui::DateBox(
        *m_nlDate,
        [this](const QString &text) -> std::optional<calendar_ui::PickedTexts> {
            if (!withoutYear())
                return calendar_ui::typedLunarDate(text);
            const auto nl = calendar_ui::typedLunarMonthDay(text);
            return nl ? std::optional(calendar_ui::PickedTexts { m_glDate->text(), *nl })
                      : std::nullopt;
        },
        [this] { openLunarPicker(); }, accepted,
        [this] { widgets::announce(m_status, withoutYear() ? LunarMonthDayError : LunarError); });
    m_glDate->setToolTip(QStringLiteral("点击或按F4选取日期,也可输入如1976-2-25"));
    m_nlDate->setToolTip(QStringLiteral("点击或按F4选取日期,也可输入如2006-闰7-15"));
    m_noYear = new QCheckBox(QStringLiteral("不知道年份"), this);
    m_noYear->setObjectName(QStringLiteral("chkNoYear"));
    m_noYear->setToolTip(QStringLiteral("只记月和日,按所选的历法每年提醒"));
    m_byGregorian = new QRadioButton(QStringLiteral("按公历"), this);
    m_byGregorian->setObjectName(QStringLiteral("Option1"));
    m_byLunar = new QRadioButton(QStringLiteral("按农历"), this);
    m_byLunar->setObjectName(QStringLiteral("Option2"));
    m_leapRule = comboBox(this, "cboLeapRule",
        { store::leapMonthRuleText(store::LeapMonthRule::RegularMonth),
            store::leapMonthRuleText(store::LeapMonthRule::Skip) });
    m_leapRule->setToolTip(
        QStringLiteral("没有这个闰月的年份:平月为在同一月份提醒,跳过为那年不提醒"));
}

void frmAddEdit::makeDayFields()
{
    m_nums = comboBox(this, "cboNums", dayCounts());
    m_days = lineEdit(this, "txtDays", 40,
        QStringLiteral("可填多个天数,用逗号分开,如7,1,0;只填一个时从那天起每天提醒"));
    m_dayRow = new QWidget(this);
    m_dayRow->setObjectName(QStringLiteral("fraDays"));
    auto *row = dayPresetsRow();
    row->addWidget(m_days, 1);
    row->addWidget(m_nums, 1);
    m_dayRow->setLayout(row);
    connect(m_days, &QLineEdit::textChanged, this, &frmAddEdit::showDaysInPresets);
}

QHBoxLayout *frmAddEdit::dayPresetsRow()
{
    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    for (const DayPreset &preset : DayPresets) {
        auto *tick = new QCheckBox(QString::fromUtf16(preset.caption), this);
        tick->setObjectName(QStringLiteral("chkDay_%1").arg(preset.day));
        connect(tick, &QCheckBox::toggled, this,
            [this, day = preset.day](bool checked) { presetToggled(day, checked); });
        m_dayPresets.append(tick);
        row->addWidget(tick);
    }
    return row;
}

void frmAddEdit::layOutForm()
{
    m_form = new QFormLayout;
    QFormLayout *form = m_form;
    const auto label = [this](const char *labelName, const QString &caption, QWidget *buddy) {
        auto *made = new QLabel(caption, this);
        made->setObjectName(QString::fromLatin1(labelName));
        made->setBuddy(buddy);
        return made;
    };
    const auto row = [&](const char *labelName, const QString &caption, QWidget *field) {
        form->addRow(label(labelName, caption, field), field);
    };
    const auto pair = [](QWidget *first, QWidget *second) {
        auto *both = new QHBoxLayout;
        both->addWidget(first, 1);
        both->addWidget(second);
        return both;
    };
    row("Label1", QStringLiteral("生日名称:"), m_about);
    row("Label2", QStringLiteral("生日类别:"), m_type);
    row("Label16", QStringLiteral("类型:"), m_kind);
    row("Label3", QStringLiteral("性别:"), m_sex);
    row("Label4", QStringLiteral("联系方式:"), m_tel);
    row("Label5", QStringLiteral("生日备注:"), m_remark);
    row("Label6", QStringLiteral("公历日期:"), m_glDate);
    form->addRow(label("Label7", QStringLiteral("农历日期:"), m_nlDate), pair(m_nlDate, m_noYear));
    auto *rule = pair(m_byGregorian, m_byLunar);
    rule->setStretch(0, 0);
    rule->addStretch(1);
    form->addRow(label("Label8", QStringLiteral("提醒方式:"), m_byGregorian), rule);
    row("Label17", QStringLiteral("闰月:"), m_leapRule);
    form->addRow(label("Label9", QStringLiteral("提醒天数:"), m_days), m_dayRow);
    row("Label10", QStringLiteral("短信提醒:"), m_sms);
    row("Label11", QStringLiteral("部门/类型:"), m_class);
    row("Label12", QStringLiteral("QQ/MSN:"), m_qq);
    row("Label13", QStringLiteral("公司名称:"), m_company);
    row("Label14", QStringLiteral("地址:"), m_address);
    row("Label15", QStringLiteral("工号/卡号:"), m_no);
    // A reader would otherwise call a combo box by the value it shows, and a date box by nothing
    // that says it opens a picker.
    widgets::nameForReader(m_kind, QStringLiteral("类型"), QStringLiteral("生日、纪念日或忌日"));
    widgets::nameForReader(m_sex, QStringLiteral("性别"));
    widgets::nameForReader(m_glDate, QStringLiteral("公历日期"), m_glDate->toolTip());
    widgets::nameForReader(m_nlDate, QStringLiteral("农历日期"), m_nlDate->toolTip());
    widgets::nameForReader(m_leapRule, QStringLiteral("闰月"), m_leapRule->toolTip());
    widgets::nameForReader(
        m_nums, QStringLiteral("提醒天数(多个生日)"), QStringLiteral("生日前几天开始提醒"));
    widgets::nameForReader(m_days, QStringLiteral("提醒天数"), m_days->toolTip());
    widgets::nameForReader(
        m_sms, QStringLiteral("短信提醒"), QStringLiteral("是否在生日时发送提醒短信"));
    widgets::nameForReader(m_class, QStringLiteral("部门/类型"), m_class->toolTip());
}

QWidget *frmAddEdit::nextDatesPanel()
{
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("fraNextDates"));
    m_nextDates = new QListWidget(panel);
    m_nextDates->setObjectName(QStringLiteral("lstNextDates"));
    m_nextDates->setSelectionMode(QAbstractItemView::NoSelection);
    m_nextDates->setFocusPolicy(Qt::NoFocus);
    m_nextDates->setMinimumWidth(m_nextDates->fontMetrics().horizontalAdvance(
                                     QStringLiteral("2026-12-30 星期三 逝世100周年"))
        + 16);
    auto *caption = new QLabel(QStringLiteral("今后%1次:").arg(NextDatesShown), panel);
    caption->setObjectName(QStringLiteral("lblNextDates"));
    caption->setBuddy(m_nextDates);
    widgets::nameForReader(m_nextDates, QStringLiteral("今后的日期"),
        QStringLiteral("按所填的日期和提醒方式,今后%1次的日期、星期和年龄").arg(NextDatesShown));
    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(caption);
    column->addWidget(m_nextDates, 1);
    return panel;
}

void frmAddEdit::connectPreview()
{
    for (QLineEdit *box : { m_glDate, m_nlDate })
        connect(box, &QLineEdit::textChanged, this, &frmAddEdit::showNextDates);
    connect(m_byGregorian, &QRadioButton::toggled, this, [this] {
        enableDateOfRule();
        showNextDates();
    });
    connect(m_leapRule, &QComboBox::currentIndexChanged, this, &frmAddEdit::showNextDates);
    connect(m_kind, &QComboBox::currentIndexChanged, this, &frmAddEdit::kindChanged);
    connect(m_noYear, &QCheckBox::toggled, this, &frmAddEdit::yearKnownChanged);
}

void frmAddEdit::loadBuffer()
{
    if (m_setup.IsBatchEdit) {
        setWindowTitle(QStringLiteral("多个生日修改"));
        m_type->setText(m_buffer.Type);
        m_nums->setCurrentText(QStringLiteral("7"));
        m_sms->setCurrentText(QStringLiteral("否"));
        for (QWidget *w : std::initializer_list<QWidget *> { m_type, m_kind, m_glDate, m_nlDate,
                 m_about, m_sex, m_tel, m_byGregorian, m_byLunar, m_noYear, m_class, m_remark, m_qq,
                 m_company, m_address, m_no }) {
            w->setEnabled(false);
            if (QWidget *label = captionOf(m_form, w))
                label->setEnabled(false);
        }
        findChild<QLabel *>(QStringLiteral("Label8"))->setEnabled(false);
        // Many entries at once take one day, which the batch write stores for each.
        for (QWidget *w : std::initializer_list<QWidget *> { m_days, m_nextDates->parentWidget() })
            w->hide();
        for (QCheckBox *tick : std::as_const(m_dayPresets))
            tick->hide();
        m_form->setRowVisible(m_leapRule, false);
        qobject_cast<QLabel *>(m_form->labelForField(m_dayRow))->setBuddy(m_nums);
        return;
    }
    m_nums->hide();
    m_sex->addItems({ QStringLiteral(" "), QStringLiteral("男"), QStringLiteral("女") });
    const QString category = m_buffer.Type.trimmed();
    QFormLayout *form = m_form;
    if (hasClassList(category)) {
        m_class->addItems(m_setup.classNames);
    } else {
        m_class->setEnabled(false);
        form->labelForField(m_class)->setEnabled(false);
    }
    m_no->setEnabled(hasStaffNumber(category));
    form->labelForField(m_no)->setEnabled(hasStaffNumber(category));
    showControls(m_buffer);
    setWindowTitle(
        m_about->text().isEmpty() ? QStringLiteral("生日添加") : QStringLiteral("生日修改"));
}

void frmAddEdit::showControls(const BirthdayEdit &edit)
{
    m_about->setText(edit.About);
    m_type->setText(edit.Type);
    m_sex->setCurrentText(edit.Sex.isEmpty() ? QStringLiteral(" ") : edit.Sex);
    m_tel->setText(edit.Tel);
    m_remark->setText(edit.Beizhu);
    m_kind->setCurrentText(store::entryKindText(store::entryKindOf(edit.Kind)));
    {
        // A stored date without a year has no dated texts to come back to.
        const QSignalBlocker quiet(m_noYear);
        m_noYear->setChecked(!calendar::dateTextHasYear(edit.IsGL ? edit.strGL : edit.strNL)
            && !(edit.IsGL ? edit.strGL : edit.strNL).trimmed().isEmpty());
        m_datedGL.clear();
        m_datedNL.clear();
    }
    m_glDate->setText(edit.strGL);
    m_nlDate->setText(edit.strNL);
    (edit.IsGL ? m_byGregorian : m_byLunar)->setChecked(true);
    m_leapRule->setCurrentText(store::leapMonthRuleText(store::leapMonthRuleOf(edit.LeapRule)));
    m_days->setText(
        edit.Days.trimmed().isEmpty() ? QString::number(edit.intnums) : edit.Days.trimmed());
    m_sms->setCurrentText(edit.Duanxin);
    m_class->setCurrentText(edit.Class);
    m_qq->setText(edit.QQ_MSN);
    m_company->setText(edit.Company);
    m_address->setText(edit.Address);
    m_no->setText(edit.No);
    kindChanged();
    enableDateOfRule();
    showNextDates();
}

void frmAddEdit::applySkin()
{
    const QColor background = widgets::skinColor(m_setup.skin, 0);
    const QColor text = widgets::skinColor(m_setup.skin, 1);
    for (QWidget *w : findChildren<QWidget *>()) {
        if (!qobject_cast<QLineEdit *>(w) && !qobject_cast<QComboBox *>(w))
            continue;
        // Disabled fields keep the platform's grey, so the batch mode reads at a glance.
        QPalette palette = w->palette();
        for (const auto group : { QPalette::Active, QPalette::Inactive }) {
            palette.setColor(group, QPalette::Base, background);
            palette.setColor(group, QPalette::Text, text);
        }
        w->setPalette(palette);
    }
}

BirthdayEdit frmAddEdit::editFromControls() const
{
    BirthdayEdit edit;
    edit.About = m_about->text();
    edit.Type = m_type->text();
    edit.Sex = m_sex->currentText();
    edit.Tel = m_tel->text();
    edit.Beizhu = m_remark->text();
    edit.strGL = m_glDate->text();
    edit.strNL = m_nlDate->text();
    edit.IsGL = m_byGregorian->isChecked();
    // A day without a year has no date in the other calendar: that differs from year to year.
    if (withoutYear())
        (edit.IsGL ? edit.strNL : edit.strGL).clear();
    edit.Kind = m_kind->currentText();
    edit.LeapRule = m_leapRule->currentText();
    edit.Days = m_days->text().trimmed();
    if (const auto days = store::parseRemindDays(edit.Days))
        edit.intnums = days->first();
    edit.Duanxin = m_sms->currentText();
    edit.Class = m_class->currentText();
    edit.QQ_MSN = m_qq->text();
    edit.Company = m_company->text();
    edit.Address = m_address->text();
    edit.No = m_no->text();
    return edit;
}

void frmAddEdit::cmdOK_Click()
{
    if (m_setup.IsBatchEdit) {
        m_buffer.intnums = qint16(m_nums->currentText().toInt());
        m_buffer.Duanxin = m_sms->currentText();
        EditAccepted = true;
        accept();
        return;
    }
    BirthdayEdit edit = editFromControls();
    if (edit.Days.isEmpty()) {
        refuse({ EditField::Days,
            QStringLiteral("提醒天数必须是0到14之间的数字,用逗号分开,不能重复！") });
        return;
    }
    store::cleanBirthdayEdit(edit);
    showControls(edit);
    if (const auto refusal =
            store::checkBirthdayEdit(edit, m_buffer.About, m_setup.birthdays, &m_buffer)) {
        refuse(*refusal);
        return;
    }
    const QString name = edit.About.trimmed();
    if (m_setup.nameTaken && name != m_buffer.About.trimmed()
        && m_setup.nameTaken(edit.Type, name)) {
        refuse({ store::EditField::About, QStringLiteral("生日名称重复，请重新输入！") });
        return;
    }
    // The texts are trimmed where the record is made from the buffer.
    m_buffer = edit;
    EditAccepted = true;
    accept();
}

void frmAddEdit::cmdNo_Click()
{
    EditAccepted = false;
    reject();
}

void frmAddEdit::refuse(const store::EditRefusal &refusal)
{
    widgets::announce(m_status, refusal.message);
    QWidget *field = nullptr;
    switch (refusal.field) {
    case EditField::About:
        field = m_about;
        break;
    case EditField::Tel:
        field = m_tel;
        break;
    case EditField::Beizhu:
        field = m_remark;
        break;
    case EditField::Class:
        field = m_class;
        break;
    case EditField::QQ_MSN:
        field = m_qq;
        break;
    case EditField::Company:
        field = m_company;
        break;
    case EditField::Address:
        field = m_address;
        break;
    case EditField::No:
        field = m_no;
        break;
    case EditField::Days:
        field = m_days;
        break;
    case EditField::GLDate:
        openGregorianPicker();
        return;
    }
    field->setFocus();
    if (auto *edit = qobject_cast<QLineEdit *>(field))
        edit->selectAll();
    else if (auto *box = qobject_cast<QComboBox *>(field); box && box->lineEdit())
        box->lineEdit()->selectAll();
}

QString frmAddEdit::statusText() const
{
    return m_status->text();
}

void frmAddEdit::openGregorianPicker()
{
    openPicker(m_setup.pickGregorian, m_glDate);
}

void frmAddEdit::openLunarPicker()
{
    openPicker(m_setup.pickLunar, m_nlDate);
}

void frmAddEdit::openPicker(const DatePicker &picker, QLineEdit *anchor)
{
    if (!picker || m_setup.IsBatchEdit)
        return;
    QString gl = m_glDate->text();
    QString nl = m_nlDate->text();
    if (m_setup.setModalBusy)
        m_setup.setModalBusy(2);
    const bool picked = picker(anchor, gl, nl);
    if (m_setup.setModalBusy)
        m_setup.setModalBusy(1);
    if (picked)
        showPicked(gl, nl);
}

void frmAddEdit::showPicked(QString gl, QString nl)
{
    if (withoutYear()) {
        const calendar_ui::PickedTexts kept = calendar_ui::withoutYear({ gl, nl });
        gl = kept.gregorian;
        nl = kept.lunar;
    }
    if (gl == m_glDate->text() && nl == m_nlDate->text())
        return;
    m_glDate->setText(gl);
    m_nlDate->setText(nl);
}

bool frmAddEdit::withoutYear() const
{
    return m_noYear->isChecked();
}

void frmAddEdit::yearKnownChanged(bool noYear)
{
    const calendar_ui::PickedTexts dated { m_datedGL, m_datedNL };
    if (noYear) {
        m_datedGL = m_glDate->text();
        m_datedNL = m_nlDate->text();
        showPicked(m_datedGL, m_datedNL);
    } else {
        // The day picked before the year was dropped comes back if it is still the one shown;
        // another day has no year to take, and the user picks it again.
        const calendar_ui::PickedTexts kept = calendar_ui::withoutYear(dated);
        const bool untouched = calendar::dateTextHasYear(dated.gregorian)
            && kept.gregorian == m_glDate->text() && kept.lunar == m_nlDate->text();
        m_glDate->setText(untouched ? dated.gregorian : QString());
        m_nlDate->setText(untouched ? dated.lunar : QString());
    }
    enableDateOfRule();
    showNextDates();
}

void frmAddEdit::enableDateOfRule()
{
    if (m_setup.IsBatchEdit)
        return;
    const bool noYear = withoutYear();
    const std::pair<QLineEdit *, bool> boxes[] = { { m_glDate, m_byGregorian->isChecked() },
        { m_nlDate, m_byLunar->isChecked() } };
    for (const auto &[box, ofRule] : boxes) {
        box->setEnabled(!noYear || ofRule);
        captionOf(m_form, box)->setEnabled(box->isEnabled());
    }
}

void frmAddEdit::presetToggled(int day, bool checked)
{
    // Days typed that do not read give way to the ticks.
    QList<qint16> days;
    if (const auto typed = store::parseRemindDays(m_days->text()))
        days = *typed;
    else
        for (int i = 0; i < m_dayPresets.size(); ++i)
            if (m_dayPresets[i]->isChecked())
                days.append(DayPresets[i].day);
    days.removeAll(qint16(day));
    if (checked)
        days.append(qint16(day));
    std::sort(days.begin(), days.end(), std::greater<>());
    QStringList texts;
    for (qint16 each : days)
        texts.append(QString::number(each));
    m_days->setText(texts.join(u','));
}

void frmAddEdit::showDaysInPresets()
{
    const QList<qint16> days = store::parseRemindDays(m_days->text()).value_or(QList<qint16> {});
    for (int i = 0; i < m_dayPresets.size(); ++i) {
        const QSignalBlocker quiet(m_dayPresets[i]);
        m_dayPresets[i]->setChecked(days.contains(DayPresets[i].day));
    }
}

void frmAddEdit::kindChanged()
{
    // A 忌日 is remembered, never greeted: no SMS goes to the family on it.
    const bool memorial = store::entryKindOf(m_kind->currentText()) == store::EntryKind::Memorial;
    if (memorial)
        m_sms->setCurrentText(QStringLiteral("否"));
    m_sms->setEnabled(!memorial);
    m_form->labelForField(m_sms)->setEnabled(m_sms->isEnabled());
    showNextDates();
}

void frmAddEdit::showNextDates()
{
    // The leap rule matters only to a lunar date in a leap month.
    const auto lunar = calendar::parseLunarText(m_nlDate->text());
    m_form->setRowVisible(
        m_leapRule, !m_setup.IsBatchEdit && m_byLunar->isChecked() && lunar && lunar->isLeap);
    if (m_setup.IsBatchEdit || !m_setup.today.isValid())
        return;
    // A date being typed is read when it is confirmed, not at every key.
    if (m_glDate->isModified() || m_nlDate->isModified())
        return;
    m_nextDates->clear();
    m_nextDates->addItems(
        nextDateLines(store::recordFromEdit(editFromControls()), m_setup.today, NextDatesShown));
}

} // namespace natalis::dialogs
