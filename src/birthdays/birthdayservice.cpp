#include "birthdays/birthdayservice.h"

#include "birthdays/birthdaychange.h"
#include "platform/clock.h"
#include "store/classtables.h"
#include "store/phonenumber.h"

using namespace Qt::StringLiterals;

namespace natalis::birthdays {

namespace {

QList<QUuid> uidsOf(const QList<store::BirthdayState> &states)
{
    QList<QUuid> uids;
    for (const store::BirthdayState &state : states)
        uids.append(state.uid);
    return uids;
}

// The rows a batch change leaves without an SMS although one was asked for, named for the user.
QString withoutSmsNotice(const QStringList &names)
{
    constexpr qsizetype NamesShown = 10;
    return names.first(qMin(names.size(), NamesShown)).join(u'、')
        + (names.size() > NamesShown ? u"等%1个生日提醒"_s.arg(names.size()) : QString())
        + u"没有手机号码,短信提醒仍为\"否\"。"_s;
}

} // namespace

BirthdayService::BirthdayService(BirthdayFile &file, platform::MessageSink &messages,
    const platform::Clock &clock, QObject *parent)
    : QObject(parent), m_file(file), m_messages(messages), m_clock(clock)
{
    qRegisterMetaType<BirthdayChanges>();
}

store::BirthdayEdit BirthdayService::editOf(const store::BirthdayRecord &record)
{
    return { record.About, record.Type, record.Sex, record.Tel, record.Beizhu, record.strGL,
        record.strNL, record.blnIsGL.trimmed() != u"按农历提醒", record.intNums, record.Duanxin,
        record.Class, record.QQ_MSN, record.Company, record.Address, record.No, record.Kind,
        record.Days, record.LeapRule };
}

ChangeOutcome BirthdayService::add(store::BirthdayEdit edit)
{
    if (const auto refused = refusal(edit, u"", nullptr))
        return ChangeOutcome::refused(*refused);
    if (!m_file.DbConnection)
        return {};
    addClass(edit);
    store::BirthdayRecord record = store::recordFromEdit(edit);
    // Known before it is stored, so that undo finds the row again.
    record.Uid = QUuid::createUuid();
    record.Id = store::AddBirthToMdb(*m_file.DbConnection, record, m_clock.now());
    if (record.Id < 1)
        return writeFailure(u",%1添加失败!"_s.arg(record.About), u"生日添加"_s);
    reload();
    written(u"添加生日"_s, BirthdayChange::absent({ record }), BirthdayChange::present({ record }));
    return ChangeOutcome::done(record.About + u"添加成功!"_s, record.Id);
}

ChangeOutcome BirthdayService::edit(qint32 id, store::BirthdayEdit edit)
{
    const QList<store::BirthdayRecord> before = loadedRecords({ id });
    const store::BirthdayEdit stored = before.isEmpty() ? edit : editOf(before.first());
    if (const auto refused = refusal(edit, stored.About, before.isEmpty() ? nullptr : &stored))
        return ChangeOutcome::refused(*refused);
    if (!m_file.DbConnection)
        return {};
    addClass(edit);
    store::BirthdayRecord record = store::recordFromEdit(edit);
    record.Id = id;
    if (!before.isEmpty()) {
        record.Uid = before.first().Uid;
        record.DxSend = before.first().DxSend;
    }
    if (store::UpdateBirthInMdb(*m_file.DbConnection, record, m_clock.now()) != 1)
        return writeFailure(u",%1生日修改失败!"_s.arg(record.About), u"生日修改"_s);
    reload();
    written(u"修改生日"_s, BirthdayChange::present(before),
        BirthdayChange::present(loadedRecords({ id })));
    return ChangeOutcome::done(u"生日修改成功!"_s);
}

ChangeOutcome BirthdayService::changeSeveral(const QList<qint32> &ids, qint16 days, bool sms)
{
    if (!m_file.DbConnection)
        return {};
    const QList<store::BirthdayRecord> before = loadedRecords(ids);
    QHash<qint32, const store::BirthdayRecord *> recordOfId;
    for (const store::BirthdayRecord &record : before)
        recordOfId.insert(record.Id, &record);
    // Only numbers that can take an SMS get "是"; the others are set to "否".
    QList<qint32> yes, no;
    QStringList withoutSms;
    for (qint32 id : ids) {
        const store::BirthdayRecord *record = recordOfId.value(id);
        const bool canTake = record && store::IsPhoneNumber(record->Tel.trimmed());
        (sms && canTake ? yes : no).append(id);
        if (sms && !canTake)
            withoutSms << (record ? record->About.trimmed() : QString());
    }
    if (store::BatchUpdateBirths(
            *m_file.DbConnection, days, yes, !yes.isEmpty(), no, !no.isEmpty(), m_clock.now())
        != 1)
        return writeFailure(u",生日批量修改失败!"_s, u"生日修改"_s);
    reload();
    written(u"批量修改生日"_s, BirthdayChange::present(before),
        BirthdayChange::present(loadedRecords(ids)));
    // Those left without an SMS are named: the user asked for one for everybody.
    const QString notice = withoutSms.isEmpty() ? QString() : withoutSmsNotice(withoutSms);
    return ChangeOutcome::done(u"生日批量修改成功!"_s + notice, 0, notice);
}

ChangeOutcome BirthdayService::remove(const QList<qint32> &ids)
{
    if (!m_file.DbConnection)
        return {};
    const QList<store::BirthdayRecord> before = loadedRecords(ids);
    if (store::DeleteBirthsFromMdb(*m_file.DbConnection, ids, m_clock.now()) != 1)
        return writeFailure(u",生日删除失败!"_s, u"生日删除"_s);
    reload();
    written(u"删除生日"_s, BirthdayChange::present(before), BirthdayChange::absent(before));
    return ChangeOutcome::done(u"生日删除成功!"_s);
}

bool BirthdayService::import(const std::function<bool()> &write)
{
    const QSet<qint32> before = loadedIds();
    if (!write())
        return false;
    reload();
    QList<store::BirthdayRecord> added;
    for (const store::BirthdayRecord &record : m_file.loadedBirthdays()) {
        if (!before.contains(record.Id))
            added.append(record);
    }
    written(u"导入生日"_s, BirthdayChange::absent(added), BirthdayChange::present(added),
        ChangeOrigin::Import);
    return true;
}

bool BirthdayService::restore(const std::function<bool()> &putBack)
{
    if (!putBack())
        return false;
    m_undo.clear();
    reload();
    Q_EMIT changed({ ChangeOrigin::Restore, {}, {} });
    return true;
}

void BirthdayService::lookForOtherWrites()
{
    if (!m_file.DbConnection || m_file.DbDamaged || reloadHeld())
        return;
    // -1: the question itself failed; a reload would only repeat the failure's message.
    const qint64 version = m_file.DbConnection->dataVersion();
    if (version == -1 || version == m_file.LoadedDataVersion)
        return;
    reload();
    Q_EMIT changed({ ChangeOrigin::OtherProgram, {}, {} });
}

void BirthdayService::syncStarting()
{
    lookForOtherWrites();
    m_currentAtSync =
        m_file.DbConnection && m_file.DbConnection->dataVersion() == m_file.LoadedDataVersion;
}

void BirthdayService::syncFinished(bool birthdaysWritten)
{
    if (!m_file.DbConnection)
        return;
    if (!birthdaysWritten) {
        // A run that kept only its own records (the time and outcome, every few minutes) costs
        // no reading of the whole list; an open dialog that held the look before the run leaves
        // the next look to do it.
        if (m_currentAtSync)
            m_file.LoadedDataVersion = m_file.DbConnection->dataVersion();
        return;
    }
    reload();
    Q_EMIT changed({ ChangeOrigin::Sync, {}, {} });
}

std::optional<store::EditRefusal> BirthdayService::refusal(
    store::BirthdayEdit &edit, QStringView originalName, const store::BirthdayEdit *stored) const
{
    // Refused, not cleaned away: a line break given on purpose is not silently lost.
    if (auto refused = store::refuseForbiddenCharacters(edit))
        return refused;
    store::cleanBirthdayEdit(edit);
    return store::checkBirthdayEdit(edit, originalName, m_file.loadedBirthdays(), stored);
}

void BirthdayService::addClass(const store::BirthdayEdit &edit)
{
    if (edit.Type != u"其他" && !edit.Class.trimmed().isEmpty())
        store::AddClassFromEditor(*m_file.DbConnection, edit.Type, edit.Class);
}

ChangeOutcome BirthdayService::writeFailure(const QString &rest, const QString &title) const
{
    return ChangeOutcome::failed(failureCause() + rest, title);
}

QString BirthdayService::failureCause() const
{
    return store::writeFailureCause(
        m_file.DbConnection ? m_file.DbConnection->lastError() : store::DbError {});
}

QList<store::BirthdayRecord> BirthdayService::loadedRecords(const QList<qint32> &ids) const
{
    const QSet<qint32> wanted(ids.begin(), ids.end());
    const store::BirthdayList &birthdays = m_file.loadedBirthdays();
    QList<store::BirthdayRecord> records;
    for (qsizetype i = 0; i < birthdays.size(); ++i) {
        if (wanted.contains(birthdays.id(i)))
            records.append(birthdays.at(i));
    }
    return records;
}

QSet<qint32> BirthdayService::loadedIds() const
{
    const store::BirthdayList &birthdays = m_file.loadedBirthdays();
    QSet<qint32> ids;
    for (qsizetype i = 0; i < birthdays.size(); ++i)
        ids.insert(birthdays.id(i));
    return ids;
}

void BirthdayService::written(const QString &name, QList<store::BirthdayState> before,
    QList<store::BirthdayState> after, ChangeOrigin origin)
{
    const QList<QUuid> uids = uidsOf(after);
    // A row without a Uid could not be found again: such a change is not undoable.
    const auto withoutUid = [](const store::BirthdayState &state) { return state.uid.isNull(); };
    if (!before.isEmpty() && std::none_of(before.begin(), before.end(), withoutUid)
        && std::none_of(after.begin(), after.end(), withoutUid))
        m_undo.push(new BirthdayChange(name, std::move(before), std::move(after),
            [this, name](const QList<store::BirthdayState> &states, bool undo) {
                return writeStates(states, undo, name);
            }));
    Q_EMIT changed({ origin, uids, {} });
}

bool BirthdayService::writeStates(
    const QList<store::BirthdayState> &states, bool undo, const QString &name)
{
    const QString act = undo ? u"撤销"_s : u"重做"_s;
    if (!m_file.DbConnection
        || store::putBirthdayStates(*m_file.DbConnection, states, m_clock.now()) != 1) {
        Q_EMIT undoFailed(failureCause() + u",%1%2失败!"_s.arg(act, name));
        return false;
    }
    reload();
    Q_EMIT changed({ ChangeOrigin::Here, uidsOf(states), u"已%1 %2"_s.arg(act, name) });
    return true;
}

void BirthdayService::reload()
{
    reloadBirthdays(m_file, m_messages);
}

} // namespace natalis::birthdays
