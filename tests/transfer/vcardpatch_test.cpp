// A card the server holds, the values it was last read as, one change made here: the card that
// goes back, against a golden file of patch/.
#include "calendar/datetext.h"
#include "calendar/lunarconversion.h"
#include "support/casename.h"
#include "transfer/importinsert.h"
#include "transfer/vcardimport.h"
#include "transfer/vcardpatch.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace natalis::transfer {
namespace {

using store::BirthdayRecord;

QByteArray patchFile(const char *name)
{
    QFile file(QStringLiteral(NATALIS_VCARD_DIR "/patch/") + QString::fromLatin1(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The card as a sync reads it, the base of the next change.
BirthdayRecord readBack(const QByteArray &card)
{
    const VcardImportReading read = readVcardImportBytes(card, QString());
    if (read.reading.records.isEmpty())
        return {};
    BirthdayRecord record = storedBirthday(read.reading.records.first());
    record.Uid = read.reading.records.first().uid();
    return record;
}

void born(BirthdayRecord &r, QDate day)
{
    r.strGL = calendar::gregorianText(day);
    r.strNL = calendar::lunarText(*calendar::solarToLunar(day));
}

void bornLunar(BirthdayRecord &r, calendar::LunarDate day)
{
    r.strNL = calendar::lunarText(day);
    r.strGL = calendar::gregorianText(*calendar::lunarToSolar(day));
}

struct PatchRow
{
    const char *situation;
    const char *server;
    void (*change)(BirthdayRecord &);
    const char *expected; // the server's file itself when nothing may change
};

const PatchRow PatchRows[] = {
    { "iPhone card unchanged", "iphone.vcf", [](BirthdayRecord &) {}, "iphone.vcf" },
    { "iPhone card renamed", "iphone.vcf", [](BirthdayRecord &r) { r.About = u"陈大明"_s; },
        "iphone-renamed.vcf" },
    { "lunar birthday changed on an iPhone card", "iphone.vcf",
        [](BirthdayRecord &r) {
            bornLunar(r, { 1990, 5, 24, false });
        },
        "iphone-lunar.vcf" },
    { "number changed among two TELs", "iphone.vcf",
        [](BirthdayRecord &r) { r.Tel = u"13811112222"_s; }, "iphone-number.vcf" },
    { "lunar-only card gains no BDAY", "iphone-lunar-only.vcf",
        [](BirthdayRecord &r) {
            bornLunar(r, { 1942, 8, 16, false });
        },
        "iphone-lunar-only-changed.vcf" },
    { "the only number removed here", "iphone-lunar-only.vcf",
        [](BirthdayRecord &r) { r.Tel.clear(); }, "iphone-lunar-only-without-number.vcf" },
    { "remark added", "android.vcf", [](BirthdayRecord &r) { r.Beizhu = u"喜欢喝茶"_s; },
        "android-remark.vcf" },
    { "category changed among the phone's own", "android.vcf",
        [](BirthdayRecord &r) { r.Type = u"家人"_s; }, "android-category.vcf" },
    { "Gregorian birthday changed", "android.vcf",
        [](BirthdayRecord &r) { born(r, QDate(1988, 3, 22)); }, "android-birthday.vcf" },
    { "lunar rule chosen adds our own fields", "android.vcf",
        [](BirthdayRecord &r) { r.blnIsGL = u"按农历提醒"_s; }, "android-lunar-rule.vcf" },
    { "cut name untouched when the remark changes", "nextcloud.vcf",
        [](BirthdayRecord &r) { r.Beizhu = u"new team lead"_s; }, "nextcloud-remark.vcf" },
    { "remark removed", "nextcloud.vcf", [](BirthdayRecord &r) { r.Beizhu.clear(); },
        "nextcloud-without-remark.vcf" },
    { "address changed keeps postal code and country", "nextcloud.vcf",
        [](BirthdayRecord &r) { r.Address = u"浦东新区世纪大道100号"_s; },
        "nextcloud-address.vcf" },
    { "number changed in a tel URI", "nextcloud.vcf",
        [](BirthdayRecord &r) { r.Tel = u"13900003333"_s; }, "nextcloud-number.vcf" },
    { "vCard 4.0 birthday and department changed", "nextcloud.vcf",
        [](BirthdayRecord &r) {
            born(r, QDate(1979, 8, 16));
            r.Class = u"Sales"_s;
        },
        "nextcloud-birthday.vcf" },
    { "advance days changed on our own card", "ours.vcf", [](BirthdayRecord &r) { r.intNums = 5; },
        "ours-days.vcf" },
    { "several reminder days and 跳过 on our own card", "ours.vcf",
        [](BirthdayRecord &r) {
            r.intNums = 7;
            r.Days = u"7,1,0"_s;
            r.LeapRule = u"跳过"_s;
        },
        "ours-several-days.vcf" },
    { "vCard 4.0 birthday made a 忌日", "nextcloud.vcf",
        [](BirthdayRecord &r) { r.Kind = u"忌日"_s; }, "nextcloud-memorial.vcf" },
    { "birthday made year-less on an Android card", "android.vcf",
        [](BirthdayRecord &r) {
            r.strGL = calendar::gregorianMonthDayText(3, 22);
            r.strNL.clear();
        },
        "android-yearless.vcf" },
};

using VcardPatch = testing::TestWithParam<PatchRow>;

TEST_P(VcardPatch, ChangesOnlyWhatChangedHere)
{
    const PatchRow &row = GetParam();
    const QByteArray server = patchFile(row.server);
    const BirthdayRecord synced = readBack(server);
    ASSERT_FALSE(synced.About.isEmpty());
    BirthdayRecord changed = synced;
    row.change(changed);
    const QByteArray patched =
        patchVcard(server, synced, changed, QDateTime(QDate(2026, 12, 8), QTime(9, 30), Qt::UTC));
    const QByteArray expected = patchFile(row.expected);
    if (patched != expected) {
        QFile actual(QDir::temp().filePath(QString::fromLatin1(row.expected)));
        if (actual.open(QIODevice::WriteOnly))
            actual.write(patched);
    }
    EXPECT_EQ(QString::fromUtf8(patched), QString::fromUtf8(expected));
    EXPECT_EQ(readBack(patched), changed);
}

INSTANTIATE_TEST_SUITE_P(Vcard, VcardPatch, testing::ValuesIn(PatchRows), test::BySituation());

} // namespace
} // namespace natalis::transfer
