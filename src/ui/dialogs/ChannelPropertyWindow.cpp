#include "ui/dialogs/ChannelPropertyWindow.h"

#include "app/AppContext.h"
#include "common/Messages.h"
#include "common/Shell.h"
#include "data/ChannelProperties.h"
#include "data/Database.h"
#include "ui/MainWindowApi.h"
#include "ui/dialogs/DialogSupport.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace zentuvo {

ChannelPropertyWindow::ChannelPropertyWindow(AppContext& app, MainWindowApi& main,
                                             ChannelRef channel, QWidget* parent)
    : QDialog(parent), app_(app), main_(main), channel_(channel) {
    setObjectName(QStringLiteral("frmChannelProperty"));
    setModal(true);
    buildLayout();
    closeOnEscape(this);
    keepAboveFullVideo(this, main_);
    setCaptions();
    showProperty();
}

void ChannelPropertyWindow::buildLayout() {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(16, 14, 16, 14);
    outer->setSpacing(12);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(8);

    lblName_ = new QLabel(QStringLiteral("Channel:"), this);
    lblName_->setObjectName(QStringLiteral("lblName"));
    lblHomePage_ = new QLabel(QStringLiteral("Home page"), this);
    lblHomePage_->setObjectName(QStringLiteral("lblHomePage"));
    lblDescription_ = new QLabel(QStringLiteral("Description"), this);
    lblDescription_->setObjectName(QStringLiteral("lblDescription"));
    txtName_ = new QLineEdit(this);
    txtName_->setObjectName(QStringLiteral("txtName"));
    txtName_->setReadOnly(true); // the name is the catalogue's; nothing here stores it
    txtHomePage_ = new QLineEdit(this);
    txtHomePage_->setObjectName(QStringLiteral("txtHomePage"));
    txtDescription_ = new QPlainTextEdit(this);
    txtDescription_->setObjectName(QStringLiteral("txtDescription"));
    txtDescription_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtDescription_->setTabChangesFocus(true);
    txtDescription_->setMinimumHeight(110);
    imgButtonVisitHomePage_ = new QToolButton(this);
    imgButtonVisitHomePage_->setObjectName(QStringLiteral("imgButtonVisitHomePage"));
    imgButtonVisitHomePage_->setIcon(
        QIcon(dialogPicture(QStringLiteral("homepage"), QSize(48, 48))));
    imgButtonVisitHomePage_->setIconSize(QSize(22, 22));
    imgButtonVisitHomePage_->setAutoRaise(true);
    imgButtonVisitHomePage_->setCursor(Qt::PointingHandCursor);
    imgButtonVisitHomePage_->setToolTip(QStringLiteral("Visit Home page"));

    grid->addWidget(lblName_, 0, 0);
    grid->addWidget(txtName_, 0, 1, 1, 2);
    grid->addWidget(lblHomePage_, 1, 0);
    grid->addWidget(txtHomePage_, 1, 1);
    grid->addWidget(imgButtonVisitHomePage_, 1, 2);
    grid->addWidget(lblDescription_, 2, 0, Qt::AlignTop);
    grid->addWidget(txtDescription_, 2, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(2, 1);
    outer->addLayout(grid, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cmdOK_ = new QPushButton(QStringLiteral("OK"), this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setMinimumWidth(96);
    cmdOK_->setDefault(true);
    buttons->addWidget(cmdOK_);
    outer->addLayout(buttons);

    connect(imgButtonVisitHomePage_, &QToolButton::clicked, this,
            &ChannelPropertyWindow::onVisitHomePageClicked);
    connect(cmdOK_, &QPushButton::clicked, this, &QDialog::accept);
    setMinimumSize(460, 300);
    resize(560, 340);
}

void ChannelPropertyWindow::setCaptions() {
    setWindowTitle(app_.translate(QStringLiteral("_frmChProperty_caption")));
    lblName_->setText(app_.translate(QStringLiteral("_frmChProperty_lblName")));
    lblHomePage_->setText(app_.translate(QStringLiteral("_frmChProperty_lblHomePage")));
    lblDescription_->setText(app_.translate(QStringLiteral("_frmChProperty_lblDescription")));
    imgButtonVisitHomePage_->setToolTip(
        app_.translate(QStringLiteral("_frmChProperty_imgButtonVisitHomePage")));
}

void ChannelPropertyWindow::showProperty() {
    const ChannelRef channel = channel_;
    if (channel.isNull())
        return;
    try {
        const std::optional<ChannelProperties> p =
            readChannelProperties(app_.paths().catalogue, app_.cipher(), channel.number());
        if (!p)
            return;
        txtName_->setText(p->name);
        txtHomePage_->setText(p->homePage);
        txtDescription_->setPlainText(p->description);
    } catch (const DbError& e) {
        app_.messages.critical(QStringLiteral("Error in ShowProperty: ") + e.description());
    }
}

void ChannelPropertyWindow::onVisitHomePageClicked() {
    if (txtHomePage_->text().trimmed().isEmpty()) {
        app_.messages.information(
            app_.translate(QStringLiteral("_frmChProperty_msgNoHomePage")).arg(txtName_->text()));
        return;
    }
    shellOpen(app_.desktop, QStringLiteral("Open"), txtHomePage_->text());
}

} // namespace zentuvo
