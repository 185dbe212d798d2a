#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QVBoxLayout;

namespace natalis::dialogs {

// The frame both day-list windows share: caption "节假日/生日列表", a date line, a border in the
// skin's frame colour and a 关闭 button below it; Escape closes.
class DayListDialog : public QDialog
{
    Q_OBJECT

public:
    DayListDialog(int skin, QWidget *parent);

protected:
    QLabel *dateLabel() const { return m_date; }
    QVBoxLayout *body() const { return m_body; }
    // Lists take the skin's background and text colours.
    void paintList(QWidget *list) const;

private:
    int m_skin;
    QFrame *m_frame;
    QLabel *m_date;
    QVBoxLayout *m_body;
};

} // namespace natalis::dialogs
