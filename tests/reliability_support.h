#pragma once
// Helpers of the reliability tests: damaging files, and another process holding a lock.

#include "data/Database.h"
#include "support/TestSupport.h"

#include <QProcess>

namespace zentuvo::test {

// Keeps the first `keep` parts in a hundred of a file.
inline void truncateFile(const QString& path, int keep) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.resize(f.size() * keep / 100));
}

// True when the file can be read now without waiting for a lock.
inline bool readableWithoutWaiting(const QString& path) {
    try {
        Connection db(path, Connection::Mode::ReadOnly);
        db.exec(QStringLiteral("PRAGMA busy_timeout = 0"));
        auto q = db.prepare(QStringLiteral("SELECT count(*) FROM sqlite_master"));
        q.next();
        return true;
    } catch (const DbError&) {
        return false;
    }
}

// The database engine's command-line shell holding an exclusive transaction on a file,
// as another program would, until the object goes away.
class ExternalLock {
public:
    explicit ExternalLock(const QString& path) {
        shell_.start(QStringLiteral("sqlite3"), {path});
        if (!shell_.waitForStarted(5000))
            return;
        // A reader of ours may hold the file for a moment (a list filled away from the
        // window): the shell waits for it rather than failing at once.
        shell_.write(".timeout 5000\nBEGIN EXCLUSIVE;\n");
        shell_.waitForBytesWritten(5000);
        held_ = waitUntil([&] { return !readableWithoutWaiting(path); });
    }
    ~ExternalLock() {
        if (shell_.state() == QProcess::NotRunning)
            return;
        shell_.write("ROLLBACK;\n.quit\n");
        shell_.waitForBytesWritten(5000);
        shell_.closeWriteChannel();
        if (!shell_.waitForFinished(5000)) {
            shell_.kill();
            shell_.waitForFinished(5000);
        }
    }
    bool held() const { return held_; }

private:
    QProcess shell_;
    bool held_ = false;
};

} // namespace zentuvo::test
