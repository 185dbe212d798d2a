#pragma once

#include <QDialog>
#include <functional>

namespace natalis::widgets {

// Runs a modal dialog to its end. The default calls exec(); the main window may bracket it with
// its modal-busy state, and tests press the dialog's buttons instead of waiting for a user.
using ModalRunner = std::function<void(QDialog &dialog)>;

inline void runModal(const ModalRunner &runner, QDialog &dialog)
{
    if (runner)
        runner(dialog);
    else
        dialog.exec();
}

} // namespace natalis::widgets
