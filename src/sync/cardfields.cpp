#include "sync/cardfields.h"

#include "store/categories.h"
#include "store/entrykind.h"
#include "store/reminddays.h"
#include "transfer/contentline.h"
#include "transfer/vcardexport.h"
#include "transfer/vcardparser.h"
#include "transfer/vcardpatch.h"

#include <QUrl>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace natalis::sync::cards {

using store::BirthdayRecord;

namespace {

// Names the Uid of a card that carries none, by its address, so that it is the same birthday
// at every sync.
const QUuid HrefUidSpace = QUuid::fromString(u"b3e0c0a4-5f0e-4d8e-9a55-0f6c2b8e4d17");

// The fields a card carries, by the editor's label. The dates and their rule are one field:
// each is derived from the others, and a merge must not pair one side's date with the other's.
struct FieldAccess
{
    QStringView label;
    QString (*get)(const BirthdayRecord &);
    void (*set)(BirthdayRecord &, const QString &);
};

#define NATALIS_TEXT_FIELD(label, member)                                                          \
    FieldAccess                                                                                    \
    {                                                                                              \
        label, [](const BirthdayRecord &r) { return r.member.trimmed(); },                         \
            [](BirthdayRecord &r, const QString &v) { r.member = v; }                              \
    }

const FieldAccess CardFields[] = {
    NATALIS_TEXT_FIELD(u"生日名称", About),
    NATALIS_TEXT_FIELD(u"生日类别", Type),
    NATALIS_TEXT_FIELD(u"联系方式", Tel),
    NATALIS_TEXT_FIELD(u"生日备注", Beizhu),
    // A kind or leap-month rule other than the default goes behind the dates, so that the
    // value a birthday was synced with before kinds stays what it is.
    { u"日期",
        [](const BirthdayRecord &r) {
            QString value =
                r.blnIsGL.trimmed() + u'|' + r.strGL.trimmed() + u'|' + r.strNL.trimmed();
            const store::EntryKind kind = store::entryKindOf(r.Kind);
            const store::LeapMonthRule leap = store::leapMonthRuleOf(r.LeapRule);
            if (kind != store::EntryKind::Birthday || leap != store::LeapMonthRule::RegularMonth)
                value += u'|' + store::entryKindText(kind) + u'|' + store::leapMonthRuleText(leap);
            return value;
        },
        [](BirthdayRecord &r, const QString &v) {
            const QStringList parts = v.split(u'|');
            r.blnIsGL = parts.value(0);
            r.strGL = parts.value(1);
            r.strNL = parts.value(2);
            r.Kind = store::entryKindText(store::entryKindOf(parts.value(3)));
            r.LeapRule = store::leapMonthRuleText(store::leapMonthRuleOf(parts.value(4)));
        } },
    { u"提醒天数",
        [](const BirthdayRecord &r) {
            return r.Days.trimmed().isEmpty() ? QString::number(r.intNums) : r.Days.trimmed();
        },
        [](BirthdayRecord &r, const QString &v) {
            const QList<qint16> days = store::remindDaysOf(v, qint16(v.toInt()));
            r.intNums = days.first();
            r.Days = store::remindDaysText(days);
        } },
    NATALIS_TEXT_FIELD(u"短信提醒", Duanxin),
    NATALIS_TEXT_FIELD(u"性别", Sex),
    NATALIS_TEXT_FIELD(u"部门/类别", Class),
    NATALIS_TEXT_FIELD(u"QQ/MSN", QQ_MSN),
    NATALIS_TEXT_FIELD(u"公司名称", Company),
    NATALIS_TEXT_FIELD(u"地址", Address),
    NATALIS_TEXT_FIELD(u"工号/卡号", No),
};

#undef NATALIS_TEXT_FIELD

// The fields only our own X- properties carry; the rule is the first part of the date field.
const QStringView OwnCardFields[] = { u"提醒天数", u"短信提醒", u"QQ/MSN", u"工号/卡号" };

} // namespace

QUuid hrefUid(const QString &href)
{
    return QUuid::createUuidV5(HrefUidSpace, href);
}

Fields fieldsOf(const BirthdayRecord &record)
{
    Fields fields;
    for (const FieldAccess &field : CardFields)
        fields.insert(field.label.toString(), field.get(record));
    return fields;
}

void setFields(BirthdayRecord &record, const Fields &fields)
{
    for (const FieldAccess &field : CardFields)
        field.set(record, fields.value(field.label.toString()));
}

QString uidOf(const BirthdayRecord &record)
{
    return record.Uid.toString(QUuid::WithoutBraces);
}

// Every card we write carries the rule; one without it was written back by a program (a phone's
// contacts) that drops the properties it does not know.
bool lacksOwnFields(const QByteArray &card)
{
    const QList<transfer::Vcard> cards = transfer::parseVcards(card);
    return !cards.isEmpty() && !cards.first().first(transfer::VcardRuleProperty);
}

// What such a program dropped was not changed there: the card's record takes those fields from
// the last sync instead of the defaults a card without them reads as.
void keepDroppedFields(BirthdayRecord &record, const Fields &synced)
{
    for (const FieldAccess &field : CardFields) {
        if (std::find(std::begin(OwnCardFields), std::end(OwnCardFields), field.label)
            != std::end(OwnCardFields))
            field.set(record, synced.value(field.label.toString()));
    }
    // The rule, kind and leap-month rule travel in our own properties only.
    BirthdayRecord dated;
    for (const FieldAccess &field : CardFields) {
        if (field.label == u"日期")
            field.set(dated, synced.value(field.label.toString()));
    }
    record.blnIsGL = dated.blnIsGL;
    record.Kind = dated.Kind;
    record.LeapRule = dated.LeapRule;
}

