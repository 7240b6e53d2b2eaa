#include "ui/record/ScheduleWindow.h"

#include "app/AppContext.h"
#include "app/RecordingScheduler.h"
#include "app/ScheduleSettings.h"
#include "common/Messages.h"
#include "data/ChannelInfo.h"
#include "ui/MainWindowApi.h"
#include "ui/dialogs/DialogSupport.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace zentuvo {

namespace {

const char* const kStateTerms[] = {"_frmSchedule_stateWaiting", "_frmSchedule_stateRecording",
                                   "_frmSchedule_stateDone", "_frmSchedule_stateFailed",
                                   "_frmSchedule_stateMissed"};

// As the start field shows it.
QString timeText(qint64 secs) {
    return QDateTime::fromSecsSinceEpoch(secs).toLocalTime().toString(
        QStringLiteral("yyyy-MM-dd HH:mm"));
}

QSpinBox* minutesBox(const char* name, int maximum, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(0, maximum);
    return box;
}

} // namespace

ScheduleWindow::ScheduleWindow(AppContext& app, MainWindowApi& main, RecordingScheduler& scheduler,
                               QWidget* parent)
    : QDialog(parent), app_(app), main_(main), scheduler_(scheduler) {
    setObjectName(QStringLiteral("frmSchedule"));
    setModal(false);
    setSizeGripEnabled(true);
    buildLayout();
    keepAboveFullVideo(this, main_);
    closeOnEscape(this);
    setCaptions();
    fillList();
    connect(&scheduler_, &RecordingScheduler::changed, this, &ScheduleWindow::fillList);
    resize(760, 520);
}

ScheduleWindow* ScheduleWindow::open(AppContext& app, MainWindowApi& main,
                                     RecordingScheduler& scheduler) {
    static QPointer<ScheduleWindow> window;
    return showModeless(
        window, [&] { return new ScheduleWindow(app, main, scheduler, main.mainWidget()); });
}

QString ScheduleWindow::term(const char* key) const {
    return app_.translate(QString::fromLatin1(key));
}

void ScheduleWindow::buildLayout() {
    lvwSchedule = new QTreeWidget(this);
    lvwSchedule->setObjectName(QStringLiteral("lvwSchedule"));
    lvwSchedule->setColumnCount(5);
    lvwSchedule->setRootIsDecorated(false);
    lvwSchedule->setUniformRowHeights(true);
    lvwSchedule->setAllColumnsShowFocus(true);
    lvwSchedule->header()->setStretchLastSection(true);
    fitColumns();

    fraAdd_ = new QGroupBox(this);
    fraAdd_->setObjectName(QStringLiteral("fraAdd"));
    cboChannel = new QComboBox(fraAdd_);
    cboChannel->setObjectName(QStringLiteral("cboChannel"));
    cboChannel->setMinimumContentsLength(24);
    dtpStart = new QDateTimeEdit(fraAdd_);
    dtpStart->setObjectName(QStringLiteral("dtpStart"));
    dtpStart->setCalendarPopup(true);
    dtpStart->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm"));
    // The next full quarter of an hour.
    const qint64 quarter = 15 * 60;
    dtpStart->setDateTime(QDateTime::fromSecsSinceEpoch(
        (QDateTime::currentSecsSinceEpoch() / quarter + 1) * quarter));
    spnMinutes = minutesBox("spnMinutes", 24 * 60, fraAdd_);
    spnMinutes->setMinimum(1);
    spnMinutes->setValue(60);
    txtTitle = new QLineEdit(fraAdd_);
    txtTitle->setObjectName(QStringLiteral("txtTitle"));
    cmdAdd = new QPushButton(fraAdd_);
    cmdAdd->setObjectName(QStringLiteral("cmdAdd"));
    cmdAdd->setAutoDefault(false);
    auto* addForm = new QFormLayout(fraAdd_);
    lblChannel_ = new QLabel(fraAdd_);
    lblStart_ = new QLabel(fraAdd_);
    lblMinutes_ = new QLabel(fraAdd_);
    lblTitle_ = new QLabel(fraAdd_);
    addForm->addRow(lblChannel_, cboChannel);
    addForm->addRow(lblStart_, dtpStart);
    addForm->addRow(lblMinutes_, spnMinutes);
    addForm->addRow(lblTitle_, txtTitle);
    addForm->addRow(nullptr, cmdAdd);

    fraMargins_ = new QGroupBox(this);
    fraMargins_->setObjectName(QStringLiteral("fraMargins"));
    spnMarginBefore = minutesBox("spnMarginBefore", kMaxScheduleMargin, fraMargins_);
    spnMarginAfter = minutesBox("spnMarginAfter", kMaxScheduleMargin, fraMargins_);
    spnMarginBefore->setValue(app_.preferences().scheduleMarginBefore());
    spnMarginAfter->setValue(app_.preferences().scheduleMarginAfter());
    lblMarginBefore_ = new QLabel(fraMargins_);
    lblMarginAfter_ = new QLabel(fraMargins_);
    auto* marginForm = new QFormLayout(fraMargins_);
    marginForm->addRow(lblMarginBefore_, spnMarginBefore);
    marginForm->addRow(lblMarginAfter_, spnMarginAfter);

    cmdRemove = new QPushButton(this);
    cmdRemove->setObjectName(QStringLiteral("cmdRemove"));
    cmdRemove->setAutoDefault(false);
    cmdClose = new QPushButton(this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setAutoDefault(false);

    auto* lower = new QHBoxLayout;
    lower->addWidget(fraAdd_, 3);
    lower->addWidget(fraMargins_, 2, Qt::AlignTop);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdRemove);
    buttons->addStretch(1);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lvwSchedule, 1);
    layout->addLayout(lower);
    layout->addLayout(buttons);

    connect(cmdAdd, &QPushButton::clicked, this, &ScheduleWindow::addFromFields);
    connect(cmdRemove, &QPushButton::clicked, this, &ScheduleWindow::removeSelected);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    const auto saveMargins = [this] {
        app_.preferences().setScheduleMarginBefore(spnMarginBefore->value());
        app_.preferences().setScheduleMarginAfter(spnMarginAfter->value());
        saveScheduleMargins(app_);
    };
    connect(spnMarginBefore, &QSpinBox::valueChanged, this, saveMargins);
    connect(spnMarginAfter, &QSpinBox::valueChanged, this, saveMargins);
}

