#include "vcardpatch.h"

#include "calendar/datetext.h"
#include "contentline.h"
#include "store/categories.h"
#include "store/phonenumber.h"
#include "vcarddates.h"
#include "vcardexport.h"
#include "vcardimport.h"
#include "vcardparser.h"

#include <QMap>
#include <QSet>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace natalis::transfer {

namespace {

using store::BirthdayRecord;

bool differs(const QString &before, const QString &after)
{
    return QStringView(before).trimmed() != QStringView(after).trimmed();
}

bool isLunarRule(const BirthdayRecord &record)
{
    return QStringView(record.blnIsGL).trimmed() == u"按农历提醒";
}

// Where the value starts: the first ':' outside double quotes.
qsizetype valueColon(QByteArrayView text)
{
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '"')
            quoted = !quoted;
        else if (text[i] == ':' && !quoted)
            return i;
    }
    return -1;
}

// The name and parameters of a line to be written anew in UTF-8 without quoted-printable: a
// 2.1 card's ENCODING and a CHARSET other than UTF-8 would misname the new value, as would the
// parameter stale names (upper case, "=" included) when given. The rest stays as written, the
// group too.
QString headOf(QByteArrayView text, QByteArrayView stale)
{
    const QByteArrayView head = text.first(qMax<qsizetype>(valueColon(text), 0));
    QList<QByteArrayView> kept;
    bool quoted = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= head.size(); ++i) {
        if (i < head.size() && head[i] == '"')
            quoted = !quoted;
        if (i < head.size() && (head[i] != ';' || quoted))
            continue;
        const QByteArray part = head.sliced(start, i - start).trimmed().toByteArray().toUpper();
        const bool misnames = part == "QUOTED-PRINTABLE" || part == "ENCODING=QUOTED-PRINTABLE"
            || (part.startsWith("CHARSET=") && part != "CHARSET=UTF-8")
            || (!stale.isEmpty() && part.startsWith(stale));
        if (start == 0 || !misnames)
            kept.append(head.sliced(start, i - start));
        start = i + 1;
    }
    QByteArray joined;
    for (const QByteArrayView part : std::as_const(kept))
        joined += (joined.isEmpty() ? QByteArray() : ";"_ba) + part.toByteArray();
    return QString::fromUtf8(joined);
}

// A structured value split at the ';' that are no escapes, each part still escaped, so that
// the parts not rewritten go back as they were.
QStringList rawComponents(const QString &value)
{
    QStringList parts { QString() };
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == u'\\' && i + 1 < value.size()) {
            parts.last() += value.sliced(i, 2);
            ++i;
        } else if (value[i] == u';') {
            parts.append(QString());
        } else {
            parts.last() += value[i];
        }
    }
    return parts;
}

// The card's lines, and the edits made to them.
class CardLines
{
public:
    explicit CardLines(QByteArrayView bytes) : m_lines(vcardLines(bytes))
    {
        for (qsizetype i = 0; i < m_lines.size() && m_end < 0; ++i) {
            const std::optional<VcardProperty> property = parseVcardLine(m_lines[i].text);
            if (!property)
                continue;
            const bool marks =
                property->value.trimmed().compare(u"VCARD", Qt::CaseInsensitive) == 0;
            if (m_begin < 0) {
                if (property->name == u"BEGIN" && marks)
                    m_begin = i;
            } else if (property->name == u"END" && marks) {
                m_end = i;
            } else if (property->name == u"VERSION") {
                m_card.version = property->value.trimmed();
            } else {
                m_card.properties.append(*property);
                m_lineOf.append(i);
            }
        }
        if (m_begin >= 0 && !m_lines[m_begin].raw.endsWith("\r\n"))
            m_lineEnd = "\n";
    }

    bool found() const { return m_end >= 0; }
    bool isKept(qsizetype property) const { return !m_removed.contains(m_lineOf[property]); }
    bool changed() const { return m_changed; }
    const Vcard &card() const { return m_card; }
    QString value(qsizetype property) const { return m_card.properties[property].value; }

    qsizetype first(QStringView name) const
    {
        for (qsizetype i = 0; i < m_card.properties.size(); ++i) {
            if (m_card.properties[i].name == name && !m_removed.contains(m_lineOf[i]))
                return i;
        }
        return -1;
    }