// Names are unique within a list; a category outside the eight counts as the first, as the
// editor's check has it.
QString nameKey(const BirthdayRecord &record)
{
    return QString::number(qMax(store::categoryIndex(QStringView(record.Type).trimmed()), 0)) + u'|'
        + record.About.trimmed();
}

QString revText(const QDateTime &time)
{
    return time.toUTC().toString(u"yyyy-MM-dd'T'HH:mm:ss.zzz'Z'"_s);
}

// REV as vCard writers send it: basic ("20261207T103000Z") or extended form, with or without
// fractions; invalid when absent or unreadable.
QDateTime revTime(const QByteArray &card)
{
    for (const QByteArray &line : card.split('\n')) {
        if (!line.toUpper().startsWith("REV"))
            continue;
        QString value = QString::fromUtf8(line.mid(line.indexOf(':') + 1)).trimmed();
        if (!value.contains(u'-') && value.size() >= 15)
            value = value.left(4) + u'-' + value.mid(4, 2) + u'-' + value.mid(6, 5) + u':'
                + value.mid(11, 2) + u':' + value.mid(13);
        QDateTime time = QDateTime::fromString(value, Qt::ISODateWithMs);
        if (!time.isValid())
            time = QDateTime::fromString(value, Qt::ISODate);
        return time.isValid() ? time.toUTC() : QDateTime();
    }
    return {};
}

// The UID a card carries when it is not the one we would write for uid; empty otherwise.
QString foreignCardUid(const QByteArray &data, const QString &uid)
{
    const QList<transfer::Vcard> cards = transfer::parseVcards(data);
    const transfer::VcardProperty *property =
        cards.isEmpty() ? nullptr : cards.first().first(u"UID");
    const QString value = property ? property->text().trimmed() : QString();
    return value.isEmpty() || value == u"urn:uuid:"_s + uid ? QString() : value;
}

// The UID a card goes by on every computer, for choosing between two cards of one birthday:
// the card's own UID, or its address when it has none.
QString cardIdentity(const QByteArray &data, const QString &href)
{
    const QList<transfer::Vcard> cards = transfer::parseVcards(data);
    const transfer::VcardProperty *property =
        cards.isEmpty() ? nullptr : cards.first().first(u"UID");
    const QString value = property ? property->text().trimmed() : QString();
    return value.isEmpty() ? QUrl(href).path() : value;
}

// The same for a card of the last sync, as this file wrote it.
QString cardIdentity(const store::SyncedCard &card)
{
    return card.cardUid.isEmpty() ? u"urn:uuid:"_s + card.uid : card.cardUid;
}

// A card the server holds is the user's: a change made here is patched into the version of the
// last sync (serverCard), against the fields that version read as. Only a card with no known
// server version is written whole.
QByteArray cardBytes(const BirthdayRecord &record, const QDateTime &changed,
    const store::SyncedCard *base, const QByteArray &serverCard)
{
    if (base && !serverCard.isEmpty()) {
        BirthdayRecord synced;
        setFields(synced, base->fields);
        return transfer::patchVcard(serverCard, synced, record, changed);
    }
    QByteArray card = transfer::buildVcards({ record });
    if (base && !base->cardUid.isEmpty())
        card.replace(transfer::foldContentLine(u"UID:urn:uuid:"_s + uidOf(record)),
            transfer::foldContentLine(u"UID:"_s + base->cardUid));
    // REV tells the other computers when this version was made, which a merge of a field changed
    // on both sides needs.
    card.insert(card.lastIndexOf("END:VCARD"), "REV:" + revText(changed).toLatin1() + "\r\n");
    return card;
}

// A whole vCard: one that begins and ends, not a truncated or foreign answer.
bool isWholeCard(const QByteArray &data)
{
    return data.trimmed().toUpper().endsWith("END:VCARD") && !transfer::parseVcards(data).isEmpty();
}

// address-data reaches us inside XML, whose parsers turn every CR LF into LF (XML 1.0 2.11);
// the card the server holds ends its lines in CR LF (RFC 6350 3.2), the last one included, which
// the reading of the answer trims; a patched card goes back so.
QByteArray withCrLf(const QByteArray &card)
{
    QByteArray lines;
    lines.reserve(card.size() + card.size() / 32);
    for (qsizetype i = 0; i < card.size(); ++i) {
        if (card[i] == '\n' && (i == 0 || card[i - 1] != '\r'))
            lines += '\r';
        lines += card[i];
    }
    if (!lines.endsWith('\n'))
        lines += "\r\n";
    return lines;
}

FieldMerge mergeFields(const Fields &ours, const Fields &theirs, const MergeSides &sides)
{
    FieldMerge result { ours, {} };
    Fields &merged = result.merged;
    for (auto it = theirs.cbegin(); it != theirs.cend(); ++it) {
        const QString mine = ours.value(it.key());
        if (mine == *it)
            continue;
        const bool oursChanged = !sides.synced || sides.synced->value(it.key()) != mine;
        const bool theirsChanged = !sides.synced || sides.synced->value(it.key()) != *it;
        if (!oursChanged) {
            merged[it.key()] = *it;
            continue;
        }
        if (!theirsChanged)
            continue;
        // A change here that was never queued is older than any the server reports.
        const bool theirsLater = !sides.ourTime.isValid() || sides.theirTime > sides.ourTime
            || (sides.theirTime == sides.ourTime && sides.theirsFirst);
        if (theirsLater)
            merged[it.key()] = *it;
        result.conflicts << store::CardConflict { sides.now.toUTC(), sides.uid,
            merged.value(u"生日名称"_s), it.key(), theirsLater ? *it : mine,
            theirsLater ? mine : *it, !theirsLater };
    }
    return result;
}

} // namespace natalis::sync::cards
