#pragma once

class QApplication;
class QWidget;

namespace natalis::app {

// Keeps a top-level window within the available area of its screen: no larger than it (nor
// smaller than its layout allows), and moved back onto it when it stands partly outside, as
// after a change of resolution or scale factor.
void fitToScreen(QWidget &window);

// Fits every window of the program as it is shown.
void keepWindowsOnScreen(QApplication &application);

} // namespace natalis::app
