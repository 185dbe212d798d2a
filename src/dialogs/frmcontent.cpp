#include "dialogs/frmcontent.h"

#include "widgets/dialogparts.h"

#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace natalis::dialogs {

namespace {

constexpr int KeyRole = Qt::UserRole + 1;

} // namespace

QStringList frmContent::columnTitles()
{
    return { QStringLiteral("生日名称"), QStringLiteral("类别"), QStringLiteral("联系方式"),
        QStringLiteral("备注"), QStringLiteral("生日"), QStringLiteral("提醒天数"),
        QStringLiteral("短信提醒"), QStringLiteral("性别"), QStringLiteral("部门/类型"),
        QStringLiteral("QQ/MSN"), QStringLiteral("公司"), QStringLiteral("地址"),
        QStringLiteral("工号/卡号") };
}

frmContent::frmContent(
    const QString &dateText, const QString &detailText, int skin, QWidget *parent)
    : DayListDialog(skin, parent), m_list(new QTreeWidget(this))
{
    setObjectName(QStringLiteral("frmContent"));
    dateLabel()->setText(dateText + QStringLiteral(" 节假日/生日如下:"));
    m_list->setObjectName(QStringLiteral("lstvContent"));
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels(columnTitles());
    m_list->setToolTip(QStringLiteral("点击标题栏按相应标题排序"));
    widgets::nameForReader(m_list, dateText + QStringLiteral("的节假日/生日"),
        QStringLiteral("点击标题栏按相应标题排序"));
    m_list->setSortingEnabled(true);
    m_list->sortByColumn(-1, Qt::AscendingOrder);
    m_list->header()->setSortIndicatorShown(true);
    paintList(m_list);

    const QStringList lines = detailText.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    for (int i = 0; i < lines.size(); ++i) {
        auto *item = new QTreeWidgetItem(lines[i].split(u'\t').mid(0, columnTitles().size()));
        item->setData(0, KeyRole, QString::number(i + 1) + u'R');
        m_list->addTopLevelItem(item);
    }
    for (int column = 0; column < m_list->columnCount(); ++column)
        m_list->resizeColumnToContents(column);
    body()->addWidget(m_list);
    resize(720, 320);
}

} // namespace natalis::dialogs
