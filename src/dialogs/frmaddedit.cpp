#include "dialogs/frmaddedit.h"

#include "calendar_ui/datebox.h"
#include "calendar_ui/typeddate.h"
#include "widgets/dialogparts.h"
#include "widgets/skincolors.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace natalis::app {

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
    for (int days = 0; days <= 14; ++days)
        counts.append(QString::number(days));
    return counts;
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
    m_about = lineEdit(
        this, "txtAbout", 16, QStringLiteral("生日名称不能超过16个字符(1个汉字算2个字符)"));
    m_type = lineEdit(this, "txtType", 0, {});
    m_type->setReadOnly(true);
    m_sex = comboBox(this, "cboSex", {});
    m_tel =
        lineEdit(this, "txtTel", 14, QStringLiteral("联系方式不能超过14个字符(1个汉字算2个字符)"));
    m_remark = lineEdit(
        this, "txtBeizhu", 100, QStringLiteral("生日备注不能超过100个字符(1个汉字算2个字符)"));
    m_glDate = lineEdit(this, "txtGLDate", 0, {});
    m_nlDate = lineEdit(this, "txtNLDate", 0, {});
    const QString glError =
        QStringLiteral("公历日期输入有误,请按\"年-月-日\"输入(如1976-2-25)或按F4选取！");
    const QString nlError =
        QStringLiteral("农历日期输入有误,请按\"年-月-日\"输入(闰月如2006-闰7-15)或按F4选取！");
    const auto showPicked = [this, glError, nlError](const calendar_ui::PickedTexts &texts) {
        m_glDate->setText(texts.gregorian);
        m_nlDate->setText(texts.lunar);
        // A good date answers an earlier date's error; other messages stay.
        if (m_status->text() == glError || m_status->text() == nlError)
            announce(m_status, {});
    };
    new calendar_ui::DateBox(
        *m_glDate, calendar_ui::typedGregorianDate, [this] { openGregorianPicker(); }, showPicked,
        [this, glError] { announce(m_status, glError); });
    new calendar_ui::DateBox(
        *m_nlDate, calendar_ui::typedLunarDate, [this] { openLunarPicker(); }, showPicked,
        [this, nlError] { announce(m_status, nlError); });
    m_glDate->setToolTip(QStringLiteral("点击或按F4选取日期,也可输入如1976-2-25"));
    m_nlDate->setToolTip(QStringLiteral("点击或按F4选取日期,也可输入如2006-闰7-15"));
    m_byGregorian = new QRadioButton(QStringLiteral("按公历"), this);
    m_byGregorian->setObjectName(QStringLiteral("Option1"));
    m_byLunar = new QRadioButton(QStringLiteral("按农历"), this);
    m_byLunar->setObjectName(QStringLiteral("Option2"));
    m_nums = comboBox(this, "cboNums", dayCounts());
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

    auto *rule = new QHBoxLayout;
    rule->addWidget(m_byGregorian);
    rule->addWidget(m_byLunar);
    rule->addStretch(1);

    m_form = new QFormLayout;
    QFormLayout *form = m_form;
    const auto row = [&](const char *labelName, const QString &caption, QWidget *field) {
        auto *label = new QLabel(caption, this);
        label->setObjectName(QString::fromLatin1(labelName));
        label->setBuddy(field);
        form->addRow(label, field);
    };
    const auto layoutRow = [&](const char *labelName, const QString &caption, QLayout *field) {
        auto *label = new QLabel(caption, this);
        label->setObjectName(QString::fromLatin1(labelName));
        form->addRow(label, field);
    };
    row("Label1", QStringLiteral("生日名称:"), m_about);
    row("Label2", QStringLiteral("生日类别:"), m_type);
    row("Label3", QStringLiteral("性别:"), m_sex);
    row("Label4", QStringLiteral("联系方式:"), m_tel);
    row("Label5", QStringLiteral("生日备注:"), m_remark);
    row("Label6", QStringLiteral("公历日期:"), m_glDate);
    row("Label7", QStringLiteral("农历日期:"), m_nlDate);
    layoutRow("Label8", QStringLiteral("提醒方式:"), rule);
    row("Label9", QStringLiteral("提醒天数:"), m_nums);
    row("Label10", QStringLiteral("短信提醒:"), m_sms);
    row("Label11", QStringLiteral("部门/类型:"), m_class);
    row("Label12", QStringLiteral("QQ/MSN:"), m_qq);
    row("Label13", QStringLiteral("公司名称:"), m_company);
    row("Label14", QStringLiteral("地址:"), m_address);
    row("Label15", QStringLiteral("工号/卡号:"), m_no);
    // A reader would otherwise call a combo box by the value it shows, and a date box by nothing
    // that says it opens a picker.
    nameForReader(m_sex, QStringLiteral("性别"));
    nameForReader(m_glDate, QStringLiteral("公历日期"), m_glDate->toolTip());
    nameForReader(m_nlDate, QStringLiteral("农历日期"), m_nlDate->toolTip());
    nameForReader(m_nums, QStringLiteral("提醒天数"), QStringLiteral("生日前几天开始提醒"));
    nameForReader(m_sms, QStringLiteral("短信提醒"), QStringLiteral("是否在生日时发送提醒短信"));
    nameForReader(m_class, QStringLiteral("部门/类型"), m_class->toolTip());

    auto *buttons = new QDialogButtonBox(this);
    connect(actButton(buttons, QStringLiteral("cmdOK"), WindowAct::Accept), &QPushButton::clicked,
        this, &frmAddEdit::cmdOK_Click);
    connect(actButton(buttons, QStringLiteral("cmdNo"), WindowAct::Reject), &QPushButton::clicked,
        this, &frmAddEdit::cmdNo_Click);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("StatusBar1"));
    m_status->setFrameShape(QFrame::StyledPanel);
    m_status->setFrameShadow(QFrame::Sunken);
    m_status->setMinimumHeight(m_status->fontMetrics().height() + 6);
    m_status->setAccessibleDescription(QStringLiteral("输入有误时的提示"));

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    layout->addWidget(m_status);
    setMinimumWidth(440);
}

