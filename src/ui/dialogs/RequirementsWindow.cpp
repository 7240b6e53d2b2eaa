#include "ui/dialogs/RequirementsWindow.h"

#include "app/AppContext.h"
#include "ui/MainWindowApi.h"
#include "ui/dialogs/DialogSupport.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace zentuvo {

RequirementsWindow::RequirementsWindow(AppContext& app, MainWindowApi& main, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmRequirements"));
    setModal(false);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    const QString caption = app.translate(QStringLiteral("_frmRequire_caption"));
    outer->addWidget(makeBanner(caption, this, 48));

    auto* body = new QVBoxLayout;
    body->setContentsMargins(20, 16, 20, 16);
    body->setSpacing(14);
    lblRequirements_ = new QLabel(QStringLiteral("In order to see all channels... "), this);
    lblRequirements_->setObjectName(QStringLiteral("lblRequirements"));
    lblRequirements_->setWordWrap(true);
    lblRequirements_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblRequirements_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    body->addWidget(lblRequirements_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cmdClose_ = new QPushButton(QStringLiteral("Exit"), this);
    cmdClose_->setObjectName(QStringLiteral("cmdClose"));
    cmdClose_->setMinimumWidth(96);
    cmdClose_->setAutoDefault(false);
    buttons->addWidget(cmdClose_);
    body->addLayout(buttons);
    outer->addLayout(body, 1);
    connect(cmdClose_, &QPushButton::clicked, this, &QDialog::close);
    closeOnEscape(this);

    keepAboveFullVideo(this, main);
    setWindowTitle(caption);
    lblRequirements_->setText(app.translate(QStringLiteral("_frmRequire_msg_1")));
    cmdClose_->setText(app.translate(QStringLiteral("_frmRequire_cmdClose")));
    setFixedWidth(480);
    setFixedHeight(heightForWidth(480) > 0 ? heightForWidth(480) : sizeHint().height());
}

RequirementsWindow* RequirementsWindow::open(AppContext& app, MainWindowApi& main) {
    static QPointer<RequirementsWindow> window;
    return showModeless(window,
                        [&] { return new RequirementsWindow(app, main, main.mainWidget()); });
}

} // namespace zentuvo
