#pragma once

#include <QWidget>

class QLabel;

namespace zentuvo {

class AppContext;

// frmSplash: the product picture with the version and build, without a frame, centred on
// the screen while the main window loads.
//
//     SplashWindow splash;
//     splash.setCaptions(app); // once the settings are read
//     splash.showCentred();   // painted at once
//     MainWindow window(app); // the long load
//     splash.close();
//     window.show();
class SplashWindow : public QWidget {
    Q_OBJECT
public:
    explicit SplashWindow(QWidget* parent = nullptr);

    // The version and build lines in the user's language.
    void setCaptions(AppContext& app);
    // Shows the window in the middle of the screen and paints it before returning.
    void showCentred();

private:
    QLabel* picWelcome_ = nullptr;
    QLabel* lblVersion_ = nullptr;
    QLabel* lblBuild_ = nullptr;
};

} // namespace zentuvo
