#include "startup/SingleInstance.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QUrl>
#include <unistd.h>

namespace zentuvo {

namespace {

// More than any command line: a peer that sends more is not a start of ours.
constexpr qint64 kMaxMessage = 1 << 20;
const QByteArray kTaken = QByteArrayLiteral("1");

bool isWebAddress(const QString& text) {
    return text.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
           text.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

} // namespace

QString SingleInstance::serverName(const QString& dataFolder) {
    const QByteArray folderHash =
        QCryptographicHash::hash(QDir::cleanPath(dataFolder).toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .left(12);
    const QString name =
        QStringLiteral("zentuvo-%1-%2").arg(getuid()).arg(QString::fromLatin1(folderHash));
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo(runtime).isDir() ? QDir(runtime).filePath(name) : name;
}

SingleInstance::SingleInstance(QString name, QObject* parent)
    : QObject(parent), name_(std::move(name)), server_(new QLocalServer(this)) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this,
                    [this, socket] { readArguments(socket); });
        }
    });
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::handOver(const QStringList& arguments, int timeoutMs) const {
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    QByteArray message;
    QDataStream out(&message, QIODevice::WriteOnly);
    out << arguments;
    socket.write(message);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    while (socket.bytesAvailable() < kTaken.size()) {
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
    }
    return socket.read(kTaken.size()) == kTaken;
}

bool SingleInstance::listen() {
    // Listening replaces a socket file in the way: first see whether a program answers there.
    QLocalSocket probe;
    probe.connectToServer(name_);
    if (probe.waitForConnected(500))
        return false;
    QLocalServer::removeServer(name_); // left behind by a program that ended
    return server_->listen(name_);
}

void SingleInstance::readArguments(QLocalSocket* socket) {
    if (socket->bytesAvailable() > kMaxMessage) {
        socket->abort();
        return;
    }
    QDataStream in(socket);
    in.startTransaction();
    QStringList arguments;
    in >> arguments;
    if (!in.commitTransaction())
        return; // the rest is still on its way
    socket->write(kTaken);
    socket->flush();
    socket->disconnectFromServer();
    emit argumentsReceived(arguments);
}

QStringList commandLineSources(const QStringList& arguments, const QString& workingFolder) {
    QStringList sources;
    for (const QString& argument : arguments) {
        if (argument.isEmpty() || argument.startsWith(u'-'))
            continue;
        if (isWebAddress(argument)) {
            sources << argument;
            continue;
        }
        const QUrl url(argument);
        const QString path = url.isLocalFile() ? url.toLocalFile() : argument;
        sources << QDir::cleanPath(QDir(workingFolder).absoluteFilePath(path));
    }
    return sources;
}

bool isPlaylistSource(const QString& source) {
    const QString suffix = QFileInfo(source).suffix().toLower();
    return isWebAddress(source) || suffix == u"m3u" || suffix == u"m3u8";
}

} // namespace zentuvo
