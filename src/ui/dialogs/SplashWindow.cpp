#include "ui/dialogs/SplashWindow.h"

#include "app/AppContext.h"
#include "common/Messages.h"
#include "ui/dialogs/DialogSupport.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace zentuvo {

SplashWindow::SplashWindow(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral(
        "#frmSplash { background: qlineargradient(x1:0, y1:0, x2:1, y2:1, stop:0 #1d5fb8, "
        "stop:1 #0f1a2b); border: 1px solid #0b1320; } QLabel { color: white; }"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(40, 32, 40, 28);
    layout->setSpacing(6);
    picWelcome_ = new QLabel(this);
    picWelcome_->setObjectName(QStringLiteral("picWelcome"));
    picWelcome_->setPixmap(dialogPicture(QStringLiteral("logo"), QSize(128, 112)));
    picWelcome_->setAlignment(Qt::AlignCenter);
    auto* product = new QLabel(kAppTitle, this);
    QFont big = product->font();
    big.setPointSizeF(big.pointSizeF() * 2.2);
    big.setBold(true);
    product->setFont(big);
    product->setAlignment(Qt::AlignCenter);
    lblVersion_ = new QLabel(QStringLiteral("Version ") + kVersion, this);
    lblVersion_->setObjectName(QStringLiteral("lblVersion"));
    lblBuild_ = new QLabel(QStringLiteral("Build ") + kBuild, this);
    lblBuild_->setObjectName(QStringLiteral("lblBuild"));
    for (QLabel* l : {lblVersion_, lblBuild_})
        l->setAlignment(Qt::AlignCenter);
    layout->addWidget(picWelcome_);
    layout->addWidget(product);
    layout->addSpacing(8);
    layout->addWidget(lblVersion_);
    layout->addWidget(lblBuild_);
    setFixedSize(sizeHint().expandedTo(QSize(360, 0)));
}

void SplashWindow::setCaptions(AppContext& app) {
    lblVersion_->setText(app.translate(QStringLiteral("_frmAbout_lblVersion")).arg(kVersion));
    lblBuild_->setText(app.translate(QStringLiteral("_frmAbout_lblBuild")).arg(kBuild));
}

void SplashWindow::showCentred() {
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    show();
    raise();
    repaint();
    // Let the window system map and draw it before the main window's load holds the thread.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace zentuvo
