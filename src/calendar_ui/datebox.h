#pragma once

#include "calendar_ui/pickergrid.h"

#include <QObject>
#include <functional>
#include <optional>

class QLineEdit;

namespace natalis::calendar_ui {

// Makes a text box a date box: a click, Space, F4 or Alt+Down opens its picker, and a date typed
// in and confirmed (Enter or leaving the box) is read by `parse`. A readable date hands both
// texts to `accepted`; anything else puts the box's text back as it was and calls `refused`.
class DateBox : public QObject
{
    Q_OBJECT

public:
    using Parser = std::function<std::optional<PickedTexts>(const QString &)>;

    DateBox(QLineEdit &box, Parser parse, std::function<void()> openPicker,
        std::function<void(const PickedTexts &)> accepted, std::function<void()> refused);

    // Reads what was typed, as Enter or leaving the box does.
    void commitTyped();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void openPicker();

    QLineEdit &m_box;
    Parser m_parse;
    std::function<void()> m_openPicker;
    std::function<void(const PickedTexts &)> m_accepted;
    std::function<void()> m_refused;
    QString m_shown; // the text last set by the program
    bool m_typed = false;
};

} // namespace natalis::calendar_ui
