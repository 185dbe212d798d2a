#pragma once

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

namespace natalis::sms {

// How every send, automatic or by hand, is cut into the batches the gateway takes: one kind of
// number per batch, since the kind decides where the text is split into messages; the PHS
// numbers first, then the mobile ones; each kind in the order the numbers were given; at most
// SmsBatchSize numbers a batch, every batch full but its kind's last. A batch's request id and
// log row belong to the batch as cut, so the cut must not change between a send and its retry.

// The gateway takes at most this many numbers in one send.
inline constexpr int SmsBatchSize = 200;

// First digits of the two number kinds: PHS (小灵通) and mobile/Unicom. A number beginning with
// anything else is of neither kind and goes into no batch.
inline constexpr QChar PhsDigit = u'0';
inline constexpr QChar MobileDigit = u'1';

// True for a mobile or Unicom number (70 characters a message), false for any other.
bool isMobileNumber(const QString &number);

// One batch as cut: numbers of one kind, in the order given.
template<typename Item>
struct SmsBatchCut
{
    bool mobile = false;
    QList<Item> items;
};

// items cut into batches by the rule above; numberOf gives an item's number. An item whose
// number is of neither kind is left out.
template<typename Item, typename NumberOf>
QList<SmsBatchCut<Item>> cutSmsBatches(const QList<Item> &items, NumberOf numberOf)
{
    QList<SmsBatchCut<Item>> batches;
    for (const QChar digit : { PhsDigit, MobileDigit }) {
        QList<Item> ofKind;
        for (const Item &item : items) {
            if (numberOf(item).startsWith(digit))
                ofKind.append(item);
        }
        for (qsizetype from = 0; from < ofKind.size(); from += SmsBatchSize)
            batches.append({ digit == MobileDigit, ofKind.mid(from, SmsBatchSize) });
    }
    return batches;
}

// A batch's names or numbers as its log row (strTitle, strTel) and the gateway hold them: joined
// by ",", and read back from there for a retry.
QString joinBatchList(const QStringList &parts);
QStringList splitBatchList(const QString &joined);

} // namespace natalis::sms
