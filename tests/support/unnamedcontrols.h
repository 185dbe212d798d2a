#pragma once

// The controls under a window that a screen reader could land on but would have no name of their
// own to read, or a name another control of the window has too.

#include <QAccessible>
#include <QHash>
#include <QStringList>
#include <QWidget>

namespace natalis::test {

namespace detail {

// On Linux Qt reports a combo box's current value as its name and leaves its label to the
// relation a buddy label makes; the name of its own is what the other platforms read.
inline QString ownName(QAccessibleInterface *node)
{
    if (node->role() == QAccessible::ComboBox) {
        auto *widget = qobject_cast<QWidget *>(node->object());
        return widget ? widget->accessibleName().trimmed() : QString();
    }
    return node->text(QAccessible::Name).trimmed();
}

inline QString describe(QAccessibleInterface *node)
{
    QObject *object = node->object();
    return object ? object->objectName() + u'@' + QLatin1String(object->metaObject()->className())
                  : QStringLiteral("?");
}

inline void collect(QAccessibleInterface *node, QStringList &unnamed, QHash<QString, int> &names)
{
    static const QList<QAccessible::Role> controls = { QAccessible::PushButton,
        QAccessible::CheckBox, QAccessible::RadioButton, QAccessible::ComboBox,
        QAccessible::EditableText, QAccessible::List, QAccessible::Table, QAccessible::Tree,
        QAccessible::SpinBox, QAccessible::ButtonMenu, QAccessible::ButtonDropDown };
    if (controls.contains(node->role()) && node->state().focusable) {
        const QString name = ownName(node);
        if (name.isEmpty())
            unnamed << describe(node);
        else if (++names[name] == 2)
            unnamed << QStringLiteral("two controls named ") + name;
    }
    // A combo box's popup and a table's cells are named by their items, not by us.
    if (node->role() == QAccessible::ComboBox || node->role() == QAccessible::Table)
        return;
    for (int i = 0; i < node->childCount(); ++i) {
        if (QAccessibleInterface *child = node->child(i))
            collect(child, unnamed, names);
    }
}

} // namespace detail

// "objectName@Class" of each control without a name of its own, and "two controls named N" for
// each name used more than once in the window.
inline QStringList unnamedControls(QWidget *window)
{
    QStringList unnamed;
    QHash<QString, int> names;
    if (QAccessibleInterface *root = QAccessible::queryAccessibleInterface(window))
        detail::collect(root, unnamed, names);
    return unnamed;
}

} // namespace natalis::test
