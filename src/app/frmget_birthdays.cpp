// The main window's birthday actions: add, edit (one or several) and delete, each written by
// the birthday service and then shown in place; and the lists following the service's changes.

#include "app/frmget.h"
#include "app/smspanel.h"
#include "birthdays/birthdayservice.h"
#include "calendar_ui/datepickers.h"
#include "dialogs/frmaddedit.h"
#include "dialogs/searchpage.h"
#include "platform/clock.h"
#include "platform/messagesink.h"
#include "session/appcontext.h"
#include "session/startup.h"
#include "store/birthdays.h"
#include "store/categories.h"
#include "store/classtables.h"

#include <QProgressDialog>
#include <QSortFilterProxyModel>
#include <QStackedWidget>
#include <QTabBar>
#include <QTableView>

namespace natalis::app {

namespace {

QString categoryName(int index)
{
    return store::CategoryNames[index].toString();
}

} // namespace

platform::MessageButton frmGet::ask(const QString &text, const QString &title,
    platform::MessageIcon icon, platform::MessageButtons buttons)
{
    const ModalBracket modal(*this);
    return m_messages.show(text, title, icon, buttons);
}

void frmGet::tell(const QString &text, const QString &title)
{
    ask(text, title, platform::MessageIcon::None, platform::MessageButtons::Ok);
}

bool frmGet::runEditor(store::BirthdayEdit &buffer, bool batch)
{
    dialogs::frmAddEdit::Setup setup;
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
    dialogs::frmAddEdit editor(buffer, std::move(setup), this);
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

store::BirthdayEdit frmGet::bufferFromRow(const dialogs::BirthdayListModel &model, int row) const
{
    std::array<QString, dialogs::BirthdayListModel::FieldCount> c;
    for (int column = 0; column < dialogs::BirthdayListModel::FieldCount; ++column)
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

void frmGet::rebindLists()
{
    const store::BirthdayList &birthdays = m_context.loadedBirthdays();
    QHash<qint32, qsizetype> positionOfId;
    positionOfId.reserve(birthdays.size());
    for (qsizetype i = 0; i < birthdays.size(); ++i)
        positionOfId.insert(birthdays.id(i), i);
    for (dialogs::BirthdayListModel *model : m_models)
        model->rebind(birthdays, positionOfId);
    m_search->setBirthdays(birthdays);
    if (m_tabs->currentIndex() == UpcomingTab)
        refreshUpcoming();
}

void frmGet::refreshAllLists()
{
    rebindLists();
    MyDisplayBirth();
    ProcCmd(currentCategory());
}

void frmGet::birthdaysChanged(const birthdays::BirthdayChanges &changes)
{
    if (m_writing)
        return;
    refreshAllLists();
    if (changes.undoText.isEmpty())
        return;
    showUids(changes.uids);
    setStatus(1, changes.undoText);
}

void frmGet::tellFailure(const QString &message, const QString &title)
{
    setStatus(1, message);
    if (!title.isEmpty())
        ask(message, title, platform::MessageIcon::None, platform::MessageButtons::Ok);
}

store::BirthdayRecord frmGet::loadedRecord(qint32 id) const
{
    const store::BirthdayList &birthdays = m_context.loadedBirthdays();
    for (qsizetype i = 0; i < birthdays.size(); ++i) {
        if (birthdays.id(i) == id)
            return birthdays.at(i);
    }
    return {};
}

void frmGet::cmdAdd_Click()
{
    const int index = currentCategory();
    store::BirthdayEdit buffer;
    buffer.Type = categoryName(index);
    buffer.Sex = QStringLiteral(" ");
    if (!openEditor(buffer, false) || buffer.About.trimmed().isEmpty() || !m_context.DbConnection)
        return;
    m_writing = true;
    const birthdays::ChangeOutcome outcome = m_service.add(buffer);
    m_writing = false;
    if (!outcome.written) {
        tellFailure(outcome.message, outcome.failureTitle);
        return;
    }
    const int row = m_models[index]->appendRow(loadedRecord(outcome.id));
    QTableView *view = m_views[index];
    const QModelIndex shown = m_proxies[index]->mapFromSource(m_models[index]->index(row, 0));
    view->clearSelection();
    view->setCurrentIndex(shown);
    view->selectRow(shown.row());
    view->scrollTo(shown);
    ProcCmd(index);
    setStatus(1, outcome.message);
    rebindLists();
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
    m_writing = true;
    const birthdays::ChangeOutcome outcome = m_service.edit(id, buffer);
    m_writing = false;
    if (!outcome.written) {
        tellFailure(outcome.message, outcome.failureTitle);
        return;
    }
    m_models[index]->replaceRow(loadedRecord(id));
    ProcCmd(index);
    setStatus(1, outcome.message);
    rebindLists();
}

void frmGet::editSeveral(int index, const QList<qint32> &ids)
{
    store::BirthdayEdit buffer;
    buffer.Type = categoryName(index);
    if (!openEditor(buffer, true) || !m_context.DbConnection)
        return;
    m_writing = true;
    const birthdays::ChangeOutcome outcome =
        m_service.changeSeveral(ids, buffer.intnums, buffer.Duanxin == u"是");
    m_writing = false;
    if (!outcome.written) {
        tellFailure(outcome.message, outcome.failureTitle);
        return;
    }
    QHash<qint32, QString> days, sms;
    for (qint32 id : ids) {
        const store::BirthdayRecord record = loadedRecord(id);
        days.insert(id, QString::number(record.intNums));
        sms.insert(id, record.Duanxin.trimmed());
    }
    m_models[index]->setCells(dialogs::BirthdayListModel::DaysColumn, days);
    m_models[index]->setCells(8, sms);
    ProcCmd(index);
    setStatus(1, outcome.message);
    rebindLists();
    if (!outcome.notice.isEmpty())
        ask(outcome.notice, QStringLiteral("生日修改"), platform::MessageIcon::Information,
            platform::MessageButtons::Ok);
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
    if (ask(question, session::AppTitle.toString(), platform::MessageIcon::Question,
            platform::MessageButtons::YesNo)
        != platform::MessageButton::Yes)
        return;
    setStatus(1, QStringLiteral("删除进行中，请稍候..."));
    // Shown only when the delete takes longer than half a second.
    QProgressDialog progress(QStringLiteral("删除进行中，请稍候..."), QString(), 0, 3, this);
    progress.setWindowTitle(session::AppTitle.toString());
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    progress.setValue(0);
    m_writing = true;
    const birthdays::ChangeOutcome outcome = m_service.remove(ids);
    m_writing = false;
    if (!outcome.written) {
        progress.reset();
        tellFailure(outcome.message, outcome.failureTitle);
        return;
    }
    progress.setValue(1);
    m_models[index]->removeIds(ids);
    ProcCmd(index);
    setStatus(1, outcome.message);
    progress.setValue(2);
    rebindLists();
    progress.setValue(3);
}

} // namespace natalis::app
