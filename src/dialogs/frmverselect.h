#pragma once

#include "transfer/importlayout.h"

#include <QDialog>
#include <array>
#include <optional>

class QRadioButton;

namespace natalis::dialogs {

// Asks which earlier version wrote the file to import.
class frmVerSelect : public QDialog
{
    Q_OBJECT

public:
    explicit frmVerSelect(QWidget *parent = nullptr);

    void selectVersion(int option); // 0 v3.1 .. 3 v1.0
    // The layout chosen by cmdOK; nullopt until then, and after cmdNo.
    std::optional<transfer::ImportLayout> chosenLayout() const { return m_chosen; }

    void cmdOK_Click();
    void cmdNo_Click();

private:
    std::array<QRadioButton *, 4> m_options {};
    std::optional<transfer::ImportLayout> m_chosen;
};

} // namespace natalis::dialogs
