#include "widgets/helpdocument.h"

#include "widgets/dialogparts.h"
#include "widgets/pictures.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace natalis::widgets {

QString helpDocumentPath(const QString &folder)
{
    picture(Picture::Tray); // the help lives in the same resources as the pictures
    QFile shipped(QStringLiteral(":/natalis/help.html"));
    if (!shipped.open(QIODevice::ReadOnly))
        return {};
    const QByteArray content = shipped.readAll();

    const QString dir =
        folder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::CacheLocation) : folder;
    if (dir.isEmpty() || !QDir().mkpath(dir))
        return {};
    const QString path = QDir(dir).filePath(QStringLiteral("natalis-help.html"));
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == content)
        return path;
    existing.close();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit())
        return {};
    return path;
}

void showHelpViewer(QWidget *parent)
{
    if (auto *open = parent->findChild<QDialog *>(QStringLiteral("frmHelp"))) {
        open->showNormal();
        open->raise();
        open->activateWindow();
        return;
    }
    picture(Picture::Tray);
    auto *window = new QDialog(parent);
    window->setObjectName(QStringLiteral("frmHelp"));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(QStringLiteral("帮助"));
    auto *browser = new QTextBrowser(window);
    browser->setObjectName(QStringLiteral("txtHelp"));
    browser->setOpenExternalLinks(true);
    browser->setSource(QUrl(QStringLiteral("qrc:/natalis/help.html")));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, window);
    buttons->button(QDialogButtonBox::Close)->setText(actCaption(WindowAct::Close));
    QObject::connect(buttons, &QDialogButtonBox::rejected, window, &QDialog::close);
    auto *layout = new QVBoxLayout(window);
    layout->addWidget(browser, 1);
    layout->addWidget(buttons);
    window->resize(760, 600);
    window->show();
}

} // namespace natalis::widgets
