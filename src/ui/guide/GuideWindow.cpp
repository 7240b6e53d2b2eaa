#include "ui/guide/GuideWindow.h"

#include "app/AppContext.h"
#include "app/RecordingScheduler.h"
#include "common/Messages.h"
#include "data/Database.h"
#include "data/GuideSources.h"
#include "ui/MainWindowApi.h"
#include "ui/dialogs/DialogSupport.h"

#include <QDateTime>
#include <QFileInfo>
#include <QFrame>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>

namespace zentuvo {

namespace {

// The program's language (1 English, 2 Italian, 3 German, 4 French, 5 Spanish) as a locale,
// for the names of days and months.
QLocale localeOf(int language) {
    static const QLocale::Language languages[] = {
        QLocale::English, QLocale::Italian, QLocale::German, QLocale::French, QLocale::Spanish};
    return QLocale(language >= 1 && language <= 5 ? languages[language - 1] : QLocale::English);
}

QLabel* detailLabel(const char* name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

GuideWindow::GuideWindow(AppContext& app, MainWindowApi& main, QWidget* parent)
    : QDialog(parent), app_(app), main_(main), guideFile_(app.paths().guideFile()) {
    setObjectName(QStringLiteral("frmGuide"));
    setModal(false);
    setSizeGripEnabled(true);
    pool_.setMaxThreadCount(1);
    buildLayout();
    keepAboveFullVideo(this, main_);
    setCaptions();
    closeOnEscape(this);
    resize(1000, 640);
    clock_ = new QTimer(this);
    clock_->setInterval(30'000);
    connect(clock_, &QTimer::timeout, this, [this] { setNow(QDateTime::currentSecsSinceEpoch()); });
    clock_->start();
    // An open window follows the language chosen in the options window.
    connect(&app_.preferences(), &Preferences::changed, this, [this] {
        grid_->setLocale(localeOf(app_.preferences().language()));
        setCaptions();
        grid_->viewport()->update();
    });
    checkGuide();
}

GuideWindow::~GuideWindow() {
    pool_.clear();
    pool_.waitForDone();
}

GuideWindow* GuideWindow::open(AppContext& app, MainWindowApi& main) {
    static QPointer<GuideWindow> window;
    return showModeless(window, [&] { return new GuideWindow(app, main, main.mainWidget()); });
}

QString GuideWindow::term(const char* key) const {
    return app_.translate(QString::fromLatin1(key));
}

void GuideWindow::buildLayout() {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    imgTop_ = makeBanner(term("_frmGuide_caption"), this, 48);
    imgTop_->setObjectName(QStringLiteral("imgTop"));
    outer->addWidget(imgTop_);

    auto* body = new QVBoxLayout;
    body->setContentsMargins(12, 10, 12, 12);
    body->setSpacing(8);
    auto* bar = new QHBoxLayout;
    cmdNow_ = new QPushButton(this);
    cmdNow_->setObjectName(QStringLiteral("cmdNow"));
    cmdNow_->setAutoDefault(false);
    cmdNow_->setMinimumWidth(96);
    bar->addWidget(cmdNow_);
    bar->addStretch(1);
    body->addLayout(bar);

    stack_ = new QStackedWidget(this);
    grid_ = new GuideGrid(this);
    grid_->setLocale(localeOf(app_.preferences().language()));
    grid_->setGuideFile(guideFile_);
    lblNoGuide_ = new QLabel(this);
    lblNoGuide_->setObjectName(QStringLiteral("lblNoGuide"));
    lblNoGuide_->setWordWrap(true);
    lblNoGuide_->setTextFormat(Qt::RichText);
    lblNoGuide_->setAlignment(Qt::AlignCenter);
    lblNoGuide_->setMargin(40);
    lblNoGuide_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    stack_->addWidget(grid_);
    stack_->addWidget(lblNoGuide_);
    body->addWidget(stack_, 1);

    auto* details = new QFrame(this);
    details_ = details;
    details->setObjectName(QStringLiteral("fraDetails"));
    details->setFrameShape(QFrame::StyledPanel);
    details->setMinimumHeight(130);
    auto* lines = new QVBoxLayout(details);
    lines->setContentsMargins(10, 8, 10, 8);
    lines->setSpacing(4);
    lblTitle_ = detailLabel("lblTitle", details);
    QFont bold = lblTitle_->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.15);
    lblTitle_->setFont(bold);
    lblWhen_ = detailLabel("lblWhen", details);
    lblInfo_ = detailLabel("lblInfo", details);
    lblDescription_ = detailLabel("lblDescription", details);
    lblDescription_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    lblMessage_ = detailLabel("lblMessage", details);
    lblMessage_->setStyleSheet(QStringLiteral("color: #b03000;"));
    for (QLabel* l : {lblTitle_, lblWhen_, lblInfo_, lblDescription_, lblMessage_})
        lines->addWidget(l);
    lines->addStretch(1);
    body->addWidget(details);
    outer->addLayout(body, 1);

    connect(cmdNow_, &QPushButton::clicked, this, [this] {
        grid_->goToNow();
        grid_->setFocus();
    });
    connect(grid_, &GuideGrid::selectionChanged, this, &GuideWindow::showSelected);
    connect(grid_, &GuideGrid::activated, this, &GuideWindow::onActivated);
    // The first show lands on now.
    QTimer::singleShot(0, grid_, [this] {
        grid_->goToNow();
        grid_->setFocus();
    });
}

void GuideWindow::setCaptions() {
    setWindowTitle(term("_frmGuide_caption"));
    for (QLabel* l : imgTop_->findChildren<QLabel*>())
        if (l->pixmap().isNull())
            l->setText(term("_frmGuide_caption"));
    cmdNow_->setText(term("_frmGuide_cmdNow"));
    lblNoGuide_->setText(
        QStringLiteral("<p>%1</p><p><code>zentuvo-catalogue guide-import --guide guide.dat "
                       "--catalogue ch.dat SOURCE</code></p>")
            .arg(term("_frmGuide_lblNoGuide").toHtmlEscaped()));
    showSelected();
}

void GuideWindow::setChannels(QList<GuideChannel> channels) {
    // Raised again over the same list: the view stays where it was.
    const QList<GuideChannel>& shown = grid_->channels();
    if (std::equal(shown.begin(), shown.end(), channels.begin(), channels.end(),
                   [](const GuideChannel& a, const GuideChannel& b) {
                       return a.channel == b.channel && a.name == b.name;
                   }))
        return;
    grid_->setChannels(std::move(channels));
    grid_->goToNow();
}

void GuideWindow::reload() {
    checkGuide();
    grid_->reload();
}

void GuideWindow::setScheduler(RecordingScheduler* scheduler) {
    scheduler_ = scheduler;
}

void GuideWindow::setNow(qint64 now) {
    grid_->setNow(now);
}

bool GuideWindow::showsNoGuide() const {
    return stack_->currentWidget() == lblNoGuide_;
}

QString GuideWindow::detailsText() const {
    QStringList out;
    for (const QLabel* l : {lblTitle_, lblWhen_, lblInfo_, lblDescription_, lblMessage_})
        if (!l->text().isEmpty())
            out << l->text();
    return out.join(u'\n');
}

// Without a guide the text about adding one takes the grid's place; the Now button and the
// details have nothing to show.
void GuideWindow::showGuide(bool shown) {
    stack_->setCurrentWidget(shown ? static_cast<QWidget*>(grid_) : lblNoGuide_);
    cmdNow_->setVisible(shown);
    details_->setVisible(shown);
}

// A guide is there when its file holds programmes of some source; the grid spans its days,
// from the start of the local day of its first programme.
void GuideWindow::checkGuide() {
    if (!QFileInfo::exists(guideFile_)) {
        showGuide(false);
        return;
    }
    struct Found {
        bool any = false;
        GuideSpan span;
    };
    ++checking_;
    auto* watcher = new QFutureWatcher<Found>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
        watcher->deleteLater();
        --checking_;
        const Found found = watcher->result();
        if (found.any)
            grid_->setSpan(GuideTimeline::localDayStart(found.span.from), found.span.to);
        showGuide(found.any);
    });
    watcher->setFuture(QtConcurrent::run(&pool_, [file = guideFile_] {
        Found found;
        try {
            for (const GuideSource& source : guideSources(file))
                found.any = found.any || source.programmesKept > 0;
            if (found.any)
                found.span = guideTimeSpan(file, QDateTime::currentSecsSinceEpoch());
        } catch (const DbError&) {
        }
        return found;
    }));
}

void GuideWindow::showSelected() {
    lblMessage_->clear();
    const GuideProgramme* p = grid_->selected();
    if (!p) {
        lblTitle_->setText(term("_frmGuide_msgSelect"));
        for (QLabel* l : {lblWhen_, lblInfo_, lblDescription_})
            l->clear();
        return;
    }
    lblTitle_->setText(p->subTitle.isEmpty() ? p->title
                                             : p->title + QStringLiteral(" – ") + p->subTitle);
    const QString channel = grid_->channels().value(grid_->selectedRow()).name;
    lblWhen_->setText(QStringLiteral("%1, %2–%3   %4")
                          .arg(GuideTimeline::dayCaption(p->start, grid_->locale()),
                               GuideTimeline::columnCaption(p->start),
                               GuideTimeline::columnCaption(p->stop), channel));
    QStringList info;
    if (!p->episode.isEmpty())
        info << term("_frmGuide_lblEpisode") + u' ' + p->episode;
    if (!p->category.isEmpty())
        info << term("_frmGuide_lblCategory") + u' ' + p->category;
    lblInfo_->setText(info.join(QStringLiteral("    ")));
    lblDescription_->setText(p->description);
    if (!p->description.isEmpty() || !QFileInfo::exists(guideFile_))
        return;
    // The description is read from the file, off the GUI thread.
    const quint64 asked = ++detailsAsked_;
    ++describing_;
    auto* watcher = new QFutureWatcher<QString>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, asked] {
        watcher->deleteLater();
        --describing_;
        if (asked == detailsAsked_)
            lblDescription_->setText(watcher->result());
    });
    watcher->setFuture(
        QtConcurrent::run(&pool_, [file = guideFile_, channel = p->channel, start = p->start] {
            try {
                const auto found = programmeAt(file, channel, start);
                return found && found->start == start ? found->description : QString();
            } catch (const DbError&) {
                return QString();
            }
        }));
}