void frmAddEdit::loadBuffer()
{
    if (m_setup.IsBatchEdit) {
        setWindowTitle(QStringLiteral("多个生日修改"));
        m_type->setText(m_buffer.Type);
        m_nums->setCurrentText(QStringLiteral("7"));
        m_sms->setCurrentText(QStringLiteral("否"));
        for (QWidget *w :
            std::initializer_list<QWidget *> { m_type, m_glDate, m_nlDate, m_about, m_sex, m_tel,
                m_byGregorian, m_byLunar, m_class, m_remark, m_qq, m_company, m_address, m_no }) {
            w->setEnabled(false);
            if (QWidget *label = m_form->labelForField(w))
                label->setEnabled(false);
        }
        findChild<QLabel *>(QStringLiteral("Label8"))->setEnabled(false);
        return;
    }
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
    m_glDate->setText(edit.strGL);
    m_nlDate->setText(edit.strNL);
    (edit.IsGL ? m_byGregorian : m_byLunar)->setChecked(true);
    m_nums->setCurrentText(QString::number(edit.intnums));
    m_sms->setCurrentText(edit.Duanxin);
    m_class->setCurrentText(edit.Class);
    m_qq->setText(edit.QQ_MSN);
    m_company->setText(edit.Company);
    m_address->setText(edit.Address);
    m_no->setText(edit.No);
}

void frmAddEdit::applySkin()
{
    const QColor background = skinColor(m_setup.skin, 0);
    const QColor text = skinColor(m_setup.skin, 1);
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
    edit.intnums = qint16(m_nums->currentText().toInt());
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
    announce(m_status, refusal.message);
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
        field = m_nums;
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
    if (picked && (gl != m_glDate->text() || nl != m_nlDate->text())) {
        m_glDate->setText(gl);
        m_nlDate->setText(nl);
    }
}

} // namespace natalis::app
