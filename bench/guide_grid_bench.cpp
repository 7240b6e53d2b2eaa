// The programme guide's grid with 10,000 channels, each with half-hour to two-hour
// programmes over two days (loaded, as after the reads): the time to paint one frame of the
// grid (1,000 x 560) into an image, while the view steps down the rows and along the hours.
// Runs offscreen.
#include "ui/guide/GuideGrid.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QScrollBar>
#include <algorithm>
#include <cstdio>

using namespace zentuvo;

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int channels = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int frames = argc > 2 ? std::atoi(argv[2]) : 300;

    GuideGrid grid;
    grid.resize(1000, 560);
    const qint64 from = GuideTimeline::localDayStart(QDateTime::currentSecsSinceEpoch());
    grid.setSpan(from, from + 2 * 86400);
    grid.setNow(from + 20 * 3600);
    QList<GuideChannel> rows;
    for (int i = 0; i < channels; ++i)
        rows.append({ChannelRef::catalogue(i + 1), QStringLiteral("Channel number %1").arg(i + 1)});
    grid.setChannels(rows);
    QRandomGenerator random(7);
    std::vector<GuideProgramme> programmes;
    for (int i = 0; i < channels; ++i) {
        for (qint64 t = from; t < from + 2 * 86400;) {
            GuideProgramme p;
            p.channel = rows[i].channel;
            p.start = t;
            p.stop = t += 1800 * (1 + random.bounded(4));
            p.title = QStringLiteral("Programme %1 of the evening, part %2").arg(i).arg(t % 97);
            programmes.push_back(std::move(p));
        }
    }
    grid.addProgrammes(programmes);
    grid.show();

    QImage image(grid.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    std::vector<double> ms;
    QElapsedTimer timer;
    for (int f = 0; f < frames; ++f) {
        grid.verticalScrollBar()->setValue(f * grid.verticalScrollBar()->maximum() / frames);
        grid.scrollToTime(from + (f % 60) * 1200);
        QPainter painter(&image);
        timer.start();
        grid.viewport()->render(&painter);
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    if (argc > 3) // the last frame, to look at
        image.save(QString::fromLocal8Bit(argv[3]));
    std::sort(ms.begin(), ms.end());
    std::printf("guide_grid_frame_ms_10000 %.2f ms\n", ms[ms.size() / 2]);
    std::printf("guide_grid_frame_ms_10000_p95 %.2f ms\n", ms[ms.size() * 95 / 100]);
    return 0;
}
