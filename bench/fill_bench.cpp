// fill_bench: how long the main window takes to fill its catalogue list.
//   fill_bench FOLDER [RUNS]
// FOLDER holds ch.dat, mylist.dat and Zentuvo.ini (a build folder, or one made with
// "zentuvo-catalogue build --replicate N"). Prints one line per figure, "name value unit":
//   rows N rows                   (rows under ALL)
//   window_load_ms MS ms          (the whole window, from construction to shown)
//   fill_all_ms MEDIAN ms         (filter ALL, from the query to the rows painted)
//   fill_all_best_ms MIN ms
//   sort_ms MEDIAN ms             (one header click on the name column)
//   fill_country_ms MEDIAN ms     (the country with the most channels; its rows as
//   fill_country_rows N rows       fill_country_rows)
//   fill_favourites_ms MEDIAN ms  (the favourites filter; fill_favourites_rows)
//   fill_stall_ms MS ms           (longest pause of the event loop while filling ALL)
//   fill_sorted_stall_ms MS ms    (the same once the user has sorted the list by a column)
//   translate_window_ms MEDIAN ms (the whole main window put into German, language 3)
#include "app/AppContext.h"
#include "app/Settings.h"
#include "bench_support.h"
#include "common/Messages.h"
#include "data/Database.h"
#include "ui/main/ChannelListModel.h"
#include "ui/main/ChannelListPanel.h"
#include "ui/main/MainWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace zentuvo;
using namespace zentuvo::bench;

namespace {

void report(const char* what, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    std::printf("%s_ms %.1f ms\n%s_best_ms %.1f ms\n", what, ms[ms.size() / 2], what, ms.front());
}

// Runs the event loop until the list's latest refill has its rows.
void waitFilled(MainWindow& window) {
    while (window.channels().filling())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fputs("usage: fill_bench FOLDER [RUNS]\n", stderr);
        return 2;
    }
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    PrintedMessages messages;
    NoDesktop desktop;
    AppContext app(messages, desktop);
    if (!readSettings(app, QString::fromLocal8Bit(argv[1])))
        return 1;
    app.preferences().setRememberCountry(0); // start on ALL

    QElapsedTimer clock;
    clock.start();
    MainWindow window(app);
    window.show();
    QCoreApplication::processEvents();
    waitFilled(window);
    const double load = double(clock.nsecsElapsed()) / 1e6;
    ChannelListModel* model = window.channels().model();
    const int rows = model->rowCount();
    std::printf("rows %d rows\nwindow_load_ms %.1f ms\n", rows, load);

    std::vector<double> fill, sort;
    for (int i = 0; i < runs; ++i) {
        clock.restart();
        window.fillChannels(QStringLiteral("-1"));
        waitFilled(window);
        QCoreApplication::processEvents(); // the repaint that shows the rows
        fill.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    report("fill_all", fill);

    // The longest pause of the event loop while ALL fills, seen by a 1 ms timer.
    const auto stall = [&](const char* name) {
        StallWatch watch;
        watch.start();
        QTimer::singleShot(0, &window, [&] { window.fillChannels(QStringLiteral("-1")); });
        QElapsedTimer until;
        until.start();
        while (until.elapsed() < 1500)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::printf("%s %lld ms\n", name, static_cast<long long>(watch.stop()));
    };
    stall("fill_stall_ms");
    for (int i = 0; i < runs; ++i) {
        clock.restart();
        window.channels().onHeaderClicked(1);
        QCoreApplication::processEvents();
        sort.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    report("sort", sort);
    stall("fill_sorted_stall_ms"); // the list now sorted by a column the user chose

    // One country: the one with the most channels.
    QString country = QStringLiteral("-1");
    {
        Connection db(app.paths().catalogue, Connection::Mode::ReadOnly);
        auto q = db.prepare(QStringLiteral(
            "SELECT countryID FROM tab_channels WHERE streamUrl <> '' GROUP BY countryID "
            "ORDER BY count(*) DESC LIMIT 1"));
        if (q.next())
            country = QString::number(q.integer(0));
    }
    const auto timedFill = [&](const char* what, const QString& id) {
        std::vector<double> ms;
        for (int i = 0; i < runs; ++i) {
            clock.restart();
            window.fillChannels(id);
            waitFilled(window);
            QCoreApplication::processEvents();
            ms.push_back(double(clock.nsecsElapsed()) / 1e6);
        }
        report(what, ms);
        std::printf("%s_rows %d rows\n", what, model->rowCount());
    };
    timedFill("fill_country", country);
    timedFill("fill_favourites", QStringLiteral("0"));

    // The window's texts in German (language 3), from English each time.
    std::vector<double> translate;
    for (int i = 0; i < runs; ++i) {
        app.preferences().setLanguage(1);
        window.applyLanguage();
        QCoreApplication::processEvents();
        app.preferences().setLanguage(3);
        clock.restart();
        window.applyLanguage();
        QCoreApplication::processEvents();
        translate.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    report("translate_window", translate);
    return 0;
}
