// Renders the calendar windows with sample birthdays into PNG files, to look at them without
// clicking through the program: natalis-calendar-screenshots <output folder>

#include "calendar_ui/calendarhost.h"
#include "calendar_ui/frmindate.h"
#include "calendar_ui/frmindate1.h"
#include "calendar_ui/frmwnl.h"

#include <QApplication>
#include <QDir>
#include <QTextStream>

namespace {

using namespace natalis;

class SampleHost : public calendar_ui::CalendarHost
{
public:
    explicit SampleHost(int skin) : m_skin(skin)
    {
        for (const char *name : { "张三", "李四", "王五", "欧阳娜娜" })
            m_birthdays.append(
                birthday(QString::fromUtf8(name), QStringLiteral("公历1985年 06月10日")));
        store::BirthdayRecord lunar = birthday(QStringLiteral("赵六"), QString());
        lunar.strNL = QStringLiteral("农历1980年 05月05日");
        lunar.blnIsGL = QStringLiteral("按农历提醒");
        m_birthdays.append(lunar);
    }

    const store::BirthdayList &birthdays() const override { return m_birthdays; }
    int currentSkin() const override { return m_skin; }
    QDateTime now() const override { return QDateTime(QDate(2006, 6, 10), QTime(9, 0)); }
    QString todayNotifyText() const override { return QStringLiteral("张三今天生日 李四今天生日"); }
    void stopMusic() override { }
    void DisableOther() override { }
    void EnableOther() override { }
    void showMainWindow() override { }
    void showDayList(const QString &, const QString &) override { }
    void showTodayList(const QString &) override { }

private:
    static store::BirthdayRecord birthday(const QString &name, const QString &glText)
    {
        store::BirthdayRecord record;
        record.About = name;
        record.Type = QStringLiteral("同学");
        record.Tel = QStringLiteral("13800138000");
        record.strGL = glText;
        record.blnIsGL = QStringLiteral("按公历提醒");
        return record;
    }

    int m_skin;
    store::BirthdayList m_birthdays;
};

void save(QWidget &widget, const QDir &folder, const QString &name)
{
    widget.show();
    QApplication::processEvents();
    const QString path = folder.filePath(name + QStringLiteral(".png"));
    widget.grab().save(path);
    QTextStream(stdout) << path << '\n';
}

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    QDir().mkpath(folder.path());

    SampleHost skin1(1);
    calendar_ui::frmWNL birthdays(skin1, false);
    birthdays.setAttribute(Qt::WA_DeleteOnClose, false);
    save(birthdays, folder, QStringLiteral("frmWNL-birthdays"));
    birthdays.lblGLDay_MouseMove(13); // 10 June 2006: four birthdays
    save(birthdays, folder, QStringLiteral("frmWNL-birthdays-hover"));
    birthdays.lblGLDay_MouseMove(4); // 1 June: a festival, the notice to the right
    save(birthdays, folder, QStringLiteral("frmWNL-birthdays-hover-festival"));
    birthdays.lblGLDay_MouseMove(33); // bottom row
    save(birthdays, folder, QStringLiteral("frmWNL-birthdays-hover-bottom"));

    SampleHost skin4(4);
    calendar_ui::frmWNL perpetual(skin4, true);
    perpetual.setAttribute(Qt::WA_DeleteOnClose, false);
    perpetual.FillMonthGrid(2006, 1);
    save(perpetual, folder, QStringLiteral("frmWNL-perpetual-skin4"));

    calendar_ui::frmInDate gregorian(1, QDate(2006, 6, 10), QStringLiteral("公历1976年 02月25日"));
    save(gregorian, folder, QStringLiteral("frmInDate"));
    calendar_ui::frmInDate1 lunar(3, QDate(2006, 6, 10), QStringLiteral("农历2006年闰07月15日"));
    save(lunar, folder, QStringLiteral("frmInDate1-leap"));
    return 0;
}
