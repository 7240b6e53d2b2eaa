// fill_bench: how long the main window takes to fill its catalogue list.
//   fill_bench FOLDER [RUNS]
// FOLDER holds ch.dat, mylist.dat and Zentuvo.ini (a build folder, or one made with
// "zentuvo-catalogue build --replicate N"). Prints one line per figure, "name value unit":
//   rows N rows                   (rows under ALL)
//   window_load_ms MS ms          (the whole window, from construction to shown)
//   fill_all_ms MEDIAN ms         (filter ALL, from the query to the rows painted)
//   fill_all_best_ms MIN ms
//   sort_ms MEDIAN ms             (one header click on the name column)
#include "app/AppState.h"
#include "app/Settings.h"
#include "common/Messages.h"
#include "ui/main/ChannelListModel.h"
#include "ui/main/ChannelListPanel.h"
#include "ui/main/MainWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace zentuvo;

namespace {

class PrintedMessages : public MessageService {
public:
    MsgAnswer show(const MessageRequest& request) override {
        std::fprintf(stderr, "message: %s\n", qPrintable(request.text));
        return request.defaultAnswer;
    }
};

class NoDesktop : public DesktopService {
public:
    bool openUrl(const QString&) override { return true; }
    bool openFile(const QString&) override { return true; }
};

void report(const char* what, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    std::printf("%s_ms %.1f ms\n%s_best_ms %.1f ms\n", what, ms[ms.size() / 2], what, ms.front());
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
    AppState app(messages, desktop);
    if (!ReadSettings(app, QString::fromLocal8Bit(argv[1])))
        return 1;
    app.RememberCountryFlag = 0; // start on ALL

    QElapsedTimer clock;
    clock.start();
    MainWindow window(app);
    window.show();
    QCoreApplication::processEvents();
    const double load = double(clock.nsecsElapsed()) / 1e6;
    ChannelListModel* model = window.channels().model();
    const int rows = model->rowCount();
    std::printf("rows %d rows\nwindow_load_ms %.1f ms\n", rows, load);

    std::vector<double> fill, sort;
    for (int i = 0; i < runs; ++i) {
        clock.restart();
        window.MakeLvwChannelsContents(QStringLiteral("-1"));
        QCoreApplication::processEvents(); // the repaint that shows the rows
        fill.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    report("fill_all", fill);
    for (int i = 0; i < runs; ++i) {
        clock.restart();
        window.channels().lvwChannelsColumnClick(1);
        QCoreApplication::processEvents();
        sort.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    report("sort", sort);
    return 0;
}
