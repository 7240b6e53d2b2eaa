#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

namespace zentuvo {

class AppContext;
class MainWindowApi;

// frmAbout: version, build, the player library's version and the support mail and web
// links. Modal; its Close button, a click on the picture area or Escape closes it.
class AboutWindow : public QDialog {
    Q_OBJECT
public:
    // playerVersion: the player library's version text.
    AboutWindow(AppContext& app, MainWindowApi& main, QString playerVersion,
                QWidget* parent = nullptr);

    // lblEmail: a new mail to the support address.
    void onEmailClicked();
    // lblInternet: the product's home page.
    void onInternetClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    void initialize();

    AppContext& app_;
    MainWindowApi& main_;
    QString playerVersion_;
    QWidget* pic_ = nullptr;
    QLabel* picWelcome_ = nullptr;
    QLabel* lblVersion_ = nullptr;
    QLabel* lblBuild_ = nullptr;
    QLabel* lblVLC_ = nullptr;
    QLabel* lblEmail_ = nullptr;
    QLabel* lblInternet_ = nullptr;
    QPushButton* cmdClose_ = nullptr;
};

} // namespace zentuvo