void GuideWindow::onActivated(const GuideProgramme& programme) {
    if (programme.start <= grid_->now() && grid_->now() < programme.stop) {
        emit playRequested(programme.channel);
        return;
    }
    if (programme.start > grid_->now()) {
        const QString day = GuideTimeline::dayCaption(programme.start, grid_->locale());
        const QString time = GuideTimeline::columnCaption(programme.start);
        lblMessage_->setText(term("_frmGuide_msgStartsAt").arg(day, time));
        if (scheduler_ && scheduler_->isScheduled(programme.channel, programme.start)) {
            lblMessage_->setText(term("_frmGuide_msgScheduled"));
            return;
        }
        if (scheduler_ && app_.messages.askYesNo(
                              term("_frmGuide_msgRecordQuestion").arg(programme.title, day, time),
                              term("_frmGuide_caption"))) {
            QString channel;
            for (const GuideChannel& c : grid_->channels())
                if (c.channel == programme.channel)
                    channel = c.name;
            if (scheduler_->schedule(programme.channel, channel, programme.title, programme.start,
                                     programme.stop) != 0)
                lblMessage_->setText(term("_frmGuide_msgScheduled"));
        }
    } else
        lblMessage_->setText(term("_frmGuide_msgEnded"));
}

} // namespace zentuvo
