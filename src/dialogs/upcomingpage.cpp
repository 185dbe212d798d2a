#include "dialogs/upcomingpage.h"

#include "calendar/datetext.h"
#include "reminder/upcomingbirthdays.h"
#include "widgets/dialogparts.h"

namespace natalis::dialogs {

namespace {

// "今天", "明天" or "3天".
QString daysLeftText(int daysLeft)
{
    return daysLeft == 0 ? QStringLiteral("今天")
        : daysLeft == 1  ? QStringLiteral("明天")
                         : QStringLiteral("%1天").arg(daysLeft);
}

} // namespace

QString UpcomingPage::tabCaption()
{
    return QStringLiteral("近期生日");
}

QString UpcomingPage::tabToolTip()
{
    return QStringLiteral("所有类别中今后30天内过生日的人,近者在前");
}

UpcomingPage::UpcomingPage(QWidget *parent) : JumpList(110, parent)
{
    setObjectName(QStringLiteral("lstUpcoming"));
    widgets::nameForReader(this, tabCaption(), tabToolTip() + QStringLiteral(",回车转到所在类别"));
}

void UpcomingPage::refresh(const store::BirthdayList &birthdays, const QDate &today)
{
    restart({ QStringLiteral("生日名称"), QStringLiteral("所在类别"), QStringLiteral("下次生日"),
        QStringLiteral("还有"), QStringLiteral("年龄"), QStringLiteral("提醒方式"),
        QStringLiteral("联系方式"), QStringLiteral("类型") });
    for (const reminder::UpcomingBirthday &entry : reminder::upcomingBirthdays(birthdays, today)) {
        const store::BirthdayRecord &record = birthdays[entry.index];
        append(record,
            { record.About.trimmed(), listCaption(listOf(record)),
                calendar::comingDayText(entry.next.date), daysLeftText(entry.daysLeft),
                entry.next.hasYear ? QString::number(entry.next.age) : QString(),
                entry.next.lunar ? QStringLiteral("按农历提醒") : QStringLiteral("按公历提醒"),
                record.Tel.trimmed(), record.Kind });
    }
    resizeColumnToContents(2);
}

} // namespace natalis::dialogs
