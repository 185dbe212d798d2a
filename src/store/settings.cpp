#include "store/settings.h"

#include "store/connection.h"
#include "store/statement.h"

#include <sqlcipher/sqlite3.h>
#include <string>
#include <string_view>

using namespace Qt::StringLiterals;

namespace natalis::store {

namespace {

enum class NullRule { Fails, ReadsEmpty };

// Calls visit(name, field, nullRule) for every column of tishidata after Id, in the writer's
// order. The one list behind the table's creation, the reader and the writer.
template<typename Record, typename Visit>
void forEachColumn(Record &s, Visit &&visit)
{
    constexpr auto F = NullRule::Fails;
    constexpr auto E = NullRule::ReadsEmpty;
    visit("strC_S", s.strC_S, F);
    visit("strServer", s.strServer, E);
    visit("strShare", s.strShare, E);
    visit("intQipao", s.intQipao, F);
    visit("intQpInit", s.intQpInit, F);
    visit("intQpTime", s.intQpTime, F);
    visit("strQpTime", s.strQpTime, E);
    visit("intFudong", s.intFudong, F);
    visit("intFdInit", s.intFdInit, F);
    visit("intFdTime", s.intFdTime, F);
    visit("strFdTime", s.strFdTime, E);
    visit("intMusic", s.intMusic, F);
    visit("intMcInit", s.intMcInit, F);
    visit("intMcTime", s.intMcTime, F);
    visit("strMcTime", s.strMcTime, E);
    visit("strMcFile", s.strMcFile, E);
    visit("intDw", s.intDw, F);
    visit("intZq", s.intZq, F);
    visit("intCy", s.intCy, F);
    visit("intJs", s.intJs, F);
    visit("intMq", s.intMq, F);
    visit("intFq", s.intFq, F);
    visit("intFl", s.intFl, F);
    visit("intEt", s.intEt, F);
    visit("intQx", s.intQx, F);
    visit("intQr", s.intQr, F);
    visit("intSd", s.intSd, F);
    visit("intNums", s.intNums, F);
    auto perCategory = [&](const char *stem, auto &fields, NullRule rule) {
        for (std::size_t k = 0; k < fields.size(); ++k)
            visit(std::string(stem) + char('0' + k), fields[k], rule);
    };
    perCategory("DxTxFlags", s.DxTxFlags, F);
    perCategory("DxTxUser", s.DxTxUser, E);
    perCategory("DxTxContent", s.DxTxContent, E);
    perCategory("DxTxTqDays", s.DxTxTqDays, F);
    visit("DxTxRetryNums", s.DxTxRetryNums, F);
    visit("DxSendTime", s.DxSendTime, F);
    visit("DxYyTail", s.DxYyTail, F);
    visit("intInitType", s.intInitType, F);
}

// Every column name followed by suffix, separated by commas.
std::string columnList(std::string_view suffix)
{
    std::string list;
    SettingsRecord names;
    forEachColumn(names, [&](const std::string &name, auto &, NullRule) {
        list += (list.empty() ? "" : ",") + name;
        list += suffix;
    });
    return list;
}

const std::string &selectSql()
{
    // The reader takes the first row, whatever its Id.
    static const std::string sql =
        "select " + columnList("") + " from tishidata order by rowid limit 1";
    return sql;
}

const std::string &updateSql()
{
    static const std::string sql = "update tishidata set " + columnList("=?") + " where Id=1";
    return sql;
}

} // namespace

std::variant<SettingsRecord, DbError> ReadSettings(Connection &connection)
{
    try {
        Statement select = connection.prepare(selectSql());
        if (!select.step())
            connection.fail({ u"natalis"_s, SQLITE_NOTFOUND, u"table tishidata has no row"_s });
        SettingsRecord s;
        int column = 0;
        forEachColumn(s, [&](const std::string &name, auto &field, NullRule rule) {
            const int i = column++;
            using Field = std::remove_reference_t<decltype(field)>;
            if (select.isNull(i)) {
                if (rule == NullRule::Fails)
                    connection.fail({ u"natalis"_s, SQLITE_MISMATCH,
                        u"tishidata."_s + QString::fromStdString(name) + u" is NULL"_s });
                field = Field {};
            } else if constexpr (std::is_same_v<Field, QString>) {
                field = select.text(i);
            } else {
                field = Field(select.integer(i));
            }
        });
        return s;
    } catch (const DbException &e) {
        return e.error();
    }
}

bool WriteSettings(Connection &connection, SettingsRecord &settings)
{
    try {
        Statement &update = connection.cached(updateSql());
        int index = 0;
        forEachColumn(settings, [&](const std::string &name, auto &field, NullRule) {
            using Field = std::remove_reference_t<decltype(field)>;
            if constexpr (std::is_same_v<Field, QString>) {
                if (name != "strC_S")
                    field = field.trimmed();
                update.bind(++index, field);
            } else {
                update.bind(++index, int(field));
            }
        });
        update.run();
        if (connection.changes() == 0)
            connection.fail({ u"natalis"_s, SQLITE_NOTFOUND, u"tishidata has no row 1"_s });
        return true;
    } catch (const DbException &) {
        return false;
    }
}

QByteArray settingsColumnDefinitions()
{
    QByteArray sql;
    const SettingsRecord initial;
    forEachColumn(initial, [&](const std::string &name, const auto &field, NullRule rule) {
        using Field = std::remove_cvref_t<decltype(field)>;
        sql += ',' + QByteArray::fromStdString(name);
        if constexpr (std::is_same_v<Field, QString>) {
            sql += " text";
            if (rule == NullRule::Fails)
                sql += " not null";
            // Our own constants: digits, colons and nothing that needs quoting.
            sql += " default '" + field.toUtf8() + '\'';
        } else {
            sql += " integer not null default " + QByteArray::number(field);
        }
    });
    return sql;
}

} // namespace natalis::store
