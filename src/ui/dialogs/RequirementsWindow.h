#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace zentuvo {

class AppContext;
class MainWindowApi;

// frmRequirements: what the user needs to see all channels (a translated text). Modeless:
// open it with RequirementsWindow::open, which brings an open one forward.
class RequirementsWindow : public QDialog {
    Q_OBJECT
public:
    RequirementsWindow(AppContext& app, MainWindowApi& main, QWidget* parent = nullptr);

    // Shows the one requirements window, creating it on the first request.
    static RequirementsWindow* open(AppContext& app, MainWindowApi& main);

private:
    QLabel* lblRequirements_ = nullptr;
    QPushButton* cmdClose_ = nullptr;
};

} // namespace zentuvo
