#pragma once

#include <QString>

namespace natalis::sync {

// What the user chose when an address-book sync held back deletions here.
enum class DeletionChoice {
    Ask, // hold back a mass deletion and say so
    RestoreServer, // forget what the last sync knew and put every birthday here on the server
    AcceptDeletions, // delete here what the server no longer has, however many
};

// What a pull found, against the cards the last sync recorded for the address book.
struct DeletionCount
{
    int synced = 0; // cards the last sync recorded
    int goneThere = 0; // of those, how many the server no longer has
    int wouldDelete = 0; // birthdays here the pull would delete: their card gone, unchanged here
    int here = 0; // birthdays here before the pull
    bool collectionGone = false; // the address book itself answered 404
};

enum class DeletionHold {
    None, // the pull may delete what it would
    CollectionGone, // the address book was deleted on the server
    Emptied, // every card of ours is gone: emptied, or deleted and made anew
    MassDeletion, // more than half of the birthdays here, and more than MassDeletionFloor
};

inline constexpr int MassDeletionFloor = 5;

// Whether a pull that found count may delete here without asking the user. A pull that would
// delete nothing here never holds; the last birthday of a list deleted on another computer
// empties the address book too, and is no reason to ask.
DeletionHold holdDeletions(const DeletionCount &count);

// The status of a held pull, ending in the question the user answers: "服务器上的通讯录已被删除或
// 清空, 本机的5个生日未删除。请选择: 把本机的生日放回服务器, 或在本机也删除。"
QString deletionHeldText(DeletionHold hold, const DeletionCount &count);

} // namespace natalis::sync
