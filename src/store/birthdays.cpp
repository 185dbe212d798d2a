#include "store/birthdays.h"

#include "store/connection.h"
#include "store/phonenumber.h"
#include "store/statement.h"
#include "store/transaction.h"

#include <sqlcipher/sqlite3.h>

using namespace Qt::StringLiterals;

namespace natalis::store {

namespace {

// Cuts a stored text to its in-memory width without splitting a surrogate pair.
QString fitted(QString text, int width)
{
    if (text.size() > width) {
        if (text.at(width - 1).isHighSurrogate())
            --width;
        text.truncate(width);
    }
    return text;
}

int runGuarded(auto &&work)
{
    try {
        work();
        return 1;
    } catch (const DbException &) {
        return -1;
    }
}

void requireChangedRow(Connection &connection, qint32 id)
{
    if (connection.changes() == 0)
        connection.fail(
            { u"natalis"_s, SQLITE_NOTFOUND, u"no birthday with Id "_s + QString::number(id) });
}

} // namespace

BirthdayLoad LoadBirthdays(Connection &connection)
{
    BirthdayLoad load;
    try {
        // Id within a category keeps the order stable from one load to the next.
        Statement select = connection.prepare(
            "select Id,About,Type,Sex,Tel,strGL,strNL,blnIsGL,intnums,Duanxin,Class,Beizhu,"
            "QQ_MSN,Company,Address,[No],DxSend from birthday order by [Type],Id");
        while (select.step()) {
            for (int column : { 0, 8 }) {
                if (select.isNull(column))
                    connection.fail({ u"natalis"_s, SQLITE_MISMATCH,
                        column == 0 ? u"birthday.Id is NULL"_s : u"birthday.intnums is NULL"_s });
            }
            BirthdayRecord r;
            r.Id = qint32(select.integer(0));
            r.About = fitted(select.text(1), BirthdayWidths::About);
            r.Type = fitted(select.text(2), BirthdayWidths::Type);
            r.Sex = fitted(select.text(3), BirthdayWidths::Sex);
            r.Tel = fitted(select.text(4), BirthdayWidths::Tel);
            r.strGL = fitted(select.text(5), BirthdayWidths::strGL);
            r.strNL = fitted(select.text(6), BirthdayWidths::strNL);
            r.blnIsGL = fitted(select.text(7), BirthdayWidths::blnIsGL);
            r.intNums = qint16(select.integer(8));
            r.Duanxin = fitted(select.text(9), BirthdayWidths::Duanxin);
            r.Class = fitted(select.text(10), BirthdayWidths::Class);
            r.Beizhu = fitted(select.text(11), BirthdayWidths::Beizhu);
            r.QQ_MSN = fitted(select.text(12), BirthdayWidths::QQ_MSN);
            r.Company = fitted(select.text(13), BirthdayWidths::Company);
            r.Address = fitted(select.text(14), BirthdayWidths::Address);
            r.No = fitted(select.text(15), BirthdayWidths::No);
            r.DxSend = fitted(select.text(16), BirthdayWidths::DxSend);
            if (!IsPhoneNumber(r.Tel))
                r.Duanxin = u"否"_s;
            load.Birthdays.append(std::move(r));
        }
    } catch (const DbException &e) {
        load.error = e.error();
    }
    load.HasBirthdays = !load.Birthdays.isEmpty();
    if (!load.HasBirthdays)
        load.Birthdays.append(BirthdayRecord {});
    return load;
}

qint32 AddBirthToMdb(Connection &connection, const BirthdayRecord &r)
{
    qint32 id = -1;
    runGuarded([&] {
        connection
            .prepare("insert into birthday([About],[Type],[Tel],[Beizhu],[strGL],[strNL],"
                     "[blnIsGL],[intnums],[Duanxin],[Sex],[Class],[QQ_MSN],[Company],"
                     "[Address],[No],[DxSend]) "
                     "values(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)")
            .bindAll(r.About, r.Type, r.Tel, r.Beizhu, r.strGL, r.strNL, r.blnIsGL, int(r.intNums),
                r.Duanxin, r.Sex, r.Class, r.QQ_MSN, r.Company, r.Address, r.No, r.DxSend)
            .run();
        // The row just inserted, not a lookup by name: names repeat after imports.
        id = qint32(connection.lastInsertRowId());
    });
    return id;
}

int DeleteBirthsFromMdb(Connection &connection, std::span<const qint32> ids)
{
    return runGuarded([&] {
        Transaction transaction(connection);
        Statement remove = connection.prepare("delete from [birthday] where Id=?");
        for (qint32 id : ids) {
            remove.bind(1, id).run();
            remove.reset();
        }
        transaction.commit();
    });
}

int UpdateBirthInMdb(Connection &connection, const BirthdayRecord &r)
{
    return runGuarded([&] {
        connection
            .prepare("update birthday set [About]=?,[Type]=?,[Tel]=?,[Beizhu]=?,[strGL]=?,"
                     "[strNL]=?,[blnIsGL]=?,[intnums]=?,[Duanxin]=?,[Sex]=?,[Class]=?,"
                     "[QQ_MSN]=?,[Company]=?,[Address]=?,[No]=? where Id=?")
            .bindAll(r.About, r.Type, r.Tel, r.Beizhu, r.strGL, r.strNL, r.blnIsGL, int(r.intNums),
                r.Duanxin, r.Sex, r.Class, r.QQ_MSN, r.Company, r.Address, r.No, r.Id)
            .run();
        requireChangedRow(connection, r.Id);
    });
}

int BatchUpdateBirths(Connection &connection, qint16 days, std::span<const qint32> firstIds,
    bool useFirst, std::span<const qint32> secondIds, bool useSecond)
{
    return runGuarded([&] {
        Transaction transaction(connection);
        Statement update =
            connection.prepare("update birthday set [intnums]=?,[Duanxin]=? where Id=?");
        auto apply = [&](std::span<const qint32> ids, const QString &duanxin) {
            for (qint32 id : ids) {
                update.bindAll(int(days), duanxin, id).run();
                update.reset();
            }
        };
        if (useFirst)
            apply(firstIds, u"是"_s);
        if (useSecond)
            apply(secondIds, u"否"_s);
        transaction.commit();
    });
}

} // namespace natalis::store
