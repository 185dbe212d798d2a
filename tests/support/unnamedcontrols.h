#pragma once

// The controls under a window that a screen reader could land on but would have no name to read.

#include <QAccessible>
#include <QStringList>
#include <QWidget>

namespace natalis::test {

namespace detail {

// On Linux a combo box's name is its current value whenever it has one, so there a reader
// names it by the label the relation points to.
inline bool hasName(QAccessibleInterface *node)
{
    if (!node->relations(QAccessible::Label).isEmpty())
        return true;
    const QString name = node->text(QAccessible::Name).trimmed();
    return !name.isEmpty()
        && (node->role() != QAccessible::ComboBox || name != node->text(QAccessible::Value));
}

inline void collectUnnamed(QAccessibleInterface *node, QStringList &unnamed)
{
    static const QList<QAccessible::Role> controls = { QAccessible::PushButton,
        QAccessible::CheckBox, QAccessible::RadioButton, QAccessible::ComboBox,
        QAccessible::EditableText, QAccessible::List, QAccessible::Table, QAccessible::Tree,
        QAccessible::SpinBox, QAccessible::ButtonMenu, QAccessible::ButtonDropDown };
    if (controls.contains(node->role()) && node->state().focusable && !hasName(node)) {
        QObject *object = node->object();
        unnamed << (object
                ? object->objectName() + u'@' + QLatin1String(object->metaObject()->className())
                : QStringLiteral("?"));
    }
    // A combo box's popup and a table's cells are named by their items, not by us.
    if (node->role() == QAccessible::ComboBox || node->role() == QAccessible::Table)
        return;
    for (int i = 0; i < node->childCount(); ++i) {
        if (QAccessibleInterface *child = node->child(i))
            collectUnnamed(child, unnamed);
    }
}

} // namespace detail

inline QStringList unnamedControls(QWidget *window)
{
    QStringList unnamed;
    if (QAccessibleInterface *root = QAccessible::queryAccessibleInterface(window))
        detail::collectUnnamed(root, unnamed);
    return unnamed;
}

} // namespace natalis::test
