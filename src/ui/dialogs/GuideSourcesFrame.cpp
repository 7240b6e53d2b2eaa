#include "ui/dialogs/GuideSourcesFrame.h"

#include "app/AppContext.h"
#include "data/Database.h"
#include "data/GuideSources.h"
#include "ui/dialogs/DialogSupport.h"

#include <QDateTime>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

namespace zentuvo {

namespace {

const QColor kErrorColour(0xb0, 0x30, 0x00);

struct Outcome {
    std::vector<GuideSource> sources;
    QString error;
};

QPushButton* button(const char* name, QWidget* parent) {
    auto* b = new QPushButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

// frmGuideSource: an address, or a file picked with File....
QString askForSource(AppContext& app, QWidget* parent) {
    const auto term = [&app](const char* key) { return app.translate(QString::fromLatin1(key)); };
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("frmGuideSource"));
    dialog.setWindowTitle(term("_frmGuideSource_caption"));
    auto* outer = new QVBoxLayout(&dialog);
    auto* label = new QLabel(term("_frmGuideSource_lblAddress"), &dialog);
    label->setWordWrap(true);
    auto* address = new QLineEdit(&dialog);
    address->setObjectName(QStringLiteral("txtAddress"));
    address->setMinimumWidth(380);
    label->setBuddy(address);
    auto* row = new QHBoxLayout;
    row->addWidget(address, 1);
    QPushButton* file = button("cmdFile", &dialog);
    file->setText(term("_frmGuideSource_cmdFile"));
    row->addWidget(file);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    QPushButton* ok = button("cmdOK", &dialog);
    ok->setText(term("_frmOptions_cmdOK"));
    ok->setDefault(true);
    QPushButton* cancel = button("cmdCancel", &dialog);
    cancel->setText(term("_frmImport_cmdCancel"));
    for (QPushButton* b : {ok, cancel}) {
        b->setMinimumWidth(96);
        buttons->addWidget(b);
    }
    outer->addWidget(label);
    outer->addLayout(row);
    outer->addLayout(buttons);
    QObject::connect(file, &QPushButton::clicked, &dialog, [&] {
        const QString picked =
            QFileDialog::getOpenFileName(&dialog, term("_frmGuideSource_caption"), QString(),
                                         QStringLiteral("XMLTV (*.xml *.xml.gz *.gz);;* (*)"));
        if (!picked.isEmpty())
            address->setText(picked);
    });
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    return dialog.exec() == QDialog::Accepted ? address->text().trimmed() : QString();
}

} // namespace

GuideSourcesFrame::GuideSourcesFrame(AppContext& app, QWidget* parent)
    : QGroupBox(parent), app_(app), guideDb_(app.paths().guideFile()) {
    setObjectName(QStringLiteral("Frame5"));
    asker_ = [this](QWidget* parent) { return askForSource(app_, parent); };
    buildLayout();
    applyLanguage();
    reload();
}

// A read or write under way ends on its own; its answer goes nowhere.
GuideSourcesFrame::~GuideSourcesFrame() = default;

QString GuideSourcesFrame::term(const char* key) const {
    return app_.translate(QString::fromLatin1(key));
}

void GuideSourcesFrame::buildLayout() {
    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(10);
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image5"));
    picture->setPixmap(dialogPicture(QStringLiteral("search"), QSize(28, 28)));
    picture->setFixedSize(32, 32);
    picture->setAlignment(Qt::AlignCenter);
    lblGuideSources_ = new QLabel(this);
    lblGuideSources_->setObjectName(QStringLiteral("lblGuideSources"));
    QFont bold = lblGuideSources_->font();
    bold.setBold(true);
    lblGuideSources_->setFont(bold);

    lvwGuideSources_ = new QTreeWidget(this);
    lvwGuideSources_->setObjectName(QStringLiteral("lvwGuideSources"));
    lvwGuideSources_->setColumnCount(4);
    lvwGuideSources_->setRootIsDecorated(false);
    lvwGuideSources_->setAlternatingRowColors(true);
    lvwGuideSources_->setUniformRowHeights(true);
    lvwGuideSources_->setMinimumHeight(110);
    lvwGuideSources_->header()->setStretchLastSection(true);
    lvwGuideSources_->setColumnWidth(0, 220);
    for (int c : {1, 2})
        lvwGuideSources_->header()->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    lblGuideError_ = new QLabel(this);
    lblGuideError_->setObjectName(QStringLiteral("lblGuideError"));
    lblGuideError_->setWordWrap(true);
    lblGuideError_->setStyleSheet(QStringLiteral("color: #b03000;"));
    lblGuideError_->hide();

    auto* buttons = new QHBoxLayout;
    cmdGuideAdd_ = button("cmdGuideAdd", this);
    cmdGuideRemove_ = button("cmdGuideRemove", this);
    cmdGuideRefresh_ = button("cmdGuideRefresh", this);
    for (QPushButton* b : {cmdGuideAdd_, cmdGuideRemove_, cmdGuideRefresh_})
        buttons->addWidget(b);
    buttons->addStretch(1);
    lblGuideHours_ = new QLabel(this);
    lblGuideHours_->setObjectName(QStringLiteral("lblGuideHours"));
    spnGuideHours_ = new QSpinBox(this);
    spnGuideHours_->setObjectName(QStringLiteral("spnGuideHours"));
    spnGuideHours_->setRange(1, 720);
    spnGuideHours_->setValue(12);
    lblGuideHours_->setBuddy(spnGuideHours_);
    buttons->addWidget(lblGuideHours_);
    buttons->addWidget(spnGuideHours_);

    grid->addWidget(picture, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(lblGuideSources_, 0, 1);
    grid->addWidget(lvwGuideSources_, 1, 1);
    grid->addWidget(lblGuideError_, 2, 1);
    grid->addLayout(buttons, 3, 1);
    grid->setColumnStretch(1, 1);

    connect(cmdGuideAdd_, &QPushButton::clicked, this, [this] {
        const QString text = asker_(window());
        if (!text.isEmpty())
            addSource(text);
    });
    connect(cmdGuideRemove_, &QPushButton::clicked, this, &GuideSourcesFrame::removeSelected);
    connect(cmdGuideRefresh_, &QPushButton::clicked, this, &GuideSourcesFrame::refreshRequested);
    connect(lvwGuideSources_, &QTreeWidget::itemSelectionChanged, this,
            [this] { cmdGuideRemove_->setEnabled(!lvwGuideSources_->selectedItems().isEmpty()); });
    cmdGuideRemove_->setEnabled(false);
}

void GuideSourcesFrame::applyLanguage() {
    lblGuideSources_->setText(term("_frmOptions_lblGuideSources"));
    lvwGuideSources_->setHeaderLabels(
        {term("_frmOptions_colGuideAddress"), term("_frmOptions_colGuideRefreshed"),
         term("_frmOptions_colGuideCounts"), term("_frmOptions_colGuideError")});
    cmdGuideAdd_->setText(term("_frmOptions_cmdGuideAdd"));
    cmdGuideRemove_->setText(term("_frmOptions_cmdGuideRemove"));
    cmdGuideRefresh_->setText(term("_frmOptions_cmdGuideRefresh"));
    lblGuideHours_->setText(term("_frmOptions_lblGuideHours"));
    showSources(sources_, QString());
}

int GuideSourcesFrame::refreshHours() const {
    return spnGuideHours_->value();
}

void GuideSourcesFrame::setRefreshHours(int hours) {
    spnGuideHours_->setValue(hours);
}

void GuideSourcesFrame::reload() {
    run([](const QString&) {});
}

void GuideSourcesFrame::addSource(const QString& text) {
    run([text](const QString& guideDb) { addGuideSource(guideDb, text); });
}

void GuideSourcesFrame::removeSelected() {
    const QList<QTreeWidgetItem*> selected = lvwGuideSources_->selectedItems();
    if (selected.isEmpty())
        return;
    const QString address = selected.first()->data(0, Qt::UserRole).toString();
    run([address](const QString& guideDb) { removeGuideSource(guideDb, address); });
}

void GuideSourcesFrame::run(std::function<void(const QString& guideDb)> work) {
    ++busy_;
    auto* watcher = new QFutureWatcher<Outcome>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
        watcher->deleteLater();
        --busy_;
        const Outcome outcome = watcher->result();
        sources_ = outcome.sources;
        showSources(sources_, outcome.error);
    });
    watcher->setFuture(QtConcurrent::run([guideDb = guideDb_, work] {
        Outcome out;
        try {
            work(guideDb);
            if (QFileInfo::exists(guideDb))
                out.sources = guideSources(guideDb);
        } catch (const DbError& e) {
            out.error = e.description();
        }
        return out;
    }));
}

