#pragma once

#include "store/birthdayrecord.h"
#include "store/cardsync.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <QUuid>

// A birthday as an address-book card: its fields as a merge weighs them, the card's bytes as
// they go to the server, and the merge of a server card's fields into its row's. Used by the
// address-book sync alone.
namespace natalis::sync::cards {

// A card's fields by the editor's label ("生日名称", "日期" …). The dates and their rule are one
// field, "日期": each is derived from the others, and a merge must not pair one side's date with
// the other's.
using Fields = QMap<QString, QString>;

Fields fieldsOf(const store::BirthdayRecord &record);
void setFields(store::BirthdayRecord &record, const Fields &fields);
QString uidOf(const store::BirthdayRecord &record); // without braces

// The Uid of a card that carries none, named by its address: the same at every sync.
QUuid hrefUid(const QString &href);

// True for a card without the rule every card of ours carries: a program (a phone's contacts)
// wrote it back and dropped the properties it does not know.
bool lacksOwnFields(const QByteArray &card);
// What such a program dropped was not changed there: the record takes those fields from the
// last sync (synced) instead of the defaults a card without them reads as.
void keepDroppedFields(store::BirthdayRecord &record, const Fields &synced);

// The one-name rule's key: category index (one outside the eight counts as the first) and name.
QString nameKey(const store::BirthdayRecord &record);

// REV as we write it, and as vCard writers send it: basic or extended form, with or without
// fractions; invalid when absent or unreadable.
QString revText(const QDateTime &time);
QDateTime revTime(const QByteArray &card);

// The UID a card carries when it is not the one we would write for uid; empty otherwise.
QString foreignCardUid(const QByteArray &data, const QString &uid);
// The UID a card goes by on every computer, for choosing between two cards of one birthday: its
// own UID, or its address when it has none; for a card of the last sync, as this file wrote it.
QString cardIdentity(const QByteArray &data, const QString &href);
QString cardIdentity(const store::SyncedCard &card);

// The card to put for record: a change patched into the server's version of the last sync
// (base's fields against serverCard), or a whole card when no server version is known.
QByteArray cardBytes(const store::BirthdayRecord &record, const QDateTime &changed,
    const store::SyncedCard *base, const QByteArray &serverCard);

// A whole vCard: one that begins and ends, not a truncated or foreign answer.
bool isWholeCard(const QByteArray &data);
// The card with every line ended in CR LF, the last one included, as the server held it before
// XML turned its line ends into LF.
QByteArray withCrLf(const QByteArray &card);

// What a merge weighs the two sides with.
struct MergeSides
{
    const Fields *synced = nullptr; // the last sync's values; none: every difference is a clash
    QDateTime ourTime; // the row's queued change; invalid: never queued, older than any
    QDateTime theirTime; // the card's REV
    bool theirsFirst = false; // who wins on equal times
    QDateTime now; // the conflicts' time
    QString uid; // the conflicts' birthday
};

struct FieldMerge
{
    Fields merged;
    QList<store::CardConflict> conflicts; // the values overruled, in field order
};

// The row's fields (ours) merged with the card's (theirs): a field changed on one side only takes
// that side; changed on both, the later change wins and the other value is a conflict.
FieldMerge mergeFields(const Fields &ours, const Fields &theirs, const MergeSides &sides);

} // namespace natalis::sync::cards
