#include "dialogs/filechooser.h"
#include "support/filedialoganswer.h"
#include "support/qtprinters.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace natalis;
using namespace Qt::StringLiterals;

namespace {

const QString TextTitle = u"生日导出到外部制表符分割的文本文件"_s;
const QString V10Title = u"从v1.0生日文件(birth.txt)导入生日"_s;
const QString MusicTitle = u"音乐文件指定"_s;

TEST(Chooser, ChecksTheChosenNameAndCompletesItsExtension)
{
    const struct
    {
        const char *situation;
        QString title, filter;
        QString chosen; // the file name the user chose in the dialog
        QString taken; // the file name taken; empty: refused
        QString refusal;
    } rows[] = {
        { "text name without extension gets txt", TextTitle, dialogs::TextFileFilter, u"生日备份"_s,
            u"生日备份.txt"_s, {} },
        { "capital MP3 accepted", MusicTitle, dialogs::MusicFileFilter, u"ALARM.MP3"_s,
            u"ALARM.MP3"_s, {} },
        { "mid accepted", MusicTitle, dialogs::MusicFileFilter, u"a.Mid"_s, u"a.Mid"_s, {} },
        { "music name without extension gets mp3", MusicTitle, dialogs::MusicFileFilter, u"bell"_s,
            u"bell.mp3"_s, {} },
        { "other music extension refused", MusicTitle, dialogs::MusicFileFilter, u"song.ogg"_s, {},
            u"必须指定音乐文件文件(*.mp3|*.wav|*.mid)!"_s },
        { "other text extension refused", TextTitle, dialogs::TextFileFilter, u"list.csv"_s, {},
            u"必须指定文本文件(*.txt)!"_s },
        { "blank name", TextTitle, dialogs::TextFileFilter, u"   "_s, {}, u"必须指定文件名!"_s },
        { "v1.0 import wants birth.txt", V10Title, dialogs::TextFileFilter, u"old.txt"_s, {},
            u"v1.0生日文件应该是birth.txt"_s },
        { "v1.0 import takes birth.txt", V10Title, dialogs::TextFileFilter, u"birth.txt"_s,
            u"birth.txt"_s, {} },
        { "birth.txt rule only for the v1.0 title", TextTitle, dialogs::TextFileFilter,
            u"old.txt"_s, u"old.txt"_s, {} },
        { "spreadsheet name without extension gets csv", TextTitle, dialogs::CsvFileFilter,
            u"名单"_s, u"名单.csv"_s, {} },
        { "spreadsheet filter refuses txt", TextTitle, dialogs::CsvFileFilter, u"a.txt"_s, {},
            u"必须指定CSV文件(*.csv)!"_s },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.situation);
        QString path = u"/home/user/"_s + row.chosen;
        const std::optional<QString> refusal =
            dialogs::chosenFileRefusal(row.title, row.filter, path);
        EXPECT_EQ(refusal.value_or(QString()), row.refusal);
        if (!row.taken.isEmpty()) {
            EXPECT_EQ(path, u"/home/user/"_s + row.taken);
        }
    }
}

TEST(Chooser, EachUseOpensWhereItWasLastLeftAndARefusalOpensItAgain)
{
    QTemporaryDir imports, music;
    const auto pick = [](dialogs::ChooserUse use, QStringList answers) {
        QStringList opened;
        dialogs::PickedFile picked;
        pickFile(
            nullptr, picked, TextTitle, dialogs::TextFileFilter,
            [&](QDialog &dialog) {
                auto *chooser = qobject_cast<QFileDialog *>(&dialog);
                if (!chooser) // the refusal's message box
                    return;
                opened << chooser->directory().absolutePath() + u'|' + dialog.windowTitle();
                natalis::test::answerFileDialog(dialog, answers.takeFirst());
            },
            use);
        return opened;
    };
    const QString importsFolder = QDir(imports.path()).absolutePath();
    pick(dialogs::ChooserUse::Import, { QDir(imports.path()).filePath(u"a.txt"_s) });
    pick(dialogs::ChooserUse::Music, { QDir(music.path()).filePath(u"a.txt"_s) });
    EXPECT_EQ(pick(dialogs::ChooserUse::Import,
                  { QDir(imports.path()).filePath(u"b.doc"_s),
                      QDir(imports.path()).filePath(u"b.txt"_s) }),
        QStringList({ importsFolder + u'|' + TextTitle, importsFolder + u'|' + TextTitle }));
    EXPECT_EQ(pick(dialogs::ChooserUse::Music, { u"b.txt"_s }),
        QStringList { QDir(music.path()).absolutePath() + u'|' + TextTitle });
    EXPECT_EQ(pick(dialogs::ChooserUse::Numbers, { u"b.txt"_s }),
        QStringList { QDir::homePath() + u'|' + TextTitle });
}

} // namespace
