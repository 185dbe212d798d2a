#pragma once

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>

namespace natalis::sync {

// A birthday's card fields by the editor's label ("生日备注", "日期", …) with their texts.
using CardFields = QMap<QString, QString>;

// One field changed on both sides to different values: which value stayed and which gave way.
struct FieldOverrule
{
    QString field;
    QString name; // the birthday's name as merged when the field was decided
    QString kept;
    QString lost;
    bool serverLost = false; // the overruled value was the server's, else this file's
};

struct CardMerge
{
    CardFields merged;
    QList<FieldOverrule> overruled;
};

// Merges the server's fields of a birthday into this file's, field by field, against the values
// both had at the last sync (synced; nullptr when there was none, so every difference counts as
// a change on both sides). A field changed on one side only takes that side; on both, the later
// change wins: the server's at theirTime against ours at ourTime (invalid: a change here never
// queued, older than any the server reports), theirsFirst deciding equal times. Fields only this
// file has are kept as they are.
CardMerge mergeCard(const CardFields &ours, const CardFields &theirs, const CardFields *synced,
    const QDateTime &ourTime, const QDateTime &theirTime, bool theirsFirst);

} // namespace natalis::sync
