// The main window's file menu items for phones: calendar and contacts out, contacts in.

#include "app/frmget.h"
#include "app/phoneactions.h"
#include "platform/clock.h"
#include "transfer/icalendarexport.h"
#include "transfer/importlayout.h"
#include "transfer/vcardexport.h"

#include <QAction>
#include <QMenu>

namespace natalis::app {

void frmGet::addPhoneMenu(QMenu *file)
{
    file->addSeparator()->setObjectName(QStringLiteral("mnuSepPhone"));
    const auto item = [file](const char *name, const QString &caption) {
        QAction *a = file->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    const StatusSink status = [this](const QString &text) { setStatus(1, text); };
    connect(
        item("mnuIcsOut", transfer::icsChooserTitle()), &QAction::triggered, this, [this, status] {
            const ModalBracket modal(*this);
            runIcsExport(this, m_context, m_messages, status, m_clock.now(), runDialog);
        });
    connect(item("mnuVcfAddIn", transfer::chooserTitle(transfer::ImportLayout::Vcf)),
        &QAction::triggered, this, [this, status] {
            importWith([this, status] {
                return runVcfImport(this, m_context, m_messages, m_clock, status, runDialog);
            });
        });
    connect(item("mnuVcfOut", transfer::vcardChooserTitle()), &QAction::triggered, this,
        [this, status] {
            const ModalBracket modal(*this);
            runVcfExport(this, m_context, m_messages, status, runDialog);
        });
}

} // namespace natalis::app
