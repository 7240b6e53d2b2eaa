#pragma once

#include "data/GuideStore.h"
#include "ui/guide/GuideGrid.h"

#include <QDialog>
#include <QPointer>
#include <QThreadPool>

class QLabel;
class QPushButton;
class QStackedWidget;
class QTimer;

namespace zentuvo {

class AppContext;
class MainWindowApi;
class RecordingScheduler;

// frmGuide: the programme guide of the channels the main window lists, as a grid over the
// guide's days, with the selected programme's details underneath. Modeless, one at a time:
// open it with GuideWindow::open, which brings an open one forward.
//
// Double click or Enter on a programme running now asks for its channel in the main player;
// on a later one the details say when it starts and, with a scheduler, the user is asked
// whether to record it. Without a guide the grid's place says how
// to add one. Nothing here waits for the guide file: it is read off the GUI thread.
class GuideWindow : public QDialog {
    Q_OBJECT
public:
    GuideWindow(AppContext& app, MainWindowApi& main, QWidget* parent = nullptr);
    ~GuideWindow() override;

    // Shows the one guide window, creating it on the first request (parent: the main window).
    static GuideWindow* open(AppContext& app, MainWindowApi& main);

    // Reads the guide again after a refresh: whether there is one, its days, the programmes.
    void reload();
    // The rows, in the order of the main window's list.
    void setChannels(QList<GuideChannel> channels);
    // Now, as the grid's line and the running programmes know it (a minute timer moves it).
    void setNow(qint64 now);

    GuideGrid* grid() const { return grid_; }
    // Whether the grid's place shows the text about adding a guide.
    bool showsNoGuide() const;
    // The details panel's texts, one line each.
    QString detailsText() const;
    // Whether the guide's state and the selected programme's description are known.
    bool isIdle() const { return checking_ == 0 && describing_ == 0; }
    // Where a later programme goes when the user wants it recorded (see onActivated).
    void setScheduler(RecordingScheduler* scheduler);

signals:
    // A running programme's channel to play in the main player.
    void playRequested(zentuvo::ChannelRef channel);

private:
    void buildLayout();
    void setCaptions();
    void checkGuide();
    void showGuide(bool shown);
    void showSelected();
    void onActivated(const GuideProgramme& programme);
    QString term(const char* key) const;

    AppContext& app_;
    MainWindowApi& main_;
    QString guideFile_;
    GuideGrid* grid_ = nullptr;
    QWidget* imgTop_ = nullptr;
    QStackedWidget* stack_ = nullptr;
    QLabel* lblNoGuide_ = nullptr;
    QPushButton* cmdNow_ = nullptr;
    QWidget* details_ = nullptr;
    QLabel* lblTitle_ = nullptr;
    QLabel* lblWhen_ = nullptr;
    QLabel* lblInfo_ = nullptr;
    QLabel* lblDescription_ = nullptr;
    QLabel* lblMessage_ = nullptr;
    QTimer* clock_ = nullptr;
    int checking_ = 0;
    int describing_ = 0;
    quint64 detailsAsked_ = 0; // the newest description asked for; older answers are dropped
    QThreadPool pool_;
    QPointer<RecordingScheduler> scheduler_;
};

} // namespace zentuvo
