#pragma once

#include "app/transferactions.h"
#include "platform/messagesink.h"
#include "session/appcontext.h"
#include "widgets/modalrunner.h"

#include <QDateTime>

class QWidget;

namespace natalis::app {

// 文件 → 导出到手机日历(*.ics): chooser, overwrite question, whether festivals and solar terms go
// in too, then the calendar of the birthdays from now's year on for 20 years.
void runIcsExport(QWidget *owner, session::AppContext &context, platform::MessageSink &messages,
    const StatusSink &status, const QDateTime &now, const widgets::ModalRunner &runModal = {});

// 文件 → 导出到手机通讯录(*.vcf): chooser, overwrite question, the contacts file.
void runVcfExport(QWidget *owner, session::AppContext &context, platform::MessageSink &messages,
    const StatusSink &status, const widgets::ModalRunner &runModal = {});

// 文件 → 从手机通讯录导入(*.vcf): chooser, read, preview with the category of cards that name
// none, add. Returns true when birthdays were added (the caller reloads and refills its lists).
bool runVcfImport(QWidget *owner, session::AppContext &context, platform::MessageSink &messages,
    const platform::Clock &clock, const StatusSink &status,
    const widgets::ModalRunner &runModal = {});

} // namespace natalis::app
