// The playing channel's logo in the information line.
#include "ui/MainController.h"
#include "ui/main/MainWindow.h"
#include "ui/widgets/LogoPictures.h"

#include <QAction>
#include <QLineEdit>

namespace zentuvo {

void MainController::connectInfoLogo() {
    QLineEdit* line = window_.ui().txtMessages;
    infoLogo_ = new QAction(line);
    infoLogo_->setObjectName(QStringLiteral("actInfoLogo"));
    infoLogo_->setVisible(false);
    line->addAction(infoLogo_, QLineEdit::LeadingPosition);
    connect(line, &QLineEdit::textChanged, this, &MainController::showInfoLogo);
    connect(&window_.logos(), &LogoPictures::changed, this, &MainController::showInfoLogo);
}

// Only a logo of the channel's own: the line has no room to spare for its initial.
void MainController::showInfoLogo() {
    const ChannelRef channel = control_->mainChannel();
    LogoPictures& logos = window_.logos();
    const bool shown = channel.isChannel() && !window_.ui().txtMessages->text().isEmpty() &&
                       logos.hasLogo(channel);
    if (shown) {
        const int side = std::max(12, window_.ui().txtMessages->height() - 8);
        infoLogo_->setIcon(QIcon(logos.picture(channel, QString(), side)));
    }
    infoLogo_->setVisible(shown);
}

} // namespace zentuvo
