#include "ui/main/MainWindow.h"

#include "app/AppState.h"
#include "app/Settings.h"

#include <QCloseEvent>

namespace zentuvo {

MainWindow::MainWindow(AppState& app, QWidget* parent) : QMainWindow(parent), app_(app) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(
        QStringLiteral(" Zentuvo %1 - (%2) ").arg(kVersion, app_.GetLangNameByID(app_.LanguageID)));
    resize(1100, 700);
}

void MainWindow::SaveSettings() {
    SetRememberCountry(app_);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    SaveSettings();
    event->accept();
}

} // namespace zentuvo
