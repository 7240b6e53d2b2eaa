// zentuvo-render-icon: run by the build to render the program's icon from its SVG into the
// PNG sizes of the hicolor icon theme, <out>/<N>x<N>/apps/<name>.png. The picture keeps its
// proportions and is centred on a transparent square. Needs no display: the offscreen
// platform is used unless another one is asked for.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

namespace {

// The square of side `side` that the picture of size `picture` fills, proportions kept.
QRectF fittedRect(QSizeF picture, int side) {
    const QSizeF scaled = picture.scaled(side, side, Qt::KeepAspectRatio);
    return QRectF(QPointF((side - scaled.width()) / 2, (side - scaled.height()) / 2), scaled);
}

bool renderSize(QSvgRenderer& renderer, int side, const QString& path) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    renderer.render(&painter, fittedRect(renderer.viewBoxF().size(), side));
    painter.end();
    return image.save(path, "PNG");
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 5) {
        std::fputs("usage: zentuvo-render-icon SVG OUTDIR NAME SIZE...\n", stderr);
        return 2;
    }
    QSvgRenderer renderer(args[1]);
    if (!renderer.isValid() || renderer.viewBoxF().isEmpty()) {
        std::fprintf(stderr, "zentuvo-render-icon: cannot read %s\n", qPrintable(args[1]));
        return 1;
    }
    const QDir out(args[2]);
    for (qsizetype i = 4; i < args.size(); ++i) {
        bool ok = false;
        const int side = args[i].toInt(&ok);
        if (!ok || side <= 0) {
            std::fprintf(stderr, "zentuvo-render-icon: bad size %s\n", qPrintable(args[i]));
            return 2;
        }
        const QString dir = QStringLiteral("%1x%1/apps").arg(side);
        const QString path =
            out.filePath(dir + QLatin1Char('/') + args[3] + QStringLiteral(".png"));
        if (!out.mkpath(dir) || !renderSize(renderer, side, path)) {
            std::fprintf(stderr, "zentuvo-render-icon: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