    // Rewrites the property's value (already escaped as its type wants), removes the property
    // when value is empty, or adds "head:value" when property is -1. The parameter stale names
    // (upper case, "=" included), which restates the old value, goes with it.
    void put(qsizetype property, const QString &value, QStringView head, QByteArrayView stale = {})
    {
        if (property < 0) {
            if (!value.isEmpty())
                add(head.toString() + u':' + value);
        } else if (value.isEmpty()) {
            m_removed.insert(m_lineOf[property]);
            m_changed = true;
        } else if (value != this->value(property)) {
            const qsizetype line = m_lineOf[property];
            m_replaced.insert(line, folded(headOf(m_lines[line].text, stale) + u':' + value));
            m_changed = true;
        }
    }

    void add(const QString &line)
    {
        m_added += folded(line);
        m_changed = true;
    }

    QByteArray bytes() const
    {
        QByteArray bytes;
        for (qsizetype i = 0; i < m_lines.size(); ++i) {
            if (i == m_end)
                bytes += m_added;
            if (m_removed.contains(i))
                continue;
            bytes += m_replaced.value(i, m_lines[i].raw);
        }
        return bytes;
    }

private:
    QByteArray folded(const QString &line) const
    {
        QByteArray bytes = foldContentLine(line);
        if (m_lineEnd != "\r\n")
            bytes.replace("\r\n", m_lineEnd);
        return bytes;
    }

    QList<VcardLine> m_lines;
    qsizetype m_begin = -1, m_end = -1; // the lines of BEGIN:VCARD and END:VCARD
    Vcard m_card;
    QList<qsizetype> m_lineOf; // the line of each property of m_card
    QByteArray m_lineEnd = "\r\n";
    QMap<qsizetype, QByteArray> m_replaced;
    QSet<qsizetype> m_removed;
    QByteArray m_added; // before END
    bool m_changed = false;
};

void patchName(CardLines &card, const QString &name)
{
    if (name.isEmpty())
        return; // a birthday always has one; an empty name would leave the contact without
    const QString value = escapeText(name);
    card.put(card.first(u"FN"), value, u"FN");
    // The phone shows N: the whole name goes in its first part, as our own cards write it.
    if (const qsizetype n = card.first(u"N"); n >= 0) {
        const qsizetype parts = qMax<qsizetype>(5, rawComponents(card.value(n)).size());
        card.put(n, value + QString(parts - 1, u';'), u"N");
    } else if (card.card().version != u"4.0") {
        card.add(u"N:"_s + value + u";;;;"_s);
    }
}

void patchCategory(CardLines &card, const QString &category)
{
    const qsizetype at = card.first(u"CATEGORIES");
    QStringList items = at >= 0 ? card.value(at).split(u',') : QStringList();
    const auto ours = std::find_if(items.begin(), items.end(), [](const QString &item) {
        return store::categoryIndex(unescapeText(item).trimmed()) >= 0;
    });
    if (ours == items.end())
        items.append(escapeText(category));
    else
        *ours = escapeText(category);
    items.removeAll(QString());
    card.put(at, items.join(u','), u"CATEGORIES");
}

void patchContact(CardLines &card, const QString &tel)
{
    const qsizetype at = contactProperty(card.card());
    if (at < 0) {
        const bool mobile = tel.size() == 11 && tel.startsWith(u'1') && store::IsPhoneNumber(tel);
        card.put(-1, tel, mobile ? u"TEL;TYPE=CELL" : u"TEL;TYPE=VOICE");
        return;
    }
    const QString old = card.value(at).trimmed();
    if (tel.isEmpty() || !old.startsWith(u"tel:", Qt::CaseInsensitive)) {
        card.put(at, tel, u"TEL");
        return;
    }
    // A tel URI names a number in full (RFC 3966); we keep a Chinese mobile without its +86.
    const bool mobile = tel.size() == 11 && tel.startsWith(u'1') && store::IsPhoneNumber(tel);
    card.put(at, old.first(4) + (mobile ? u"+86-"_s : QString()) + tel, u"TEL");
}

