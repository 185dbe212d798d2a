#pragma once

#include "store/cardsync.h"
#include "sync/cardfields.h"
#include "sync/cardsync.h"
#include "sync/davclient.h"
#include "sync/discovery.h"

#include <QHash>
#include <QSet>
#include <optional>

// One address-book sync at work, shared by the files of its steps: the sync itself
// (cardsync.cpp) and the merge of a server card into the birthdays here (cardmerge.cpp).
namespace natalis::sync::cards {

using store::BirthdayRecord;

struct ServerCard
{
    QString href;
    QString etag;
    QByteArray data;
};

enum class Op { Put, Delete };

struct Task
{
    Op op;
    QString uid;
    QString href;
    QString etag; // empty for a card the server should not have yet
    Fields fields;
    QByteArray data;
    QString cardUid;
    QDateTime changed;
};

// What a pull found on the server: the cards to fetch and those gone since the last sync.
struct CardListing
{
    QHash<QString, QString> knownEtag; // href -> etag, of the cards as last synced
    QStringList changed; // hrefs
    QSet<QString> gone; // hrefs
    bool sinceToken = false; // the server answered with its changes since the token given
    // Counts href as changed unless the last sync saw it with this (non-empty) etag.
    void see(const QString &href, const QString &etag);
};

// Cards synced before the server's versions were kept: by href, the task and its last sync.
using Unkept = QHash<QString, std::pair<qsizetype, const store::SyncedCard *>>;

class CardSync
{
public:
    CardSync(store::Connection &connection, DavClient &client, const CardSyncOptions &options,
        CardSyncResult &result)
        : m_connection(connection), m_client(client), m_options(options),
          m_url(options.addressBook), m_key(m_url.toString()), m_result(result)
    {
        if (!m_url.path().endsWith(u'/'))
            m_url.setPath(m_url.path() + u'/');
    }

    bool run(const SyncProgress &progress);

private:
    bool fail(const DavReply &reply)
    {
        m_result.error = replyFailure(reply);
        m_result.stopped = m_client.stopped();
        return false;
    }
    QString absolute(const QString &href) const { return m_url.resolved(QUrl(href)).toString(); }
    // first: the sync's first look, which makes a collection the server has not (yet) had.
    bool version(QString &version, bool first = false);
    // False, with the result saying why, when the pull that found gone (hrefs of the last sync's
    // cards the server no longer has; every one when collectionGone) may not delete here.
    bool mayDelete(
        const store::CardBookState &state, const QSet<QString> &gone, bool collectionGone);
    void forgetBook();
    // token, when given, receives the sync-token the server's answer to since names, or nothing
    // when it listed the whole collection instead.
    bool pull(const QString &since, QString *token = nullptr);
    // The changes since a sync-token; leaves listing.sinceToken false when the server refused
    // the token. False when the server could not be asked.
    bool listSince(const QString &since, CardListing &listing, QString *token);
    // Every card's ETag, and as gone every card of the last sync the server no longer lists.
    bool listAll(const store::CardBookState &state, CardListing &listing);
    // Merges the fetched cards and deletes the gone ones here, in one transaction.
    void mergePulled(const QList<ServerCard> &cards, const store::CardBookState &state,
        const QSet<QString> &gone);
    void deleteGone(const store::CardBookState &state, const QSet<QString> &gone,
        const QHash<QString, BirthdayRecord> &here);
    // The cards at hrefs by addressbook-multiget; a card the server cannot give, or gives as
    // something that is no vCard, is left out and named in the result's warning. False when the
    // server could not be asked.
    bool fetch(const QStringList &hrefs, QList<ServerCard> &cards);
    bool fetchPaths(const QStringList &paths, QList<ServerCard> &cards, QStringList &unreadable);
    QStringList m_unreadable; // the paths of the cards named so far in this sync
    // A server card on its way in: the birthday it reads as and the row it goes to.
    struct Incoming
    {
        BirthdayRecord server;
        QString uid; // the row's, once paired
        QString cardKey; // the card's own entry in the sync's record
        bool namesCategory = false; // the card names one of the eight
        const store::SyncedCard *base = nullptr; // the card as last synced; none when new
        const Fields *synced = nullptr; // what the merge weighs both sides against
        QDateTime ourTime;
        bool theirsFirst = false; // on equal change times
        bool replaced = false; // gives way to the row's own card and is deleted from the server
    };
    // Merges a server card into the birthdays here (locals by Uid), in these steps.
    void take(const ServerCard &card, const store::CardBookState &state,
        QHash<QString, BirthdayRecord> &locals, const QHash<QString, QDateTime> &changes);
    std::optional<Incoming> readIncoming(const ServerCard &card, const store::CardBookState &state,
        const QHash<QString, QDateTime> &changes);
    void pairWithRow(Incoming &in, const ServerCard &card, const store::CardBookState &state,
        QHash<QString, BirthdayRecord> &locals, const QHash<QString, QDateTime> &changes);
    void settleTwoCards(Incoming &in, const ServerCard &card, const store::SyncedCard &mine,
        QHash<QString, BirthdayRecord> &locals, const QHash<QString, QDateTime> &changes);
    void mergeIntoRow(const Incoming &in, BirthdayRecord &local, const Fields &theirs,
        const QDateTime &theirTime);
    // Every birthday here by nameKey: a new card may be one of them.
    QHash<QString, QString> m_named;
    QHash<QString, QString> m_hrefUid; // the cards of the last sync: href -> uid
    QSet<QString> m_gone; // the hrefs of cards removed from the server since the last sync
    QHash<QString, QString> m_moved; // rows that took another card's Uid in this pull: old -> new
    // refused counts the cards the server refused as changed or removed there meanwhile.
    bool push(const SyncProgress &progress, int &refused);
    // The puts and deletes that bring the server to the birthdays here; state receives the
    // last sync's record, which unkept points into.
    QList<Task> planPush(store::CardBookState &state, Unkept &unkept);
    bool patchUnkept(QList<Task> &tasks, const Unkept &unkept);
    // Sends one batch and writes down what the server took; false, with the result saying why,
    // when a request failed for another cause than a card changed or removed there meanwhile.
    bool sendBatch(const QList<Task> &batch, int &refused);
    QHash<QString, BirthdayRecord> locals();
    void check(bool written)
    {
        if (!written)
            m_connection.fail(m_connection.lastError());
    }

    store::Connection &m_connection;
    DavClient &m_client;
    const CardSyncOptions &m_options;
    QUrl m_url;
    QString m_key;
    CardSyncResult &m_result;
};

} // namespace natalis::sync::cards
