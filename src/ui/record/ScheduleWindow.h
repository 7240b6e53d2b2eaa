#pragma once

#include "data/ChannelRef.h"
#include "ui/guide/GuideGrid.h"

#include <QDialog>
#include <QPointer>

class QComboBox;
class QDateTimeEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTreeWidget;

namespace zentuvo {

class AppContext;
class MainWindowApi;
class RecordingScheduler;

// frmSchedule: the scheduled recordings (channel, programme, start, end, state), a new one
// made by hand (a channel, its start and duration), removing one (a running one is ended
// first) and the margins before and after every recording. Modeless; open it with
// ScheduleWindow::open, which brings an open one forward.
class ScheduleWindow : public QDialog {
    Q_OBJECT
public:
    ScheduleWindow(AppContext& app, MainWindowApi& main, RecordingScheduler& scheduler,
                   QWidget* parent = nullptr);

    static ScheduleWindow* open(AppContext& app, MainWindowApi& main,
                                RecordingScheduler& scheduler);

    // The channels a new recording may be of: the one the main player plays (first and
    // chosen, when it is a channel) and those of the shown list.
    void setChannels(ChannelRef playing, const QList<GuideChannel>& shown);

    // Adds the recording the fields describe; false (after a message) when they do not
    // make one.
    bool addFromFields();
    // Removes the selected recording, asking first when it runs; false when nothing went.
    bool removeSelected();

    QTreeWidget* lvwSchedule = nullptr;
    QComboBox* cboChannel = nullptr;
    QDateTimeEdit* dtpStart = nullptr;
    QSpinBox* spnMinutes = nullptr;
    QLineEdit* txtTitle = nullptr;
    QSpinBox* spnMarginBefore = nullptr;
    QSpinBox* spnMarginAfter = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdRemove = nullptr;
    QPushButton* cmdClose = nullptr;

private:
    void buildLayout();
    void fitColumns();
    void setCaptions();
    void fillList();
    QString term(const char* key) const;

    AppContext& app_;
    MainWindowApi& main_;
    RecordingScheduler& scheduler_;
    QGroupBox* fraAdd_ = nullptr;
    QGroupBox* fraMargins_ = nullptr;
    QLabel* lblChannel_ = nullptr;
    QLabel* lblStart_ = nullptr;
    QLabel* lblMinutes_ = nullptr;
    QLabel* lblTitle_ = nullptr;
    QLabel* lblMarginBefore_ = nullptr;
    QLabel* lblMarginAfter_ = nullptr;
};

} // namespace zentuvo
