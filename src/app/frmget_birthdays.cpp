// The main window's birthday actions: add, edit (one or several) and delete, each written to
// the database first and then shown in place.

#include "app/birthdaychange.h"
#include "app/frmget.h"
#include "app/smspanel.h"
#include "calendar_ui/datepickers.h"
#include "dialogs/frmaddedit.h"
#include "platform/clock.h"
#include "platform/messagesink.h"
#include "session/appcontext.h"
#include "session/startup.h"
#include "store/birthdays.h"
#include "store/categories.h"
#include "store/classtables.h"
#include "store/phonenumber.h"

#include <QProgressDialog>
#include <QSortFilterProxyModel>
#include <QStackedWidget>
#include <QTabBar>
#include <QTableView>
#include <QUndoStack>

namespace natalis::app {

namespace {

QString categoryName(int index)
{
    return store::CategoryNames[index].toString();
}

} // namespace

MessageButton frmGet::ask(
    const QString &text, const QString &title, MessageIcon icon, MessageButtons buttons)
{
    const ModalBracket modal(*this);
    return m_messages.show(text, title, icon, buttons);
}

void frmGet::tell(const QString &text, const QString &title)
{
    ask(text, title, MessageIcon::None, MessageButtons::Ok);
}

bool frmGet::runEditor(store::BirthdayEdit &buffer, bool batch)
{
    frmAddEdit::Setup setup;
    setup.IsBatchEdit = batch;
    setup.birthdays = m_context.loadedBirthdays();
    if (const auto table = store::classTableForCategory(buffer.Type);
        table && m_context.DbConnection)
        setup.classNames = store::readClassNames(*m_context.DbConnection, *table);
    setup.nameTaken = [this](const QString &category, const QString &name) {
        return m_context.DbConnection
            && store::birthdayNameInTable(*m_context.DbConnection, category, name);
    };
    setup.skin = m_context.CurrentSkin;
    const QDate today = m_clock.now().date();
    const int skin = m_context.CurrentSkin;
    setup.pickGregorian = [today, skin](QWidget *anchor, QString &gl, QString &nl) {
        return calendar_ui::pickGregorianDate(anchor, skin, today, gl, nl);
    };
    setup.pickLunar = [today, skin](QWidget *anchor, QString &gl, QString &nl) {
        return calendar_ui::pickLunarDate(anchor, skin, today, gl, nl);
    };
    setup.setModalBusy = [this](int busy) { ModalBusy = busy; };
    setup.today = today;
    frmAddEdit editor(buffer, std::move(setup), this);
    const ModalBracket modal(*this);
    editor.exec();
    return editor.EditAccepted;
}

QList<qint32> frmGet::selectedIds(int index) const
{
    QList<qint32> ids;
    const QModelIndexList rows = m_views[index]->selectionModel()->selectedRows();
    for (const QModelIndex &row : rows)
        ids.append(m_models[index]->idAt(m_proxies[index]->mapToSource(row).row()));
    return ids;
}

store::BirthdayEdit frmGet::bufferFromRow(const BirthdayListModel &model, int row) const
{
    std::array<QString, BirthdayListModel::FieldCount> c;
    for (int column = 0; column < BirthdayListModel::FieldCount; ++column)
        c[column] = model.cell(row, column);
    store::BirthdayEdit buffer;
    buffer.About = c[0];
    buffer.Type = c[1];
    buffer.Tel = c[2];
    buffer.Beizhu = c[3];
    buffer.strGL = c[4];
    buffer.strNL = c[5];
    buffer.IsGL = c[6] == u"按公历提醒";
    buffer.intnums = qint16(c[7].toInt());
    buffer.Duanxin = c[8];
    buffer.Sex = c[9].isEmpty() ? QStringLiteral(" ") : c[9];
    buffer.Class = c[10];
    buffer.QQ_MSN = c[11];
    buffer.Company = c[12];
    buffer.Address = c[13];
    buffer.No = c[14];
    // The days column shows a list as written; the entry keeps it beside its first day.
    const store::BirthdayRecord record = model.record(row);
    buffer.intnums = record.intNums;
    buffer.Days = record.Days;
    buffer.Kind = record.Kind;
    buffer.LeapRule = record.LeapRule;
    return buffer;
}

void frmGet::reloadAndRefresh()
{
    reloadBirthdays(m_context, m_messages);
    // The lists read the birthdays just loaded, letting go of the ones before.
    const store::BirthdayList &birthdays = m_context.loadedBirthdays();
    QHash<qint32, qsizetype> positionOfId;
    positionOfId.reserve(birthdays.size());
    for (qsizetype i = 0; i < birthdays.size(); ++i)
        positionOfId.insert(birthdays.id(i), i);
    for (BirthdayListModel *model : m_models)
        model->rebind(birthdays, positionOfId);
    m_birthdaySearch.setBirthdays(birthdays);
    if (m_tabs->currentIndex() == UpcomingTab)
        refreshUpcoming();
    Q_EMIT remindersOutdated();
}

QList<store::BirthdayRecord> frmGet::loadedRecords(const QList<qint32> &ids) const
{
    const QSet<qint32> wanted(ids.begin(), ids.end());
    const store::BirthdayList &birthdays = m_context.loadedBirthdays();
    QList<store::BirthdayRecord> records;
    for (qsizetype i = 0; i < birthdays.size(); ++i) {
        if (wanted.contains(birthdays.id(i)))
            records.append(birthdays.at(i));
    }
    return records;
}

QSet<qint32> frmGet::loadedIds() const
{
    const store::BirthdayList &birthdays = m_context.loadedBirthdays();
    QSet<qint32> ids;
    for (qsizetype i = 0; i < birthdays.size(); ++i)
        ids.insert(birthdays.id(i));
    return ids;
}

void frmGet::pushImport(const QSet<qint32> &before)
{
    QList<store::BirthdayRecord> added;
    for (const store::BirthdayRecord &record : m_context.loadedBirthdays()) {
        if (!before.contains(record.Id))
            added.append(record);
    }
    if (!added.isEmpty())
        pushChange(QStringLiteral("导入生日"), BirthdayChange::absent(added),
            BirthdayChange::present(added));
}

void frmGet::pushChange(
    const QString &name, QList<store::BirthdayState> before, QList<store::BirthdayState> after)
{
    const auto withoutUid = [](const store::BirthdayState &state) { return state.uid.isNull(); };
    if (before.isEmpty() || std::any_of(before.begin(), before.end(), withoutUid)
        || std::any_of(after.begin(), after.end(), withoutUid))
        return;
    m_undo->push(new BirthdayChange(name, std::move(before), std::move(after),
        [this, name](const QList<store::BirthdayState> &states, bool undo) {
            return writeStates(states, undo, name);
        }));
}

bool frmGet::writeStates(const QList<store::BirthdayState> &states, bool undo, const QString &name)
{
    const QString act = undo ? QStringLiteral("撤销") : QStringLiteral("重做");
    if (!m_context.DbConnection
        || store::putBirthdayStates(*m_context.DbConnection, states, m_clock.now()) != 1) {
        const QString message = writeFailure(QStringLiteral(",%1%2失败!").arg(act, name));
        setStatus(1, message);
        ask(message, AppTitle.toString(), MessageIcon::None, MessageButtons::Ok);
        return false;
    }
    refreshAllLists();
    showStates(states);
    setStatus(1, QStringLiteral("已%1 %2").arg(act, name));
    return true;
}

void frmGet::cmdAdd_Click()
{
    const int index = currentCategory();
    store::BirthdayEdit buffer;
    buffer.Type = categoryName(index);
    buffer.Sex = QStringLiteral(" ");
    if (!openEditor(buffer, false) || buffer.About.trimmed().isEmpty() || !m_context.DbConnection)
        return;
    if (buffer.Type != u"其他" && !buffer.Class.trimmed().isEmpty())
        store::AddClassFromEditor(*m_context.DbConnection, buffer.Type, buffer.Class);

    store::BirthdayRecord record = store::recordFromEdit(buffer);
    // Known before it is stored, so that undo finds the row again.
    record.Uid = QUuid::createUuid();
    const qint32 id = store::AddBirthToMdb(*m_context.DbConnection, record, m_clock.now());
    if (id < 1) {
        const QString message = writeFailure(QStringLiteral(",%1添加失败!").arg(record.About));
        setStatus(1, message);
        ask(message, QStringLiteral("生日添加"), MessageIcon::None, MessageButtons::Ok);
        return;
    }
    store::BirthdayRecord added = record;
    added.Id = id;
    const int row = m_models[index]->appendRow(added);
    QTableView *view = m_views[index];
    const QModelIndex shown = m_proxies[index]->mapFromSource(m_models[index]->index(row, 0));
    view->clearSelection();
    view->setCurrentIndex(shown);
    view->selectRow(shown.row());
    view->scrollTo(shown);
    ProcCmd(index);
    setStatus(1, record.About + QStringLiteral("添加成功!"));
    reloadAndRefresh();
    pushChange(QStringLiteral("添加生日"), BirthdayChange::absent({ added }),
        BirthdayChange::present({ added }));
    view->setFocus();
}

void frmGet::cmdEdit_Click()
{
    if (!listShown())
        return;
    const int index = currentCategory();
    const QList<qint32> ids = selectedIds(index);
    if (ids.isEmpty()) {
        setStatus(1, QStringLiteral("没有选中生日提醒,不能修改!"));
        return;
    }
    if (ids.size() == 1)
        editOne(index, ids.first());
    else
        editSeveral(index, ids);
}

void frmGet::editOne(int index, qint32 id)
{
    const int row = m_models[index]->rowOfId(id);
    store::BirthdayEdit buffer = bufferFromRow(*m_models[index], row);
    if (!openEditor(buffer, false) || buffer.About.trimmed().isEmpty() || !m_context.DbConnection)
        return;
    if (buffer.Type != u"其他" && !buffer.Class.trimmed().isEmpty())
        store::AddClassFromEditor(*m_context.DbConnection, buffer.Type, buffer.Class);

    store::BirthdayRecord record = store::recordFromEdit(buffer);
    record.Id = id;
    const QList<store::BirthdayRecord> before = loadedRecords({ id });
    if (store::UpdateBirthInMdb(*m_context.DbConnection, record, m_clock.now()) != 1) {
        const QString message = writeFailure(QStringLiteral(",%1生日修改失败!").arg(record.About));
        setStatus(1, message);
        ask(message, QStringLiteral("生日修改"), MessageIcon::None, MessageButtons::Ok);
        return;
    }
    m_models[index]->replaceRow(record);
    ProcCmd(index);
    // The new number may have lost its tick: the SMS panel counts again.
    m_smsPanel->ProcTelSelect();
    setStatus(1, QStringLiteral("生日修改成功!"));
    reloadAndRefresh();
    pushChange(QStringLiteral("修改生日"), BirthdayChange::present(before),
        BirthdayChange::present(loadedRecords({ id })));
}

void frmGet::editSeveral(int index, const QList<qint32> &ids)
{
    store::BirthdayEdit buffer;
    buffer.Type = categoryName(index);
    if (!openEditor(buffer, true) || !m_context.DbConnection)
        return;
    // Only numbers that can take an SMS get "是"; the others are set to "否".
    QList<qint32> yes, no;
    for (qint32 id : ids) {
        const int row = m_models[index]->rowOfId(id);
        const bool wantsSms = buffer.Duanxin == u"是"
            && store::IsPhoneNumber(m_models[index]->cell(row, BirthdayListModel::TelColumn));
        (wantsSms ? yes : no).append(id);
    }
    const QList<store::BirthdayRecord> before = loadedRecords(ids);
    if (store::BatchUpdateBirths(*m_context.DbConnection, buffer.intnums, yes, !yes.isEmpty(), no,
            !no.isEmpty(), m_clock.now())
        != 1) {
        const QString message = writeFailure(QStringLiteral(",生日批量修改失败!"));
        setStatus(1, message);
        ask(message, QStringLiteral("生日修改"), MessageIcon::None, MessageButtons::Ok);
        return;
    }
    QHash<qint32, QString> days, sms;
    const QSet<qint32> yesIds(yes.begin(), yes.end());
    for (qint32 id : ids) {
        days.insert(id, QString::number(buffer.intnums));
        sms.insert(id, yesIds.contains(id) ? QStringLiteral("是") : QStringLiteral("否"));
    }
    m_models[index]->setCells(BirthdayListModel::DaysColumn, days);
    m_models[index]->setCells(8, sms);
    ProcCmd(index);
    // Those left without an SMS are named: the user asked for one for everybody.
    QString withoutSms;
    if (buffer.Duanxin == u"是" && !no.isEmpty()) {
        constexpr qsizetype NamesShown = 10;
        QStringList names;
        for (qint32 id : no.first(qMin(no.size(), NamesShown)))
            names << m_models[index]->cell(m_models[index]->rowOfId(id), 0);
        withoutSms = names.join(u'、')
            + (no.size() > NamesShown ? QStringLiteral("等%1个生日提醒").arg(no.size()) : QString())
            + QStringLiteral("没有手机号码,短信提醒仍为\"否\"。");
    }
    setStatus(1, QStringLiteral("生日批量修改成功!") + withoutSms);
    reloadAndRefresh();
    pushChange(QStringLiteral("批量修改生日"), BirthdayChange::present(before),
        BirthdayChange::present(loadedRecords(ids)));
    if (!withoutSms.isEmpty())
        ask(withoutSms, QStringLiteral("生日修改"), MessageIcon::Information, MessageButtons::Ok);
}

void frmGet::cmdDel_Click()
{
    if (!listShown())
        return;
    const int index = currentCategory();
    const QList<qint32> ids = selectedIds(index);
    if (ids.isEmpty()) {
        setStatus(1, QStringLiteral("没有选中生日提醒,不能删除!"));
        return;
    }
    if (!m_context.DbConnection)
        return;
    const QString question = ids.size() > 1
        ? QStringLiteral("确认删除所选择的%1个生日提醒吗?").arg(ids.size())
        : QStringLiteral("确认删除\"%1\"生日提醒吗?")
              .arg(m_models[index]->cell(m_models[index]->rowOfId(ids.first()), 0));
    if (ask(question, AppTitle.toString(), MessageIcon::Question, MessageButtons::YesNo)
        != MessageButton::Yes)
        return;
    const QList<store::BirthdayRecord> before = loadedRecords(ids);
    setStatus(1, QStringLiteral("删除进行中，请稍候..."));
    // Shown only when the delete takes longer than half a second.
    QProgressDialog progress(QStringLiteral("删除进行中，请稍候..."), QString(), 0, 3, this);
    progress.setWindowTitle(AppTitle.toString());
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    progress.setValue(0);
    if (store::DeleteBirthsFromMdb(*m_context.DbConnection, ids, m_clock.now()) != 1) {
        progress.reset();
        const QString message = writeFailure(QStringLiteral(",生日删除失败!"));
        setStatus(1, message);
        ask(message, QStringLiteral("生日删除"), MessageIcon::None, MessageButtons::Ok);
        return;
    }
    progress.setValue(1);
    m_models[index]->removeIds(ids);
    ProcCmd(index);
    setStatus(1, QStringLiteral("生日删除成功!"));
    progress.setValue(2);
    reloadAndRefresh();
    pushChange(QStringLiteral("删除生日"), BirthdayChange::present(before),
        BirthdayChange::absent(before));
    progress.setValue(3);
}

} // namespace natalis::app
