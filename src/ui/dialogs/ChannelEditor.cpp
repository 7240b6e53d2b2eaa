#include "ui/dialogs/ChannelEditor.h"

#include "app/AppContext.h"
#include "app/DesktopLinks.h"
#include "app/PlayerOptions.h"
#include "app/StreamAddress.h"
#include "common/Messages.h"
#include "common/Shell.h"
#include "data/CatalogueLists.h"
#include "data/ChannelInfo.h"
#include "data/Database.h"
#include "data/MyListRepository.h"
#include "data/VbConvert.h"
#include "playback/Player.h"
#include "ui/MainWindowApi.h"
#include "ui/dialogs/DialogSupport.h"
#include "ui/widgets/PlayerStateText.h"
#include "ui/widgets/VideoView.h"

#include <QComboBox>
#include <QFutureWatcher>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>

namespace zentuvo {

namespace {

const QString kSubmitMail = QStringLiteral("SubmitMail");

QString errorText(const std::exception& e) {
    if (const auto* db = dynamic_cast<const DbError*>(&e))
        return db->description();
    if (const auto* conversion = dynamic_cast<const ConversionError*>(&e))
        return conversion->description();
    return QString::fromLocal8Bit(e.what());
}

} // namespace

QString channelSubmissionBody(const QString& name, const QString& streamUrl,
                              const QString& description) {
    QString body = QStringLiteral("ChannelName:") + name + u'\n' + QStringLiteral("StreamURL:") +
                   streamUrl + u'\n' + QStringLiteral("Description:") + description + u'\n';
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    body.replace(u'\r', u'\n');
    return body.replace(QStringLiteral("\n"), QStringLiteral("\n\n"));
}

ChannelEditor::ChannelEditor(AppContext& app, MainWindowApi& main,
                             std::unique_ptr<Player> testPlayer, qint32 myListNumber,
                             QWidget* parent)
    : QDialog(parent), app_(app), main_(main), player_(std::move(testPlayer)),
      myListNumber_(myListNumber) {
    setObjectName(QStringLiteral("frmChannelAdd"));
    setModal(true);
    buildLayout();
    closeOnEscape(this);
    initialize();
    statusTimer_ = new QTimer(this);
    statusTimer_->setObjectName(QStringLiteral("TimerStatus"));
    statusTimer_->setInterval(1000);
    connect(statusTimer_, &QTimer::timeout, this, &ChannelEditor::updateStatus);
    statusTimer_->start();
}

ChannelEditor::~ChannelEditor() {
    VLCPluginTest_->setPlayer(nullptr);
}

void ChannelEditor::initialize() {
    try {
        keepAboveFullVideo(this, main_);
        record_ = MyListRecord{};
        loadCountries();
        loadGroups();
        const qint32 id = myListNumber_;
        if (id != 0) {
            setWindowTitle(app_.translate(QStringLiteral("_frmChAdd_caption_Modify")));
            record_.channelID = id;
            record_.load(app_.data()); // a missing row leaves the fields empty
            showFormValues();
        } else {
            setWindowTitle(app_.translate(QStringLiteral("_frmChAdd_caption_New")));
            record_.channelID = 0;
            cboCountry_->setCurrentIndex(-1);
        }
        setCaptions();
    } catch (const std::exception& e) {
        app_.messages.critical(QStringLiteral("Error in Form_Load: ") + errorText(e));
    }
}

void ChannelEditor::setCaptions() {
    const auto set = [this](auto* widget, const char* key) {
        widget->setText(app_.translate(QString::fromLatin1(key)));
    };
    set(lblInfo_, "_frmChAdd_msgInfo");
    set(lblChannelName_, "_frmChAdd_lblChName");
    set(lblStreamURL_, "_frmChAdd_lblChStream");
    set(lblHomePage_, "_frmChAdd_lblHomePage");
    set(lblKbps_, "_frmChAdd_lblKbps");
    set(lblCountry_, "_frmChAdd_lblCountry");
    set(lblDescription_, "_frmChAdd_lblChDescription");
    set(lblGroup_, "_frmChAdd_lblGroup");
    set(lblUserAgent_, "_frmChAdd_lblUserAgent");
    set(lblReferrer_, "_frmChAdd_lblReferrer");
    set(cmdOK_, "_frmChAdd_cmdOK");
    set(cmdClose_, "_frmChAdd_cmdClose");
    set(cmdSubmit_, "_frmChAdd_cmdSubmit");
    lblStreamingInfo_->setText(previewStatusPrefix(app_));
    imgButtonTest_->setToolTip(app_.translate(QStringLiteral("_frmChAdd_imgButtonTest")));
    imgButtonStop_->setToolTip(app_.translate(QStringLiteral("_frmChAdd_imgButtonStop")));
    imgButtonVisitHomePage_->setToolTip(
        app_.translate(QStringLiteral("_frmChAdd_imgButtonVisitHomePage")));
}

void ChannelEditor::loadCountries() {
    try {
        cboCountry_->clear();
        readCountriesByName(app_.paths().catalogue, [this](int id, const QString& name) {
            cboCountry_->addItem(name, QVariant(qint32(id)));
        });
        cboCountry_->setCurrentIndex(-1);
    } catch (const std::exception& e) {
        app_.messages.critical(QStringLiteral("Error in LoadComboCountry: ") + errorText(e));
    }
}

void ChannelEditor::loadGroups() {
    // A list of a quarter of a million channels takes a while to look through: the groups
    // are read on a worker thread and join the selector when they arrive, keeping its text.
    struct Read {
        QStringList names;
        QString error;
    };
    auto* watcher = new QFutureWatcher<Read>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
        watcher->deleteLater();
        const Read read = watcher->result();
        if (!read.error.isEmpty()) {
            app_.messages.critical(QStringLiteral("Error in LoadComboGroup: ") + read.error);
            return;
        }
        const QString text = cboGroup_->currentText();
        cboGroup_->addItems(read.names);
        cboGroup_->setCurrentIndex(-1);
        cboGroup_->setCurrentText(text);
        emit groupsLoaded();
    });
    watcher->setFuture(QtConcurrent::run([file = app_.paths().myList] {
        Read read;
        try {
            read.names = readMyListGroups(file).names;
        } catch (const std::exception& e) {
            read.error = errorText(e);
        }
        return read;
    }));
}

