#pragma once
// A test HTTP server script on 127.0.0.1, run by python3 with "--log <file>" added to its
// arguments: it prints "PORT <number>" once listening, logs one line a request and ends when
// its standard input closes.

#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

namespace zentuvo::test {

class LocalHttpServer {
public:
    LocalHttpServer(const QString& script, const QStringList& args) {
        server_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server_.start(QStringLiteral("python3"), QStringList{script, "--log", log()} + args);
        while (port_ == 0 && server_.waitForReadyRead(10000)) {
            const QByteArray line = server_.readLine().trimmed();
            if (line.startsWith("PORT "))
                port_ = line.mid(5).toInt();
        }
    }
    ~LocalHttpServer() {
        server_.closeWriteChannel();
        if (!server_.waitForFinished(3000))
            server_.kill();
        server_.waitForFinished(3000);
    }
    int port() const { return port_; }
    QUrl url(const QString& path) const {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(path));
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
    int port_ = 0;
};

} // namespace zentuvo::test
