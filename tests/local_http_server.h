#pragma once
// A server script on the loopback, run by python3 for the tests and the benchmarks. It is
// listening once it prints "PORT <number>" (or, with sockets of its own to tell, its lines
// and then "READY"), and ends when its standard input closes. With a request log,
// "--log <file>" goes in front of its arguments and it logs one line a request there.

#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

namespace zentuvo::test {

class LocalHttpServer {
public:
    enum class Log { Requests, None };

    LocalHttpServer(const QString& script, const QStringList& args, Log logged = Log::Requests) {
        QStringList all{script};
        if (logged == Log::Requests)
            all << QStringLiteral("--log") << log();
        server_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server_.start(QStringLiteral("python3"), all + args);
        bool ready = false;
        while (!ready && server_.waitForReadyRead(30000)) {
            while (!ready && server_.canReadLine()) {
                const QByteArray line = server_.readLine().trimmed();
                lines_ << line;
                if (line.startsWith("PORT "))
                    port_ = line.mid(5).toInt();
                ready = port_ != 0 || line == "READY";
            }
        }
    }
    ~LocalHttpServer() {
        server_.closeWriteChannel();
        if (!server_.waitForFinished(3000))
            server_.kill();
        server_.waitForFinished(3000);
    }
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    int port() const { return port_; }
    QUrl url(const QString& path) const {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(path));
    }
    // What it printed until it was listening.
    const QList<QByteArray>& startLines() const { return lines_; }
    // Writes a line to its standard input and gives the line it answers ("" after 10 s).
    QByteArray ask(const QByteArray& line) {
        server_.write(line + '\n');
        while (!server_.canReadLine() && server_.waitForReadyRead(10000)) {
        }
        return server_.readLine().trimmed();
    }
    // The log's lines so far.
    QStringList requests() const {
        QFile f(log());
        return f.open(QIODevice::ReadOnly)
                   ? QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts)
                   : QStringList();
    }

private:
    QString log() const { return dir_.filePath(QStringLiteral("requests.log")); }
    QTemporaryDir dir_;
    QProcess server_;
    QList<QByteArray> lines_;
    int port_ = 0;
};

} // namespace zentuvo::test