void ChannelEditor::showFormValues() {
    const MyListRecord& r = record_;
    cboCountry_->setCurrentIndex(cboCountry_->findData(QVariant(r.countryID)));
    txtChannelName_->setText(r.name);
    txtStreamURL_->setText(r.streamUrl);
    txtHomePage_->setText(r.homePage);
    txtKbps_->setText(QString::number(r.kbps));
    txtDescription_->setPlainText(r.description);
    cboGroup_->setCurrentText(r.groupName);
    txtUserAgent_->setText(r.userAgent);
    txtReferrer_->setText(r.referrer);
}

bool ChannelEditor::validate() {
    try {
        MyListRecord& r = record_;
        if (txtChannelName_->text().trimmed().isEmpty()) {
            app_.messages.information(app_.translate(QStringLiteral("_frmChAdd_msgChooseName")));
            return false;
        }
        r.name = txtChannelName_->text();
        if (cboCountry_->currentIndex() < 0) {
            app_.messages.information(app_.translate(QStringLiteral("_frmChAdd_msgSelectCountry")));
            return false;
        }
        r.countryID = cboCountry_->currentData().toInt();
        r.homePage = txtHomePage_->text();
        r.kbps = roundToInt32(leadingNumber(txtKbps_->text()));
        if (txtStreamURL_->text().trimmed().isEmpty()) {
            app_.messages.information(app_.translate(QStringLiteral("_frmChAdd_msgInsertURL")));
            return false;
        }
        if (!isStreamAddress(txtStreamURL_->text())) {
            app_.messages.information(app_.translate(QStringLiteral("_frmChAdd_msgValidURL"))
                                          .arg(streamAddressSchemes()));
            return false;
        }
        r.streamUrl = txtStreamURL_->text();
        r.description = txtDescription_->toPlainText();
        // Blanks at either end would make a group of their own or a header no server expects.
        r.groupName = cboGroup_->currentText().trimmed();
        r.userAgent = txtUserAgent_->text().trimmed();
        r.referrer = txtReferrer_->text().trimmed();
        return true;
    } catch (const std::exception& e) {
        app_.messages.critical(QStringLiteral("Error in Validate: ") + errorText(e));
        return false;
    }
}

