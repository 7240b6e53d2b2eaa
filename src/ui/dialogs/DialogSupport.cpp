#include "ui/dialogs/DialogSupport.h"

#include "ui/MainWindowApi.h"
#include "ui/widgets/TopMost.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QShortcut>
#include <QSvgRenderer>

static void initDialogResources() {
    Q_INIT_RESOURCE(zentuvo_ui);
}

namespace zentuvo {

namespace {

const QByteArray kLightStroke = QByteArrayLiteral("#e8eaed");

} // namespace

void keepAboveFullVideo(QWidget* dialog, const MainWindowApi& main) {
    if (main.isFullVideo())
        setTopMost(dialog, true);
}

void closeOnEscape(QWidget* window) {
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    escape->setContext(Qt::WindowShortcut);
    QObject::connect(escape, &QShortcut::activated, window, [window] {
        if (auto* dialog = qobject_cast<QDialog*>(window))
            dialog->reject();
        else
            window->close();
    });
}

QPixmap dialogPicture(const QString& name, QSize size) {
    initDialogResources();
    QFile file(QStringLiteral(":/icons/%1.svg").arg(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // The pictures are drawn light for the main window's dark panels: on a dialog their
    // light strokes take the colour of its text.
    QByteArray svg = file.readAll();
    svg.replace(kLightStroke,
                QApplication::palette().color(QPalette::WindowText).name().toLatin1());
    QSvgRenderer renderer(svg);
    renderer.setAspectRatioMode(Qt::KeepAspectRatio);
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    QPixmap pixmap(size * ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

QWidget* makeBanner(const QString& title, QWidget* parent, int height) {
    auto* banner = new QFrame(parent);
    banner->setObjectName(QStringLiteral("dialogBanner"));
    banner->setFixedHeight(height);
    banner->setStyleSheet(
        QStringLiteral("#dialogBanner { background: qlineargradient(x1:0, y1:0, x2:1, y2:0, "
                       "stop:0 #1d5fb8, stop:1 #0f1a2b); }"
                       "#dialogBanner QLabel { color: white; background: transparent; }"));
    auto* row = new QHBoxLayout(banner);
    row->setContentsMargins(14, 6, 14, 6);
    row->setSpacing(10);
    auto* picture = new QLabel(banner);
    const int side = height - 16;
    picture->setPixmap(dialogPicture(QStringLiteral("logo"), QSize(side, side)));
    auto* caption = new QLabel(title, banner);
    QFont font = caption->font();
    font.setPointSizeF(font.pointSizeF() * 1.35);
    font.setBold(true);
    caption->setFont(font);
    row->addWidget(picture);
    row->addWidget(caption);
    row->addStretch(1);
    return banner;
}

} // namespace zentuvo
