#pragma once

#include <QMainWindow>

namespace zentuvo {

class AppState;

// The main window: lists, players and commands.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(AppState& app, QWidget* parent = nullptr);

    // Stores the remember flag and the selected country filter.
    void SaveSettings();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    AppState& app_;
};

} // namespace zentuvo