// A lunar date in the form the card's lunar property has: Apple's cycle form, or a plain
// YYYYMMDD (with its dashes, when it had them) with the leap month's "L"; without a year always
// "--MM-DD".
QString chineseDateLike(const QString &old, const calendar::LunarDate &date)
{
    if (date.year == 0 || QString(old).remove(u'-').trimmed().size() >= 12)
        return lunarCardValue(date);
    const QString separator = old.contains(u'-') ? u"-"_s : QString();
    return QString::number(date.year) + separator
        + QString::number(date.month).rightJustified(2, u'0') + (date.isLeap ? u"L"_s : QString())
        + separator + QString::number(date.day).rightJustified(2, u'0');
}

// vCard 4.0 writes a date in the basic form only (RFC 6350 4.3.1); an old value keeps its own.
QString dateLike(const QString &old, const calendar::LunarDate &date, const QString &version)
{
    const bool extended = old.isEmpty() ? version != u"4.0" : old.mid(2).contains(u'-');
    return gregorianCardValue(date, !extended);
}

// A kind changed here takes the date off the properties of the old one, which the phone would
// go on showing as what it was.
void removeDates(CardLines &card, store::EntryKind kind)
{
    for (const qsizetype at :
        { gregorianDateProperty(card.card(), kind), lunarDateProperty(card.card(), kind) }) {
        if (at >= 0)
            card.put(at, QString(), {});
    }
}

void patchBirthday(CardLines &card, const BirthdayRecord &synced, const BirthdayRecord &changed)
{
    const store::EntryKind kind = store::entryKindOf(changed.Kind);
    const CardDateNames names = cardDateNames(kind, card.card().version);
    if (store::entryKindOf(synced.Kind) != kind)
        removeDates(card, store::entryKindOf(synced.Kind));
    const std::optional<calendar::LunarDate> lunar = calendar::parseLunarText(changed.strNL);
    // The lunar date was read from there; the Gregorian one beside it is the phone's own.
    if (const qsizetype alt = lunarDateProperty(card.card(), kind); alt >= 0 && card.isKept(alt)) {
        card.put(alt, lunar ? chineseDateLike(card.value(alt), *lunar) : QString(), names.lunar);
        return;
    }
    const std::optional<calendar::LunarDate> day = gregorianDayOf(changed.strGL);
    qsizetype at = gregorianDateProperty(card.card(), kind);
    if (at >= 0 && !card.isKept(at))
        at = -1;
    const QString old = at >= 0 ? card.value(at).trimmed() : QString();
    card.put(at, day ? dateLike(old, *day, card.card().version) : QString(), names.gregorian);
    if (isLunarRule(changed) && lunar)
        card.add(names.lunar.toString() + u";CALSCALE=chinese:"_s + lunarCardValue(*lunar));
}

void patchOrganisation(CardLines &card, const QString &company, const QString &department)
{
    const qsizetype at = card.first(u"ORG");
    QStringList parts = at >= 0 ? rawComponents(card.value(at)) : QStringList { QString() };
    parts[0] = escapeText(company);
    if (parts.size() > 1 || !department.isEmpty()) {
        if (parts.size() < 2)
            parts.append(QString());
        parts[1] = escapeText(department);
    }
    while (parts.size() > 1 && parts.last().isEmpty())
        parts.removeLast();
    card.put(at, parts.join(u';'), u"ORG");
}

// The address reads from the first five parts; postal code and country are the card's.
void patchAddress(CardLines &card, const QString &address)
{
    const qsizetype at = card.first(u"ADR");
    QStringList parts = at >= 0 ? rawComponents(card.value(at)) : QStringList();
    while (parts.size() < 7)
        parts.append(QString());
    for (int i = 0; i < 5; ++i)
        parts[i] = i == 2 ? escapeText(address) : QString();
    const bool empty =
        std::all_of(parts.begin(), parts.end(), [](const QString &p) { return p.isEmpty(); });
    // LABEL is the old address as a person writes it (RFC 6350 6.3.1).
    card.put(at, empty ? QString() : parts.join(u';'), u"ADR;TYPE=HOME", "LABEL=");
}

void patchSex(CardLines &card, const QString &sex)
{
    const QString code = sex == u"男" ? u"M"_s : sex == u"女" ? u"F"_s : QString();
    const qsizetype at = card.first(u"GENDER");
    QStringList parts = at >= 0 ? rawComponents(card.value(at)) : QStringList { QString() };
    parts[0] = code; // the identity after ";" is the card's
    card.put(at, parts.size() > 1 || !code.isEmpty() ? parts.join(u';') : QString(), u"GENDER");
}

