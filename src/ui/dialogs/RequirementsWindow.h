#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace zentuvo {

class AppState;
class MainWindowApi;

// frmRequirements: what the user needs to see all channels (a translated text). Modeless:
// open it with RequirementsWindow::open, which brings an open one forward.
class RequirementsWindow : public QDialog {
    Q_OBJECT
public:
    RequirementsWindow(AppState& app, MainWindowApi& main, QWidget* parent = nullptr);

    // Shows the one requirements window, creating it on the first request.
    static RequirementsWindow* open(AppState& app, MainWindowApi& main);

private:
    QLabel* lblRequirements_ = nullptr;
    QPushButton* cmdClose_ = nullptr;
};

} // namespace zentuvo
