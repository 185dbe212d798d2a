#include "calendar_ui/browsebar.h"

#include "calendar_ui/monthbrowse.h"
#include "calendar_ui/skinpaint.h"
#include "widgets/dialogparts.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace natalis::calendar_ui {

namespace {

// The caption after a box names it for a screen reader, since the box reads only its number.
QLabel *caption(const QString &name, const QString &text, int skin, QComboBox *box)
{
    auto *label = new QLabel(text, box->parentWidget());
    label->setObjectName(name);
    label->setBuddy(box);
    paintCaption(label, skin);
    widgets::nameForReader(box, text);
    return label;
}

} // namespace

BrowseBar::BrowseBar(int skin, QWidget *parent)
    : QWidget(parent), m_year(new QComboBox(this)), m_month(new QComboBox(this))
{
    m_year->setObjectName(QStringLiteral("cboYear"));
    m_month->setObjectName(QStringLiteral("cboMonth"));
    for (int year = FirstShownYear; year <= LastShownYear; ++year)
        m_year->addItem(QString::number(year));
    m_year->setMaxVisibleItems(15);
    m_month->setMaxVisibleItems(13);
    m_month->setMinimumContentsLength(3);
    paintComboBox(m_year, skin);
    paintComboBox(m_month, skin);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(addButton(
        "cmdPrevYear", &BrowseBar::previousYear, QStringLiteral("<<"), QStringLiteral("上一年")));
    layout->addWidget(addButton(
        "cmdPrevMonth", &BrowseBar::previousMonth, QStringLiteral("<"), QStringLiteral("上一月")));
    layout->addStretch();
    layout->addWidget(m_year);
    layout->addWidget(caption(QStringLiteral("Label3"), QStringLiteral("年"), skin, m_year));
    layout->addWidget(m_month);
    layout->addWidget(caption(QStringLiteral("Label2"), QStringLiteral("月"), skin, m_month));
    layout->addStretch();
    layout->addWidget(addButton(
        "cmdNextMonth", &BrowseBar::nextMonth, QStringLiteral(">"), QStringLiteral("下一月")));
    layout->addWidget(addButton(
        "cmdNextYear", &BrowseBar::nextYear, QStringLiteral(">>"), QStringLiteral("下一年")));

    connect(m_year, &QComboBox::activated, this, &BrowseBar::yearChosen);
    connect(m_month, &QComboBox::activated, this, &BrowseBar::monthChosen);
}

QPushButton *BrowseBar::addButton(
    const char *name, void (BrowseBar::*signal)(), const QString &text, const QString &tip)
{
    auto *button = new QPushButton(text, this);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(tip);
    // "<<" and ">" mean nothing read aloud; the tip says what the arrow does.
    widgets::nameForReader(button, tip);
    button->setFixedWidth(36);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, signal);
    return button;
}

int BrowseBar::year() const
{
    return m_year->currentText().toInt();
}

void BrowseBar::setYear(int year)
{
    m_year->setCurrentIndex(year - FirstShownYear);
}

} // namespace natalis::calendar_ui
