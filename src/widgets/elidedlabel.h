#pragma once

#include <QLabel>

namespace natalis::widgets {

// A one-line label that ends its text with "…" when it is narrower than the text, and then shows
// the whole text as its tooltip. For the status bar, whose long hints were simply cut off.
class ElidedLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget *parent = nullptr);

    // The text as it is drawn at the label's present width.
    QString shownText() const;
    // Room for the "…" alone: the text no longer sets how narrow the label may get.
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};

} // namespace natalis::widgets
