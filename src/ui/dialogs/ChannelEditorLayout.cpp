// The layout of the My List editor: the form of the channel's fields, the test player and
// the buttons.
#include "ui/dialogs/ChannelEditor.h"

#include "ui/dialogs/DialogSupport.h"
#include "ui/widgets/VideoView.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace zentuvo {

namespace {

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
    lblGroup_ = label("lblGroup", "Group");
    lblUserAgent_ = label("lblUserAgent", "User agent");
    lblReferrer_ = label("lblReferrer", "Referrer");
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
    // The group: one of those in use, or a new one typed in.
    cboGroup_ = new QComboBox(this);
    cboGroup_->setObjectName(QStringLiteral("cboGroup"));
    cboGroup_->setEditable(true);
    cboGroup_->setInsertPolicy(QComboBox::NoInsert);
    cboGroup_->setMaxVisibleItems(20);
    cboGroup_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cboGroup_->setMinimumContentsLength(16);
    txtUserAgent_ = field("txtUserAgent");
    txtReferrer_ = field("txtReferrer");
    txtReferrer_->setPlaceholderText(QStringLiteral("http://…"));
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
    form->addWidget(lblGroup_, 4, 0);
    form->addWidget(cboGroup_, 4, 1, 1, 4);
    form->addWidget(lblUserAgent_, 5, 0);
    form->addWidget(txtUserAgent_, 5, 1, 1, 4);
    form->addWidget(lblReferrer_, 6, 0);
    form->addWidget(txtReferrer_, 6, 1, 1, 4);
    form->addWidget(lblDescription_, 7, 0, Qt::AlignTop);
    form->addWidget(txtDescription_, 7, 1, 1, 4);
    form->setColumnStretch(1, 1);
    form->setRowStretch(7, 1);
    for (QLabel* l : {lblChannelName_, lblStreamURL_, lblHomePage_, lblCountry_, lblGroup_,
                      lblUserAgent_, lblReferrer_, lblDescription_})
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lblChannelName_->setBuddy(txtChannelName_);
    lblStreamURL_->setBuddy(txtStreamURL_);
    lblHomePage_->setBuddy(txtHomePage_);
    lblKbps_->setBuddy(txtKbps_);
    lblCountry_->setBuddy(cboCountry_);
    lblGroup_->setBuddy(cboGroup_);
    lblUserAgent_->setBuddy(txtUserAgent_);
    lblReferrer_->setBuddy(txtReferrer_);
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
    lblStreamingInfo_ = new QLabel(testBox);
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
    setMinimumSize(820, 520);
    resize(920, 560);
}

} // namespace zentuvo
