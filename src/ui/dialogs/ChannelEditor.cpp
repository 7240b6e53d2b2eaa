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
#include "data/VbConvert.h"
#include "playback/Player.h"
#include "ui/MainWindowApi.h"
#include "ui/dialogs/DialogSupport.h"
#include "ui/widgets/PlayerStateText.h"
#include "ui/widgets/VideoView.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace zentuvo {

namespace {

const QString kPreviewPrefix = QStringLiteral("- Preview - ");
const QString kSubmitMail = QStringLiteral("SubmitMail");

QString errorText(const std::exception& e) {
    if (const auto* db = dynamic_cast<const DbError*>(&e))
        return db->description();
    if (const auto* conversion = dynamic_cast<const ConversionError*>(&e))
        return conversion->description();
    return QString::fromLocal8Bit(e.what());
}

QToolButton* pictureButton(const char* name, const char* picture, const char* tip,
                           QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(QIcon(dialogPicture(QString::fromLatin1(picture), QSize(48, 48))));
    button->setIconSize(QSize(22, 22));
    button->setToolTip(QString::fromLatin1(tip));
    button->setAutoRaise(true);
    button->setCursor(Qt::PointingHandCursor);
    return button;
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

void ChannelEditor::buildLayout() {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(16, 14, 16, 14);
    outer->setSpacing(12);

    lblInfo_ = new QLabel(this);
    lblInfo_->setObjectName(QStringLiteral("lblInfo"));
    lblInfo_->setWordWrap(true);
    lblInfo_->setStyleSheet(QStringLiteral(
        "#lblInfo { background: palette(alternate-base); border: 1px solid palette(mid); "
        "border-radius: 4px; padding: 8px; }"));
    outer->addWidget(lblInfo_);

    auto* columns = new QHBoxLayout;
    columns->setSpacing(16);
    auto* form = new QGridLayout;
    form->setHorizontalSpacing(10);
    form->setVerticalSpacing(8);
    auto label = [this](const char* name, const char* text) {
        auto* l = new QLabel(QString::fromLatin1(text), this);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    auto field = [this](const char* name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        return e;
    };
    lblChannelName_ = label("lblChannelName", "Channel name");
    lblStreamURL_ = label("lblStreamURL", "Stream URL");
    lblHomePage_ = label("lblHomePage", "Home page");
    lblKbps_ = label("lblKbps", "Kbps");
    lblCountry_ = label("lblCountry", "Country");
    lblDescription_ = label("lblDescription", "Description");
    txtChannelName_ = field("txtChannelName");
    txtStreamURL_ = field("txtStreamURL");
    txtStreamURL_->setPlaceholderText(QStringLiteral("http://…"));
    txtHomePage_ = field("txtHomePage");
    txtKbps_ = field("txtKbps");
    txtKbps_->setMaximumWidth(90);
    txtKbps_->installEventFilter(this);
    cboCountry_ = new QComboBox(this);
    cboCountry_->setObjectName(QStringLiteral("cboCountry"));
    cboCountry_->setMinimumContentsLength(16);
    cboCountry_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    txtDescription_ = new QPlainTextEdit(this);
    txtDescription_->setObjectName(QStringLiteral("txtDescription"));
    txtDescription_->setTabChangesFocus(true);
    txtDescription_->setMinimumHeight(90);
    imgButtonVisitHomePage_ =
        pictureButton("imgButtonVisitHomePage", "homepage", "Visit Home page", this);

    form->addWidget(lblChannelName_, 0, 0);
    form->addWidget(txtChannelName_, 0, 1, 1, 4);
    form->addWidget(lblStreamURL_, 1, 0);
    form->addWidget(txtStreamURL_, 1, 1, 1, 4);
    form->addWidget(lblHomePage_, 2, 0);
    form->addWidget(txtHomePage_, 2, 1, 1, 3);
    form->addWidget(imgButtonVisitHomePage_, 2, 4);
    form->addWidget(lblCountry_, 3, 0);
    form->addWidget(cboCountry_, 3, 1);
    form->addWidget(lblKbps_, 3, 2, Qt::AlignRight);
    form->addWidget(txtKbps_, 3, 3, 1, 2);
    form->addWidget(lblDescription_, 4, 0, Qt::AlignTop);
    form->addWidget(txtDescription_, 4, 1, 1, 4);
    form->setColumnStretch(1, 1);
    form->setRowStretch(4, 1);
    for (QLabel* l : {lblChannelName_, lblStreamURL_, lblHomePage_, lblCountry_, lblDescription_})
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lblChannelName_->setBuddy(txtChannelName_);
    lblStreamURL_->setBuddy(txtStreamURL_);
    lblHomePage_->setBuddy(txtHomePage_);
    lblKbps_->setBuddy(txtKbps_);
    lblCountry_->setBuddy(cboCountry_);
    lblDescription_->setBuddy(txtDescription_);
    columns->addLayout(form, 3);

    // The test player: its picture, its two buttons and its status line.
    auto* testBox = new QFrame(this);
    testBox->setObjectName(QStringLiteral("picTest"));
    testBox->setFrameShape(QFrame::StyledPanel);
    auto* test = new QVBoxLayout(testBox);
    test->setContentsMargins(8, 8, 8, 8);
    test->setSpacing(6);
    VLCPluginTest_ = new VideoView(testBox);
    VLCPluginTest_->setObjectName(QStringLiteral("VLCPluginTest"));
    VLCPluginTest_->setMinimumSize(320, 180);
    VLCPluginTest_->setPlayer(player_.get());
    test->addWidget(VLCPluginTest_, 1);
    auto* controls = new QHBoxLayout;
    controls->setSpacing(4);
    imgButtonTest_ = pictureButton("imgButtonTest", "play", "Test", testBox);
    imgButtonStop_ = pictureButton("imgButtonStop", "stop", "Stop", testBox);
    lblStreamingInfo_ = new QLabel(kPreviewPrefix, testBox);
    lblStreamingInfo_->setObjectName(QStringLiteral("lblStreamingInfo"));
    controls->addWidget(imgButtonTest_);
    controls->addWidget(imgButtonStop_);
    controls->addSpacing(6);
    controls->addWidget(lblStreamingInfo_, 1);
    test->addLayout(controls);
    columns->addWidget(testBox, 2);
    outer->addLayout(columns, 1);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    cmdSubmit_ = new QPushButton(QStringLiteral("Submit us..."), this);
    cmdSubmit_->setObjectName(QStringLiteral("cmdSubmit"));
    cmdOK_ = new QPushButton(QStringLiteral("Save"), this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdClose_ = new QPushButton(QStringLiteral("Close"), this);
    cmdClose_->setObjectName(QStringLiteral("cmdClose"));
    for (QPushButton* b : {cmdSubmit_, cmdOK_, cmdClose_}) {
        b->setAutoDefault(false);
        b->setMinimumWidth(96);
    }
    buttons->addWidget(cmdSubmit_);
    buttons->addStretch(1);
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdClose_);
    outer->addLayout(buttons);

    connect(imgButtonTest_, &QToolButton::clicked, this, &ChannelEditor::onTestClicked);
    connect(imgButtonStop_, &QToolButton::clicked, this, &ChannelEditor::onStopClicked);
    connect(imgButtonVisitHomePage_, &QToolButton::clicked, this,
            &ChannelEditor::onVisitHomePageClicked);
    connect(cmdOK_, &QPushButton::clicked, this, &ChannelEditor::onOkClicked);
    connect(cmdClose_, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdSubmit_, &QPushButton::clicked, this, &ChannelEditor::onSubmitClicked);
    setMinimumSize(760, 420);
    resize(860, 460);
}

void ChannelEditor::initialize() {
    try {
        keepAboveFullVideo(this, main_);
        record_ = MyListRecord{};
        loadCountries();
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
    set(cmdOK_, "_frmChAdd_cmdOK");
    set(cmdClose_, "_frmChAdd_cmdClose");
    set(cmdSubmit_, "_frmChAdd_cmdSubmit");
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

void ChannelEditor::showFormValues() {
    const MyListRecord& r = record_;
    cboCountry_->setCurrentIndex(cboCountry_->findData(QVariant(r.countryID)));
    txtChannelName_->setText(r.name);
    txtStreamURL_->setText(r.streamUrl);
    txtHomePage_->setText(r.homePage);
    txtKbps_->setText(QString::number(r.kbps));
    txtDescription_->setPlainText(r.description);
}

bool ChannelEditor::validate() {
    try {
        MyListRecord& r = record_;
        if (txtChannelName_->text().trimmed().isEmpty()) {
            app_.messages.information(QStringLiteral("Please choose a name!"));
            return false;
        }
        r.name = txtChannelName_->text();
        if (cboCountry_->currentIndex() < 0) {
            app_.messages.information(QStringLiteral("Please select country!"));
            return false;
        }
        r.countryID = cboCountry_->currentData().toInt();
        r.homePage = txtHomePage_->text();
        r.kbps = roundToInt32(leadingNumber(txtKbps_->text()));
        if (txtStreamURL_->text().trimmed().isEmpty()) {
            app_.messages.information(QStringLiteral("Please insert stream url!"));
            return false;
        }
        if (!isStreamAddress(txtStreamURL_->text())) {
            app_.messages.information(
                QStringLiteral("Please insert a valid stream url! (%1 or the full path of a file)")
                    .arg(streamAddressSchemes()));
            return false;
        }
        r.streamUrl = txtStreamURL_->text();
        r.description = txtDescription_->toPlainText();
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
            app_.messages.information(QStringLiteral("Insert stream URL to test"));
            return;
        }
        if (!player_)
            throw PlayerError("there is no test player");
        // Each test adds one more item to the playlist and plays it, with the program's
        // user agent in the form the player library accepts.
        const int item = player_->playlistAdd(
            url, QStringLiteral(" "),
            playerHeaderOptions(app_.preferences().playerUserAgentOption(), ChannelInfo{}));
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
        app_.messages.exclamation(QStringLiteral("Digit homepage!"));
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
    lblStreamingInfo_->setText(kPreviewPrefix);
    try {
        if (player_)
            lblStreamingInfo_->setText(kPreviewPrefix + playerStateText(qint16(player_->state())));
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
