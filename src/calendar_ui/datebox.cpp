#include "calendar_ui/datebox.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace natalis::calendar_ui {

namespace {

bool opensPicker(const QKeyEvent &key)
{
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    if (key.key() == Qt::Key_Down)
        return modifiers == Qt::AltModifier;
    return (key.key() == Qt::Key_Space || key.key() == Qt::Key_F4) && modifiers == Qt::NoModifier;
}

} // namespace

DateBox::DateBox(QLineEdit &box, Parser parse, std::function<void()> openPicker,
    std::function<void(const PickedTexts &)> accepted, std::function<void()> refused)
    : QObject(&box), m_box(box), m_parse(std::move(parse)), m_openPicker(std::move(openPicker)),
      m_accepted(std::move(accepted)), m_refused(std::move(refused)), m_shown(box.text())
{
    box.setReadOnly(false);
    box.setCursor(Qt::PointingHandCursor);
    box.installEventFilter(this);
    connect(&box, &QLineEdit::textEdited, this, [this] { m_typed = true; });
    connect(&box, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (!m_typed)
            m_shown = text;
    });
    connect(&box, &QLineEdit::editingFinished, this, &DateBox::commitTyped);
}

void DateBox::commitTyped()
{
    if (!m_typed)
        return;
    m_typed = false;
    const QString typed = m_box.text().trimmed();
    m_box.setText(m_shown);
    // Emptied or put back as it was: nothing to read.
    if (typed.isEmpty() || typed == m_shown.trimmed())
        return;
    if (const auto texts = m_parse(typed)) {
        m_accepted(*texts);
        return;
    }
    m_box.selectAll();
    if (m_refused)
        m_refused();
}

void DateBox::openPicker()
{
    // Half-typed text gives way to the picker, which starts from the date shown before.
    if (m_typed) {
        m_typed = false;
        m_box.setText(m_shown);
    }
    m_openPicker();
}

bool DateBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_box) {
        const bool click = event->type() == QEvent::MouseButtonRelease;
        const bool key =
            event->type() == QEvent::KeyPress && opensPicker(*static_cast<QKeyEvent *>(event));
        if (click || key) {
            openPicker();
            return true;
        }
        // Enter confirms a typed date only; it must not also press the dialog's default button.
        if (event->type() == QEvent::KeyPress && m_typed) {
            const int code = static_cast<QKeyEvent *>(event)->key();
            if (code == Qt::Key_Return || code == Qt::Key_Enter) {
                commitTyped();
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace natalis::calendar_ui
