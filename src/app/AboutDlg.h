// The About box: program name, version and who makes it.
#pragma once

#include <QDialog>

class QLabel;

namespace tolvane::app {

class TUiServices;

class TdlgAbout : public QDialog
{
    Q_OBJECT

public:
    /// `ui` opens the two links (web page and mail address).
    explicit TdlgAbout(TUiServices& ui, QWidget* parent = nullptr);

    QLabel* lblVersion = nullptr;

    void Button1Click();
};

} // namespace tolvane::app
