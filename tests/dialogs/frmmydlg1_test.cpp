#include "dialogs/frmmydlg1.h"
#include "widgets/modalrunner.h"
#include "support/casename.h"
#include "support/qtprinters.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace natalis::app;

namespace {

const QString TextTitle = QStringLiteral("生日导出到外部制表符分割的文本文件");
const QString V10Title = QStringLiteral("从v1.0生日文件(birth.txt)导入生日");
const QString MusicTitle = QStringLiteral("音乐文件指定");

struct NameRow
{
    const char *situation;
    QString title;
    QString filter;
    QString typed;
    bool chosen;
    QString fileName; // the name at the end of the chosen path, when chosen
    QString status; // panel 1 afterwards
    QString nameBox; // the name box afterwards

    friend void PrintTo(const NameRow &row, std::ostream *os) { *os << row.situation; }
};

class ChooserNames : public testing::TestWithParam<NameRow>
{
};

TEST_P(ChooserNames, ChecksTheTypedName)
{
    const NameRow &row = GetParam();
    QTemporaryDir folder;
    PickedFile picked { row.title, row.filter, false };
    frmMyDlg1 dialog(picked, nullptr, folder.path());
    dialog.setFileName(row.typed);
    dialog.cmdOK_Click();

    EXPECT_EQ(picked.PickedFileOk, row.chosen);
    if (row.chosen)
        EXPECT_EQ(picked.PickedFileText, QDir(folder.path()).filePath(row.fileName));
    else
        EXPECT_TRUE(picked.PickedFileText.isEmpty());
    EXPECT_EQ(dialog.statusText(), row.status);
    EXPECT_EQ(dialog.fileName(), row.nameBox);
}

const QString Text = QStringLiteral("*.txt");
const QString Music = QStringLiteral("*.mp3;*.wav;*.mid");
const QString TextRefused = QStringLiteral("必须指定文本文件(*.txt)!");
const QString MusicRefused = QStringLiteral("必须指定音乐文件文件(*.mp3|*.wav|*.mid)!");

INSTANTIATE_TEST_SUITE_P(Rows, ChooserNames,
    testing::Values(NameRow { "text name without extension gets txt", TextTitle, Text,
                        QStringLiteral("生日备份"), true, QStringLiteral("生日备份.txt"), {},
                        QStringLiteral("生日备份.txt") },
        NameRow { "music name without extension gets mp3", MusicTitle, Music,
            QStringLiteral("song"), true, QStringLiteral("song.mp3"), {},
            QStringLiteral("song.mp3") },
        NameRow { "capital MP3 accepted", MusicTitle, Music, QStringLiteral("  ALARM.MP3 "), true,
            QStringLiteral("ALARM.MP3"), {}, QStringLiteral("  ALARM.MP3 ") },
        NameRow { "wav and mid accepted", MusicTitle, Music, QStringLiteral("a.Mid"), true,
            QStringLiteral("a.Mid"), {}, QStringLiteral("a.Mid") },
        NameRow { "other music extension refused", MusicTitle, Music, QStringLiteral("song.ogg"),
            false, {}, MusicRefused, QStringLiteral("song.ogg") },
        NameRow { "txt in capitals accepted", TextTitle, Text, QStringLiteral("LIST.TXT"), true,
            QStringLiteral("LIST.TXT"), {}, QStringLiteral("LIST.TXT") },
        NameRow { "other text extension refused", TextTitle, Text, QStringLiteral("list.csv"),
            false, {}, TextRefused, QStringLiteral("list.csv") },
        NameRow { "dot without txt ending refused", TextTitle, Text, QStringLiteral("v1.0"), false,
            {}, TextRefused, QStringLiteral("v1.0") },
        NameRow { "empty name", TextTitle, Text, QStringLiteral("   "), false, {},
            QStringLiteral("必须指定文件名!"), QStringLiteral("   ") },
        NameRow { "v1.0 import wants birth.txt", V10Title, Text, QStringLiteral("old.txt"), false,
            {}, QStringLiteral("v1.0生日文件应该是birth.txt"), QStringLiteral("birth.txt") },
        NameRow { "v1.0 import with empty name", V10Title, Text, QString(), false, {},
            QStringLiteral("v1.0生日文件应该是birth.txt"), QStringLiteral("birth.txt") },
        NameRow { "v1.0 import takes birth.txt", V10Title, Text, QStringLiteral(" birth.txt"), true,
            QStringLiteral("birth.txt"), {}, QStringLiteral(" birth.txt") },
        NameRow { "birth.txt rule only for the v1.0 title", TextTitle, Text,
            QStringLiteral("old.txt"), true, QStringLiteral("old.txt"), {},
            QStringLiteral("old.txt") },
        NameRow { "spreadsheet name without extension gets csv", TextTitle, QStringLiteral("*.csv"),
            QStringLiteral("名单"), true, QStringLiteral("名单.csv"), {},
            QStringLiteral("名单.csv") },
        NameRow { "spreadsheet filter refuses txt", TextTitle, QStringLiteral("*.csv"),
            QStringLiteral("a.txt"), false, {}, QStringLiteral("必须指定CSV文件(*.csv)!"),
            QStringLiteral("a.txt") }),
    natalis::test::BySituation());

TEST(Chooser, TitleTakenAndEmptiedOnLoad)
{
    PickedFile picked { V10Title, QStringLiteral("*.txt"), false };
    frmMyDlg1 dialog(picked, nullptr, QDir::tempPath());
    EXPECT_EQ(dialog.windowTitle(), V10Title);
    EXPECT_TRUE(picked.PickedFileText.isEmpty());
}

TEST(Chooser, RootFolderHasOneSeparator)
{
    PickedFile picked { TextTitle, QStringLiteral("*.txt"), false };
    frmMyDlg1 dialog(picked, nullptr, QDir::rootPath());
    dialog.setFileName(QStringLiteral("a"));
    dialog.cmdOK_Click();
    ASSERT_TRUE(picked.PickedFileOk);
    EXPECT_EQ(picked.PickedFileText,
        QDir::toNativeSeparators(QDir::rootPath() + QStringLiteral("a.txt")));
}

TEST(Chooser, FileListFollowsPatternAndFolder)
{
    QTemporaryDir folder;
    for (const char *name : { "a.txt", "b.MP3", "c.wav", "d.doc" }) {
        QFile file(QDir(folder.path()).filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("sub")));
    PickedFile picked { MusicTitle, QStringLiteral("*.mp3;*.wav;*.mid"), false };
    frmMyDlg1 dialog(picked, nullptr, folder.path());
    EXPECT_EQ(
        dialog.fileNames(), (QStringList { QStringLiteral("b.MP3"), QStringLiteral("c.wav") }));

    dialog.Dir1_DblClick(QStringLiteral("sub"));
    EXPECT_EQ(dialog.folder(), QDir(folder.path()).filePath(QStringLiteral("sub")));
    EXPECT_TRUE(dialog.fileNames().isEmpty());
    dialog.Dir1_DblClick(QStringLiteral(".."));
    EXPECT_EQ(dialog.folder(), QDir(folder.path()).absolutePath());
}

TEST(Chooser, DoubleClickChoosesTheFile)
{
    QTemporaryDir folder;
    PickedFile picked { TextTitle, QStringLiteral("*.txt"), false };
    frmMyDlg1 dialog(picked, nullptr, folder.path());
    dialog.File1_DblClick(QStringLiteral("list.txt"));
    EXPECT_TRUE(picked.PickedFileOk);
    EXPECT_EQ(picked.PickedFileText, QDir(folder.path()).filePath(QStringLiteral("list.txt")));
}

TEST(Chooser, TypedAbsolutePathIsTakenAsItIs)
{
    QTemporaryDir here;
    QTemporaryDir elsewhere;
    PickedFile picked { TextTitle, QStringLiteral("*.txt"), false };
    frmMyDlg1 dialog(picked, nullptr, here.path());
    dialog.setFileName(QDir(elsewhere.path()).filePath(QStringLiteral("out")));
    dialog.cmdOK_Click();
    ASSERT_TRUE(picked.PickedFileOk);
    EXPECT_EQ(picked.PickedFileText,
        QDir::toNativeSeparators(QDir(elsewhere.path()).filePath(QStringLiteral("out.txt"))));
}

TEST(Chooser, EachUseOpensWhereItWasLastLeft)
{
    QTemporaryDir imports;
    QTemporaryDir music;
    const auto pick = [](ChooserUse use, const QString &filter, const QString &typed) {
        QString opened;
        PickedFile picked;
        PickFile(
            nullptr, picked, TextTitle, filter,
            [&](QDialog &dialog) {
                auto &chooser = static_cast<frmMyDlg1 &>(dialog);
                opened = chooser.folder();
                chooser.setFileName(typed);
                chooser.cmdOK_Click();
            },
            use);
        return opened;
    };
    pick(ChooserUse::Import, Text, QDir(imports.path()).filePath(QStringLiteral("a.txt")));
    pick(ChooserUse::Music, Music, QDir(music.path()).filePath(QStringLiteral("a.mp3")));
    EXPECT_EQ(
        pick(ChooserUse::Import, Text, QStringLiteral("b")), QDir(imports.path()).absolutePath());
    EXPECT_EQ(
        pick(ChooserUse::Music, Music, QStringLiteral("b")), QDir(music.path()).absolutePath());
    EXPECT_EQ(pick(ChooserUse::Numbers, Text, QStringLiteral("b")), QDir::homePath());
}

TEST(Chooser, ExitClearsTheFlag)
{
    PickedFile picked { TextTitle, QStringLiteral("*.txt"), true };
    frmMyDlg1 dialog(picked, nullptr, QDir::tempPath());
    dialog.cmdExit_Click();
    EXPECT_FALSE(picked.PickedFileOk);
}

} // namespace
