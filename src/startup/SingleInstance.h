#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

namespace zentuvo {

// One running program per user and data folder. A later start hands its command-line
// sources to the running program over a local socket and ends; the running program
// announces them (and raises its window, see Startup).
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // The socket for a data folder: "zentuvo-<user id>-<hash of the folder>", in
    // $XDG_RUNTIME_DIR when there is one, else in the temporary folder.
    static QString serverName(const QString& dataFolder);

    explicit SingleInstance(QString name, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Hands the arguments to a running program; true when one took them (this start then
    // ends). Without one it returns at once; a program that is still starting answers once
    // its window is up, so each step may wait up to timeoutMs (without an event loop).
    bool handOver(const QStringList& arguments, int timeoutMs = 10000) const;
    // Becomes the running program: listens for later starts, removing a socket that a
    // program which ended left behind (one nobody answers on). False when it cannot.
    bool listen();

signals:
    // A later start handed these over; none when it only wants the window raised.
    void argumentsReceived(const QStringList& arguments);

private:
    void readArguments(QLocalSocket* socket);

    QString name_;
    QLocalServer* server_ = nullptr;
};

// The command-line arguments as sources: http(s) addresses as they are, file:// addresses
// and paths as absolute paths (relative ones count from workingFolder). Empty arguments and
// options (from "-") are left out.
QStringList commandLineSources(const QStringList& arguments, const QString& workingFolder);

// A source the import window takes: an http(s) address or an .m3u/.m3u8 file. Other files
// are played.
bool isPlaylistSource(const QString& source);

} // namespace zentuvo
