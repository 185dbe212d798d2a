#pragma once

class QApplication;
class QRect;
class QWidget;

namespace natalis::widgets {

// Keeps a top-level window within the available area of its screen: no larger than it, and
// moved back onto it when it stands partly outside, as after a change of resolution or scale
// factor. A window whose layout needs more room than the screen has gets its content put into a
// scroll area first, so that nothing is clipped out of reach.
void fitToScreen(QWidget &window);
// The same within the free area `available` of a screen.
void fitToScreen(QWidget &window, const QRect &available);

// The windows a person moves and resizes: main window, dialogs, the calendar. Never the tray's
// icon window, balloons, tool tips, popups or the floating strip.
bool isFittedWindow(const QWidget &widget);

// Fits every such window of the program as it is shown.
void keepWindowsOnScreen(QApplication &application);

} // namespace natalis::widgets