// One row a source: its address, its last refresh in local time, "channels / programmes",
// and the error of its last refresh when that failed.
void GuideSourcesFrame::showSources(const std::vector<GuideSource>& sources, const QString& error) {
    const QTreeWidgetItem* current = lvwGuideSources_->currentItem();
    const QString selected = current ? current->data(0, Qt::UserRole).toString() : QString();
    lvwGuideSources_->clear();
    for (const GuideSource& s : sources) {
        auto* item = new QTreeWidgetItem(lvwGuideSources_);
        item->setData(0, Qt::UserRole, s.address);
        item->setText(0, s.address);
        item->setToolTip(0, s.address);
        item->setText(1, s.lastRefresh ? QDateTime::fromSecsSinceEpoch(s.lastRefresh)
                                             .toString(QStringLiteral("yyyy-MM-dd HH:mm"))
                                       : term("_frmOptions_msgGuideNever"));
        item->setText(2, QStringLiteral("%1 / %2").arg(s.channelsMatched).arg(s.programmesKept));
        item->setText(3, s.lastError);
        item->setToolTip(3, s.lastError);
        item->setForeground(3, kErrorColour);
        if (s.address == selected)
            lvwGuideSources_->setCurrentItem(item);
    }
    lblGuideError_->setText(error);
    lblGuideError_->setVisible(!error.isEmpty());
}

} // namespace zentuvo
