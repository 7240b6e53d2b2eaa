#include "ui/dialogs/AboutWindow.h"

#include "app/AppContext.h"
#include "app/DesktopLinks.h"
#include "common/ErrorReport.h"
#include "common/Messages.h"
#include "common/Shell.h"
#include "ui/MainWindowApi.h"
#include "ui/dialogs/DialogSupport.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace zentuvo {

namespace {

const QString kSupportMail = QStringLiteral("SupportMail");
const QString kHomePage = QStringLiteral("HomePage");

// A label that looks and acts like a link; its activation is handled by the window.
QLabel* linkLabel(const char* name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::RichText);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    label->setOpenExternalLinks(false);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QString linkText(const QString& text) {
    return QStringLiteral("<a href=\"#\">%1</a>").arg(text.toHtmlEscaped());
}

} // namespace

AboutWindow::AboutWindow(AppContext& app, MainWindowApi& main, QString playerVersion,
                         QWidget* parent)
    : QDialog(parent), app_(app), main_(main), playerVersion_(std::move(playerVersion)) {
    setObjectName(QStringLiteral("frmAbout"));
    setModal(true);
    buildLayout();
    closeOnEscape(this);
    initialize();
    setFixedSize(sizeHint().expandedTo(QSize(380, 0)));
}

void AboutWindow::buildLayout() {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    // The picture area: the product picture on its strip of colour; a click closes.
    auto* pic = new QFrame(this);
    pic_ = pic;
    pic->setObjectName(QStringLiteral("pic"));
    pic->setStyleSheet(QStringLiteral(
        "#pic { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #1d5fb8, "
        "stop:1 #0f1a2b); } #pic QLabel { color: white; background: transparent; }"));
    pic->setCursor(Qt::PointingHandCursor);
    pic->installEventFilter(this);
    auto* picLayout = new QVBoxLayout(pic);
    picLayout->setContentsMargins(24, 20, 24, 16);
    picLayout->setSpacing(6);
    picWelcome_ = new QLabel(pic);
    picWelcome_->setObjectName(QStringLiteral("picWelcome"));
    picWelcome_->setPixmap(dialogPicture(QStringLiteral("logo"), QSize(96, 84)));
    picWelcome_->setAlignment(Qt::AlignCenter);
    picWelcome_->installEventFilter(this);
    auto* product = new QLabel(kAppTitle, pic);
    QFont big = product->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setBold(true);
    product->setFont(big);
    product->setAlignment(Qt::AlignCenter);
    product->installEventFilter(this);
    picLayout->addWidget(picWelcome_);
    picLayout->addWidget(product);
    outer->addWidget(pic);

    auto* info = new QVBoxLayout;
    info->setContentsMargins(24, 16, 24, 20);
    info->setSpacing(6);
    lblVersion_ = new QLabel(QStringLiteral("Version x.xx.xx"), this);
    lblVersion_->setObjectName(QStringLiteral("lblVersion"));
    lblBuild_ = new QLabel(QStringLiteral("Build: xx"), this);
    lblBuild_->setObjectName(QStringLiteral("lblBuild"));
    lblVLC_ = new QLabel(QStringLiteral("VLC: xx"), this);
    lblVLC_->setObjectName(QStringLiteral("lblVLC"));
    lblVLC_->setWordWrap(true);
    for (QLabel* l : {lblVersion_, lblBuild_, lblVLC_})
        l->setAlignment(Qt::AlignCenter);
    lblEmail_ = linkLabel("lblEmail", this);
    lblInternet_ = linkLabel("lblInternet", this);
    info->addWidget(lblVersion_);
    info->addWidget(lblBuild_);
    info->addWidget(lblVLC_);
    info->addSpacing(10);
    info->addWidget(lblEmail_);
    info->addWidget(lblInternet_);
    info->addSpacing(12);
    cmdClose_ = new QPushButton(this);
    cmdClose_->setObjectName(QStringLiteral("cmdClose"));
    cmdClose_->setDefault(true);
    info->addWidget(cmdClose_, 0, Qt::AlignHCenter);
    outer->addLayout(info);

    connect(lblEmail_, &QLabel::linkActivated, this, &AboutWindow::onEmailClicked);
    connect(lblInternet_, &QLabel::linkActivated, this, &AboutWindow::onInternetClicked);
    connect(cmdClose_, &QPushButton::clicked, this, &QDialog::reject);
}

void AboutWindow::initialize() {
    reportErrors(app_.messages, "Form_Load", [&] {
        keepAboveFullVideo(this, main_);
        setWindowTitle(app_.translate(QStringLiteral("_frmAbout_caption")));
        cmdClose_->setText(app_.translate(QStringLiteral("_frmChAdd_cmdClose")));
        lblVersion_->setText(app_.translate(QStringLiteral("_frmAbout_lblVersion")).arg(kVersion));
        lblBuild_->setText(app_.translate(QStringLiteral("_frmAbout_lblBuild")).arg(kBuild));
        lblVLC_->setText(app_.translate(QStringLiteral("_frmAbout_lblVLC")).arg(playerVersion_));
        // The configured addresses; a link that is not configured is not shown.
        const QString mail = app_.preferences().link(kSupportMail).trimmed();
        const QString web = app_.preferences().link(kHomePage).trimmed();
        lblEmail_->setText(linkText(mail));
        lblEmail_->setVisible(!mail.isEmpty());
        lblInternet_->setText(linkText(web));
        lblInternet_->setVisible(!web.isEmpty());
    });
}

void AboutWindow::onEmailClicked() {
    openMailTo(app_, kSupportMail);
}

void AboutWindow::onInternetClicked() {
    openHomePage(app_);
}

bool AboutWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease && watched->isWidgetType() &&
        (watched == pic_ || static_cast<QWidget*>(watched)->parentWidget() == pic_)) {
        reject();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace zentuvo
