#include "calendar_ui/datebox.h"
#include "calendar_ui/typeddate.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace natalis::calendar_ui {
namespace {

const QString ShownGL = QStringLiteral("公历1980年 03月03日");

// A date box as the editor uses it, counting what it asks for.
class DateBoxKeys : public testing::Test
{
protected:
    DateBoxKeys()
    {
        box.setText(ShownGL);
        new DateBox(
            box, TypedGregorianDate, [this] { ++opened; },
            [this](const PickedTexts &texts) {
                accepted = texts;
                box.setText(texts.gregorian);
            },
            [this] { ++refused; });
    }

    void type(const QString &text)
    {
        box.selectAll();
        QTest::keyClick(&box, Qt::Key_Backspace);
        QTest::keyClicks(&box, text);
        QTest::keyClick(&box, Qt::Key_Return);
    }

    QLineEdit box;
    int opened = 0;
    int refused = 0;
    std::optional<PickedTexts> accepted;
};

TEST_F(DateBoxKeys, SpaceF4AndAltDownOpenThePicker)
{
    QTest::keyClick(&box, Qt::Key_Space);
    QTest::keyClick(&box, Qt::Key_F4);
    QTest::keyClick(&box, Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(opened, 3);
    QTest::keyClick(&box, Qt::Key_Down);
    QTest::keyClick(&box, Qt::Key_F4, Qt::ControlModifier);
    EXPECT_EQ(opened, 3) << "plain Down and Ctrl+F4 are not the picker's keys";
    QTest::mouseClick(&box, Qt::LeftButton);
    EXPECT_EQ(opened, 4);
    EXPECT_EQ(box.text(), ShownGL);
}

TEST_F(DateBoxKeys, TypedDateIsTakenWithBothTexts)
{
    type(QStringLiteral("1976-2-25"));
    ASSERT_TRUE(accepted.has_value());
    EXPECT_EQ(accepted->lunar, QStringLiteral("农历1976年 01月26日"));
    EXPECT_EQ(box.text(), QStringLiteral("公历1976年 02月25日"));
    EXPECT_EQ(refused, 0);
}

TEST_F(DateBoxKeys, RefusedDatePutsTheShownTextBack)
{
    type(QStringLiteral("2006-2-30"));
    EXPECT_FALSE(accepted.has_value());
    EXPECT_EQ(refused, 1);
    EXPECT_EQ(box.text(), ShownGL);
    type(QString());
    EXPECT_EQ(refused, 1) << "an emptied box keeps its date without a message";
    EXPECT_EQ(box.text(), ShownGL);
}

} // namespace
} // namespace natalis::calendar_ui