struct OwnValue
{
    QStringView property;
    QString (*of)(const BirthdayRecord &);
};

const OwnValue OwnValues[] = {
    { VcardRuleProperty,
        [](const BirthdayRecord &r) { return isLunarRule(r) ? u"LUNAR"_s : u"GREGORIAN"_s; } },
    { VcardDaysProperty,
        [](const BirthdayRecord &r) {
            return r.Days.trimmed().isEmpty() ? QString::number(r.intNums) : r.Days.trimmed();
        } },
    { VcardSmsProperty,
        [](const BirthdayRecord &r) {
            return QStringView(r.Duanxin).trimmed() == u"是" ? u"TRUE"_s : u"FALSE"_s;
        } },
    { VcardMessengerProperty,
        [](const BirthdayRecord &r) { return escapeText(r.QQ_MSN.trimmed()); } },
    { VcardStaffNoProperty, [](const BirthdayRecord &r) { return escapeText(r.No.trimmed()); } },
    { VcardKindProperty,
        [](const BirthdayRecord &r) { return vcardKindValue(store::entryKindOf(r.Kind)); } },
    { VcardLeapProperty,
        [](const BirthdayRecord &r) {
            return store::leapMonthRuleOf(r.LeapRule) == store::LeapMonthRule::Skip ? u"SKIP"_s
                                                                                    : QString();
        } },
};

// A card without our rule is read with the fields only we carry taken from the last sync; once
// one of them changes, all of them go on the card, or the others would read as defaults.
void patchOwnFields(CardLines &card, const BirthdayRecord &synced, const BirthdayRecord &changed)
{
    const bool carried = card.first(VcardRuleProperty) >= 0;
    const bool anyChanged = std::any_of(std::begin(OwnValues), std::end(OwnValues),
        [&](const OwnValue &own) { return own.of(synced) != own.of(changed); });
    for (const OwnValue &own : OwnValues) {
        if (carried ? own.of(synced) != own.of(changed) : anyChanged)
            card.put(card.first(own.property), own.of(changed), own.property);
    }
}

// REV in the form the card had, else in its version's: 4.0 has only the basic one (RFC 6350
// 4.3.5); in 3.0 the extended one keeps the milliseconds our merges order changes by.
void setRevision(CardLines &card, const QDateTime &revised)
{
    const qsizetype at = card.first(u"REV");
    const bool basic = at >= 0 ? !card.value(at).contains(u'-') : card.card().version == u"4.0";
    card.put(at,
        revised.toUTC().toString(
            basic ? u"yyyyMMdd'T'HHmmss'Z'"_s : u"yyyy-MM-dd'T'HH:mm:ss.zzz'Z'"_s),
        u"REV");
}

} // namespace

QByteArray patchVcard(QByteArrayView bytes, const BirthdayRecord &synced,
    const BirthdayRecord &changed, const QDateTime &revised)
{
    CardLines card(bytes);
    if (!card.found())
        return buildVcards({ changed });
    if (differs(synced.About, changed.About))
        patchName(card, changed.About.trimmed());
    if (differs(synced.Type, changed.Type))
        patchCategory(card, changed.Type.trimmed());
    if (differs(synced.Tel, changed.Tel))
        patchContact(card, changed.Tel.trimmed());
    if (differs(synced.strGL, changed.strGL) || differs(synced.strNL, changed.strNL)
        || differs(synced.blnIsGL, changed.blnIsGL)
        || store::entryKindOf(synced.Kind) != store::entryKindOf(changed.Kind))
        patchBirthday(card, synced, changed);
    if (differs(synced.Beizhu, changed.Beizhu))
        card.put(card.first(u"NOTE"), escapeText(changed.Beizhu.trimmed()), u"NOTE");
    if (differs(synced.Company, changed.Company) || differs(synced.Class, changed.Class))
        patchOrganisation(card, changed.Company.trimmed(), changed.Class.trimmed());
    if (differs(synced.Address, changed.Address))
        patchAddress(card, changed.Address.trimmed());
    if (differs(synced.Sex, changed.Sex))
        patchSex(card, changed.Sex.trimmed());
    patchOwnFields(card, synced, changed);
    if (card.changed())
        setRevision(card, revised);
    return card.changed() ? card.bytes() : bytes.toByteArray();
}

} // namespace natalis::transfer
