#pragma once

#include "data/ChannelRef.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

namespace zentuvo {

class AppContext;
class MainWindowApi;

// frmChannelProperty: name, home page and description of the catalogue channel selected in
// the main window's list, with a button that opens the home page. Modal; the fields are
// filled once when it opens and saved nowhere.
class ChannelPropertyWindow : public QDialog {
    Q_OBJECT
public:
    // channel: the catalogue channel to show (a null reference shows nothing).
    ChannelPropertyWindow(AppContext& app, MainWindowApi& main, ChannelRef channel,
                          QWidget* parent = nullptr);

    // Fills the fields from the selected catalogue row; with none they stay empty.
    void showProperty();
    // Opens the home page as it stands in its field.
    void onVisitHomePageClicked();

private:
    void buildLayout();
    void setCaptions();

    AppContext& app_;
    MainWindowApi& main_;
    ChannelRef channel_;
    QLabel* lblName_ = nullptr;
    QLabel* lblHomePage_ = nullptr;
    QLabel* lblDescription_ = nullptr;
    QLineEdit* txtName_ = nullptr;
    QLineEdit* txtHomePage_ = nullptr;
    QPlainTextEdit* txtDescription_ = nullptr;
    QToolButton* imgButtonVisitHomePage_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
};

} // namespace zentuvo
