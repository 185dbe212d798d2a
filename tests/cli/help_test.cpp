// natalis-cli's help in the user's language: Chinese under a Chinese locale, Qt's own lines of
// it included, and English otherwise.

#include "support/clirun.h"
#include "support/qtprinters.h"

#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QString help(const QStringList &arguments, const QString &lang)
{
    return natalis::test::runCli(QStringLiteral(NATALIS_CLI_PATH), arguments,
        { u"LANG="_s + lang, u"LC_ALL="_s, u"LC_MESSAGES="_s, u"LANGUAGE="_s })
        .out;
}

// A line of nothing but ASCII with two English words in a row, or a section title such as
// "Options:": text left untranslated. Option, value and file names ("--db <PATH>", "QQ/MSN") are
// no prose.
bool isEnglishProse(const QString &line)
{
    static const QRegularExpression words(u"(^|[ (])[A-Za-z]{2,},? [a-z]{2,}|^[A-Z][a-z]+:$"_s);
    for (const QChar c : line) {
        if (c.unicode() > 0x7f)
            return false;
    }
    return words.match(line).hasMatch();
}

// The commands the program's own help lists, so that one added later is checked too.
QStringList listedCommands()
{
    QStringList listed;
    static const QRegularExpression commandLine(u"^  (\\S+) "_s);
    for (const QString &line : help({ u"--help"_s }, u"C"_s).split(u'\n')) {
        if (const QRegularExpressionMatch m = commandLine.match(line); m.hasMatch())
            listed << m.captured(1);
    }
    return listed;
}

TEST(CommandHelp, EveryCommandIsChineseUnderAChineseLocaleAndEnglishOtherwise)
{
    const QStringList commands = listedCommands();
    ASSERT_TRUE(commands.contains(u"remind"_s)) << commands.join(u' ').toStdString();
    for (const QString &command : commands) {
        SCOPED_TRACE(command.toStdString());
        const QString chinese = help({ command, u"--help"_s }, u"zh_CN.UTF-8"_s);
        EXPECT_TRUE(chinese.startsWith(u"用法: natalis-cli "_s + command)) << chinese.toStdString();
        for (const QString &line : chinese.split(u'\n'))
            EXPECT_FALSE(isEnglishProse(line)) << line.toStdString();

        const QString english = help({ command, u"--help"_s }, u"C"_s);
        const QStringList lines = english.split(u'\n');
        ASSERT_GT(lines.size(), 2) << english.toStdString();
        EXPECT_TRUE(lines[0].startsWith(u"Usage: natalis-cli "_s + command))
            << lines[0].toStdString();
        EXPECT_TRUE(isEnglishProse(lines[1])) << "description: " << lines[1].toStdString();
        EXPECT_TRUE(lines.contains(u"Options:"_s));
    }
}

TEST(CliHelp, ListsItsCommandsInChineseUnderAChineseLocaleAndInEnglishOtherwise)
{
    const QString chinese = help({ u"--help"_s }, u"zh_CN.UTF-8"_s);
    EXPECT_TRUE(chinese.startsWith(u"用法: natalis-cli 命令 [参数]\n"_s)) << chinese.toStdString();
    EXPECT_TRUE(chinese.contains(u" 删除一条生日\n"_s));
    const QString english = help({ u"--help"_s }, u"C"_s);
    EXPECT_TRUE(english.startsWith(u"Usage: natalis-cli COMMAND [ARGUMENTS]\n"_s))
        << english.toStdString();
    EXPECT_TRUE(english.contains(u" delete a birthday\n"_s));
    // Every summary starts in one column, whichever command's name is the longest.
    static const QRegularExpression summary(u"^  \\S+ +\\S"_s, QRegularExpression::MultilineOption);
    for (const QString &text : { chinese, english }) {
        QSet<qsizetype> columns;
        for (auto it = summary.globalMatch(text); it.hasNext();)
            columns.insert(it.next().capturedLength());
        EXPECT_EQ(columns.size(), 1) << text.toStdString();
    }
}

} // namespace
