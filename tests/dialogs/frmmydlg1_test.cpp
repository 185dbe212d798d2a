#include "dialogs/frmmydlg1.h"
#include "support/qtprinters.h"
#include "widgets/modalrunner.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace natalis::app;
using namespace Qt::StringLiterals;

namespace {

const QString TextTitle = u"生日导出到外部制表符分割的文本文件"_s;
const QString V10Title = u"从v1.0生日文件(birth.txt)导入生日"_s;
const QString MusicTitle = u"音乐文件指定"_s;

TEST(Chooser, ChecksTheTypedNameAndCompletesItsExtension)
{
    const struct
    {
        const char *situation;
        QString title, filter;
        QString typed;
        QString chosen; // the file name at the end of the chosen path; empty: refused
        QString status; // panel 1 afterwards
        QString nameBox; // the name box afterwards; empty: as typed
    } rows[] = {
        { "text name without extension gets txt", TextTitle, TextFileFilter, u"生日备份"_s,
            u"生日备份.txt"_s, {}, u"生日备份.txt"_s },
        { "capital MP3 with blanks accepted", MusicTitle, MusicFileFilter, u"  ALARM.MP3 "_s,
            u"ALARM.MP3"_s, {}, {} },
        { "mid accepted", MusicTitle, MusicFileFilter, u"a.Mid"_s, u"a.Mid"_s, {}, {} },
        { "other music extension refused", MusicTitle, MusicFileFilter, u"song.ogg"_s, {},
            u"必须指定音乐文件文件(*.mp3|*.wav|*.mid)!"_s, {} },
        { "other text extension refused", TextTitle, TextFileFilter, u"list.csv"_s, {},
            u"必须指定文本文件(*.txt)!"_s, {} },
        { "empty name", TextTitle, TextFileFilter, u"   "_s, {}, u"必须指定文件名!"_s, {} },
        { "v1.0 import wants birth.txt", V10Title, TextFileFilter, u"old.txt"_s, {},
            u"v1.0生日文件应该是birth.txt"_s, u"birth.txt"_s },
        { "v1.0 import takes birth.txt", V10Title, TextFileFilter, u" birth.txt"_s, u"birth.txt"_s,
            {}, {} },
        { "birth.txt rule only for the v1.0 title", TextTitle, TextFileFilter, u"old.txt"_s,
            u"old.txt"_s, {}, {} },
        { "spreadsheet name without extension gets csv", TextTitle, CsvFileFilter, u"名单"_s,
            u"名单.csv"_s, {}, u"名单.csv"_s },
        { "spreadsheet filter refuses txt", TextTitle, CsvFileFilter, u"a.txt"_s, {},
            u"必须指定CSV文件(*.csv)!"_s, {} },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.situation);
        QTemporaryDir folder;
        PickedFile picked { row.title, row.filter, false };
        frmMyDlg1 dialog(picked, nullptr, folder.path());
        dialog.setFileName(row.typed);
        dialog.cmdOK_Click();
        EXPECT_EQ(picked.PickedFileOk, !row.chosen.isEmpty());
        EXPECT_EQ(picked.PickedFileText,
            row.chosen.isEmpty() ? QString() : QDir(folder.path()).filePath(row.chosen));
        EXPECT_EQ(dialog.statusText(), row.status);
        EXPECT_EQ(dialog.fileName(), row.nameBox.isEmpty() ? row.typed : row.nameBox);
    }
}

TEST(Chooser, TakesATypedFullPathAsItIsAndADoubleClickedFile)
{
    PickedFile picked { TextTitle, TextFileFilter, false };
    QTemporaryDir here, elsewhere;
    frmMyDlg1 dialog(picked, nullptr, here.path());
    dialog.setFileName(QDir(elsewhere.path()).filePath(u"out"_s));
    dialog.cmdOK_Click();
    EXPECT_EQ(picked.PickedFileText,
        QDir::toNativeSeparators(QDir(elsewhere.path()).filePath(u"out.txt"_s)));
    dialog.File1_DblClick(u"list.txt"_s);
    EXPECT_EQ(picked.PickedFileText, QDir(here.path()).filePath(u"list.txt"_s))
        << "a double click chooses the file";
}

TEST(Chooser, FileListFollowsPatternAndFolder)
{
    QTemporaryDir folder;
    for (const char *name : { "a.txt", "b.MP3", "c.wav", "d.doc" })
        QFile(QDir(folder.path()).filePath(QLatin1String(name))).open(QIODevice::WriteOnly);
    QDir(folder.path()).mkdir(u"sub"_s);
    PickedFile picked { MusicTitle, MusicFileFilter, false };
    frmMyDlg1 dialog(picked, nullptr, folder.path());
    EXPECT_EQ(dialog.fileNames(), QStringList({ u"b.MP3"_s, u"c.wav"_s }));
    dialog.Dir1_DblClick(u"sub"_s);
    EXPECT_EQ(dialog.folder(), QDir(folder.path()).filePath(u"sub"_s));
    EXPECT_TRUE(dialog.fileNames().isEmpty());
    dialog.Dir1_DblClick(u".."_s);
    EXPECT_EQ(dialog.folder(), QDir(folder.path()).absolutePath());
}

TEST(Chooser, EachUseOpensWhereItWasLastLeft)
{
    QTemporaryDir imports, music;
    const auto pick = [](ChooserUse use, const QString &typed) {
        QString opened;
        PickedFile picked;
        pickFile(
            nullptr, picked, TextTitle, TextFileFilter,
            [&](QDialog &dialog) {
                auto &chooser = static_cast<frmMyDlg1 &>(dialog);
                opened = chooser.folder();
                chooser.setFileName(typed);
                chooser.cmdOK_Click();
            },
            use);
        return opened;
    };
    pick(ChooserUse::Import, QDir(imports.path()).filePath(u"a.txt"_s));
    pick(ChooserUse::Music, QDir(music.path()).filePath(u"a.txt"_s));
    EXPECT_EQ(pick(ChooserUse::Import, u"b"_s), QDir(imports.path()).absolutePath());
    EXPECT_EQ(pick(ChooserUse::Music, u"b"_s), QDir(music.path()).absolutePath());
    EXPECT_EQ(pick(ChooserUse::Numbers, u"b"_s), QDir::homePath());
}

} // namespace