void ScheduleWindow::setCaptions() {
    setWindowTitle(term("_frmSchedule_caption"));
    lvwSchedule->setHeaderLabels({term("_frmSchedule_colChannel"),
                                  term("_frmSchedule_colProgramme"), term("_frmSchedule_colStart"),
                                  term("_frmSchedule_colEnd"), term("_frmSchedule_colState")});
    fraAdd_->setTitle(term("_frmSchedule_fraAdd"));
    fraMargins_->setTitle(term("_frmSchedule_fraMargins"));
    lblChannel_->setText(term("_frmSchedule_lblChannel"));
    lblStart_->setText(term("_frmSchedule_lblStart"));
    lblMinutes_->setText(term("_frmSchedule_lblMinutes"));
    lblTitle_->setText(term("_frmSchedule_lblTitle"));
    lblMarginBefore_->setText(term("_frmSchedule_lblMarginBefore"));
    lblMarginAfter_->setText(term("_frmSchedule_lblMarginAfter"));
    cmdAdd->setText(term("_frmSchedule_cmdAdd"));
    cmdRemove->setText(term("_frmSchedule_cmdRemove"));
    cmdClose->setText(term("_frmSchedule_cmdClose"));
}

void ScheduleWindow::fillList() {
    const qint64 selected = lvwSchedule->currentItem()
                                ? lvwSchedule->currentItem()->data(0, Qt::UserRole).toLongLong()
                                : 0;
    lvwSchedule->clear();
    for (const ScheduledRecording& r : scheduler_.recordings()) {
        auto* row = new QTreeWidgetItem(lvwSchedule);
        row->setText(0, r.channelName);
        row->setText(1, r.title);
        row->setText(2, timeText(r.start));
        row->setText(3, timeText(r.stop));
        row->setText(4, term(kStateTerms[int(r.state)]));
        row->setData(0, Qt::UserRole, r.id);
        const QString detail = r.reason.isEmpty() ? r.file : r.reason;
        for (int c = 0; c < 5; ++c)
            row->setToolTip(c, detail);
        if (r.id == selected)
            lvwSchedule->setCurrentItem(row);
    }
    fitColumns();
}

// Each column as wide as its texts, but never narrower than a channel, a title and two times
// need: the headers stay readable while the list is empty.
void ScheduleWindow::fitColumns() {
    constexpr int kLeast[] = {170, 200, 125, 125};
    for (int c = 0; c < 4; ++c) {
        lvwSchedule->resizeColumnToContents(c);
        lvwSchedule->setColumnWidth(c, std::max(kLeast[c], lvwSchedule->columnWidth(c)));
    }
}

void ScheduleWindow::setChannels(ChannelRef playing, const QList<GuideChannel>& shown) {
    cboChannel->clear();
    if (playing.isChannel())
        if (const auto info = lookupChannel(app_.data(), playing); info && !info->name.isEmpty())
            cboChannel->addItem(info->name, QVariant::fromValue(playing));
    for (const GuideChannel& c : shown)
        if (c.channel.isChannel() && c.channel != playing)
            cboChannel->addItem(c.name, QVariant::fromValue(c.channel));
    cboChannel->setCurrentIndex(cboChannel->count() > 0 ? 0 : -1);
}

bool ScheduleWindow::addFromFields() {
    const ChannelRef channel = cboChannel->currentData().value<ChannelRef>();
    if (!channel.isChannel()) {
        app_.messages.exclamation(term("_frmSchedule_msgNoChannel"));
        return false;
    }
    const qint64 start = dtpStart->dateTime().toSecsSinceEpoch();
    const qint64 stop = start + qint64(spnMinutes->value()) * 60;
    if (stop <= QDateTime::currentSecsSinceEpoch()) {
        app_.messages.exclamation(term("_frmSchedule_msgInPast"));
        return false;
    }
    return scheduler_.schedule(channel, cboChannel->currentText(), txtTitle->text().trimmed(),
                               start, stop) != 0;
}

bool ScheduleWindow::removeSelected() {
    const QTreeWidgetItem* row = lvwSchedule->currentItem();
    if (!row)
        return false;
    const qint64 id = row->data(0, Qt::UserRole).toLongLong();
    for (const ScheduledRecording& r : scheduler_.recordings())
        if (r.id == id && r.state == ScheduleState::Recording &&
            !app_.messages.askYesNo(term("_frmSchedule_msgRemoveRunning"),
                                    term("_frmRecord_msgStopTitle")))
            return false;
    return scheduler_.remove(id);
}

} // namespace zentuvo
