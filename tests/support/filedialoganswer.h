#pragma once

// Answers the file dialog as a user choosing path would; true when dialog was the file dialog.

#include <QDialog>
#include <QFileDialog>

namespace natalis::test {

inline bool answerFileDialog(QDialog &dialog, const QString &path)
{
    auto *chooser = qobject_cast<QFileDialog *>(&dialog);
    if (!chooser)
        return false;
    chooser->selectFile(path);
    // Past the dialog's own checks, as the desktop's dialog would hand the path back.
    dialog.QDialog::done(QDialog::Accepted);
    return true;
}

} // namespace natalis::test
