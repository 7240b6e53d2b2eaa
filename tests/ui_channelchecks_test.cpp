// Channel checks in the main window: Tools > Check channels checks the shown list, each row
// shows its state with a tooltip, offline channels leave the lists while the user wants that,
// and the states are there again at the next start. Against a loopback server that answers
// every request as a stream would, and a refused port.
#include "data/ChannelHealth.h"
#include "ui/MainController.h"
#include "ui/dialogs/SearchResultModel.h"
#include "ui/dialogs/SearchWindow.h"
#include "ui/main/MainCommands.h"
#include "ui/main/MainMenus.h"
#include "ui_support.h"

#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>

using namespace zentuvo;
using namespace zentuvo::test;

namespace {

// Answers every request with the head of a transport stream, then closes.
class StreamHeadServer {
public:
    StreamHeadServer() {
        server.listen(QHostAddress::LocalHost);
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            QTcpSocket* socket = server.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                socket->readAll();
                socket->write("HTTP/1.1 200 OK\r\nContent-Type: video/mp2t\r\n"
                              "Content-Length: 188\r\nConnection: close\r\n\r\n");
                socket->write(QByteArray(188, '\x47'));
                socket->disconnectFromHost();
            });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        });
    }
    QTcpServer server;
};

QList<FixtureChannel> checkedChannels(quint16 port) {
    const QString up = QStringLiteral("http://127.0.0.1:%1/up.ts").arg(port);
    return {{"Up.it", "Up", "Italy", "News", "", "", up, "", ""},
            {"Down.it", "Down", "Italy", "News", "", "", "http://127.0.0.1:9/down.ts", "", ""}};
}

class ChannelChecksTest : public WiredWindowTest {
protected:
    ChannelChecksTest() : WiredWindowTest(checkedChannels(server().server.serverPort())) {}
    static StreamHeadServer& server() {
        static StreamHeadServer s;
        return s;
    }
    QString tip(const QString& name) {
        const int row = rowOf(channels(), name);
        return row < 0 ? QString() : channels()->index(row, 1).data(Qt::ToolTipRole).toString();
    }
    bool hasState(const QString& name) {
        const int row = rowOf(channels(), name);
        return row >= 0 && !channels()->index(row, 0).data(Qt::DecorationRole).isNull();
    }
};

} // namespace

TEST_F(ChannelChecksTest, TheShownListIsCheckedMarkedAndOfflineRowsCanBeHidden) {
    fill("-1");
    EXPECT_FALSE(hasState("Up")); // no check yet at all: no marks
    window->menus().miCheckChannels->trigger();
    EXPECT_TRUE(ui().prgCheck->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ui().prgCheck->isVisible(); }, 20000));
    EXPECT_TRUE(hasState("Up") && hasState("Down"));
    EXPECT_TRUE(tip("Up").startsWith("Online - checked ")) << tip("Up").toStdString();
    EXPECT_TRUE(tip("Down").startsWith("Offline: connection refused - checked "))
        << tip("Down").toStdString();
    // The search shows the states too, and hides what the lists hide.
    SearchWindow search(app(), *window);
    const auto find = [&](const QString& text) {
        search.findChild<QLineEdit*>("txtSearch")->setText(text);
        search.findChild<QPushButton*>("cmdSearch")->click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !search.isSearching(); }, 20000));
        return search.model()->rowCount() == 1
                   ? search.model()->index(0, 0).data(Qt::ToolTipRole).toString()
                   : QString::number(search.model()->rowCount());
    };
    EXPECT_TRUE(find("Down").startsWith("Offline: connection refused"))
        << find("Down").toStdString();
    app().preferences().setHideOffline(true);
    EXPECT_EQ(find("Down"), "0");
    EXPECT_TRUE(find("Up").startsWith("Online"));
    EXPECT_EQ(rowOf(channels(), "Down"), -1);
    fill("-1"); // a refill leaves it out too
    EXPECT_EQ(rowOf(channels(), "Down"), -1);
    EXPECT_NE(rowOf(channels(), "Up"), -1);
    app().preferences().setHideOffline(false);
    // The next start shows the kept states without a check.
    controller.reset();
    restart();
    controller = std::make_unique<MainController>(app(), *window,
                                                  [] { return std::make_unique<FakePlayer>(); });
    fill("-1");
    ASSERT_TRUE(QTest::qWaitFor([&] { return hasState("Up") && hasState("Down"); }, 10000));
    EXPECT_FALSE(ui().prgCheck->isVisible());
    // A channel without a result now shows that it has not been checked.
    execSql(app().paths().catalogue,
            "INSERT INTO tab_channels (channelID, name, streamUrl, countryID, typeID, code) "
            "SELECT 99, 'Fresh', streamUrl, countryID, typeID, 'Fresh.it' FROM tab_channels "
            "WHERE code = 'Up.it'");
    fill("-1");
    ASSERT_TRUE(hasState("Fresh"));
    EXPECT_EQ(tip("Fresh"), "Not checked yet");
    // One country shown hides the first column: the mark comes before the name's logo.
    ASSERT_GE(filterIndex("Italy"), 2);
    selectFilter("Italy");
    ASSERT_TRUE(ui().lvwChannels->isColumnHidden(0));
    const QPixmap marked = channels()
                               ->index(rowOf(channels(), "Up"), 1)
                               .data(ChannelListModel::LogoRole)
                               .value<QPixmap>();
    EXPECT_GT(marked.width(), 2 * marked.height()) << marked.width() << "x" << marked.height();
}