bool ChannelEditor::saveFormValues() {
    if (!validate())
        return false;
    MyListRecord& r = record_;
    if (myListNumber_ != 0)
        // A failed write has been reported; the editor stays open with the input.
        return r.update(app_.data());
    if (!r.save(app_.data()))
        return false;
    myListNumber_ = r.channelID;
    return true;
}

void ChannelEditor::onOkClicked() {
    if (!saveFormValues())
        return;
    main_.fillMyList();
    accept();
}

void ChannelEditor::onTestClicked() {
    try {
        const QString url = txtStreamURL_->text();
        if (url.isEmpty()) {
            app_.messages.information(app_.translate(QStringLiteral("_frmChAdd_msgTestURL")));
            return;
        }
        if (!player_)
            throw PlayerError("there is no test player");
        // Each test adds one more item to the playlist and plays it, with the typed headers
        // (the program's user agent without one) as playing the channel sends them.
        ChannelInfo headers;
        headers.userAgent = txtUserAgent_->text().trimmed();
        headers.referrer = txtReferrer_->text().trimmed();
        const int item = player_->playlistAdd(
            url, QStringLiteral(" "),
            playerHeaderOptions(app_.preferences().playerUserAgentOption(), headers));
        player_->playItem(item);
    } catch (const std::exception& e) {
        app_.messages.critical(QStringLiteral("Error in TestURL: ") + errorText(e));
    }
}

void ChannelEditor::onStopClicked() {
    try {
        if (player_)
            player_->stop();
    } catch (const std::exception&) {
        // stopping a player that never played
    }
}

void ChannelEditor::onVisitHomePageClicked() {
    const QString page = txtHomePage_->text();
    if (page.isEmpty()) {
        app_.messages.exclamation(app_.translate(QStringLiteral("_frmChAdd_msgHomePage")));
        return;
    }
    shellOpen(app_.desktop, QStringLiteral("Open"), page);
}

void ChannelEditor::onSubmitClicked() {
    // Without an address there is nothing to ask about: say so at once.
    if (app_.preferences().link(kSubmitMail).trimmed().isEmpty()) {
        openMailTo(app_, kSubmitMail);
        return;
    }
    if (!app_.messages.askYesNo(app_.translate(QStringLiteral("_frmChAdd_msgSubmitUs"))))
        return;
    openMailTo(app_, kSubmitMail, kSubmissionSubject,
               channelSubmissionBody(txtChannelName_->text(), txtStreamURL_->text(),
                                     txtDescription_->toPlainText()));
}

void ChannelEditor::updateStatus() {
    const QString prefix = previewStatusPrefix(app_);
    lblStreamingInfo_->setText(prefix);
    try {
        if (player_)
            lblStreamingInfo_->setText(prefix + playerStateText(app_, qint16(player_->state())));
    } catch (const std::exception&) {
        // the status line waits for the next tick
    }
}

void ChannelEditor::done(int result) {
    if (statusTimer_)
        statusTimer_->stop();
    QDialog::done(result);
}

bool ChannelEditor::eventFilter(QObject* watched, QEvent* event) {
    // The bit rate takes digits and Backspace only. Keys that type nothing (arrows, Delete,
    // Tab) pass; so does a paste through the field's own menu.
    if (watched == txtKbps_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab || text.isEmpty())
            return false;
        if (text == QStringLiteral("\b"))
            return false;
        const bool digits =
            std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
        return !digits;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace zentuvo
