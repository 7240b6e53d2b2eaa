#pragma once
// What every test program shares: fake services, fixture folders and small helpers; with
// the headers of GoogleTest and of the Qt classes nearly every test uses.

#include "app/AppContext.h"
#include "common/Messages.h"
#include "data/ChannelRef.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QSignalSpy>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

// Readable texts in failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace zentuvo::test {

// Records every message and answers questions from a queue (else with the default).
class FakeMessages : public MessageService {
public:
    MsgAnswer show(const MessageRequest& request) override;
    void answerNext(MsgAnswer answer) { answers.push_back(answer); }
    QStringList texts() const;
    bool saw(const QString& text) const { return texts().contains(text); }
    void clear() { shown.clear(); }

    QList<MessageRequest> shown;
    std::deque<MsgAnswer> answers;
};

class FakeDesktop : public DesktopService {
public:
    bool openUrl(const QString& address) override {
        opened << address;
        return true;
    }
    bool openFile(const QString& path) override {
        opened << path;
        return true;
    }
    QStringList opened;
};

// One channel row of a fixture catalogue.
struct FixtureChannel {
    QString code, name, country, genre, homepage, description, streamUrl, userAgent, referrer;
};

// The default fixture: 6 channels in Italy, France and Germany (one Italian channel without
// a stream address), plus Austria whose only channel has no stream address.
QList<FixtureChannel> defaultChannels();

// A program folder in a temporary directory with a catalogue built from the given
// channels (countries and genres taken from them, terms from the project's term table),
// an empty My List and a settings file.
class FixtureFolder {
public:
    explicit FixtureFolder(const QList<FixtureChannel>& channels = defaultChannels(),
                           bool withIni = true);
    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.filePath(name); }
    QString dataDir() const { return dir_.filePath(QStringLiteral("data")); }
    // Writes the data folder for these channels (used by the constructor).
    static void writeData(const QString& dataDir, const QList<FixtureChannel>& channels);

private:
    QTemporaryDir dir_;
};

// A program state that has read nothing yet, with fake services.
struct BareApp {
    FakeMessages messages;
    FakeDesktop desktop;
    AppContext app{messages, desktop};
};

// A ready program state over a fixture folder, with fake services.
struct TestApp {
    explicit TestApp(const QList<FixtureChannel>& channels = defaultChannels());
    FakeMessages messages;
    FakeDesktop desktop;
    FixtureFolder folder;
    std::unique_ptr<AppContext> app;
};

// Runs SQL on a database file (for setting up odd rows).
void execSql(const QString& dbFile, const QString& sql);
// The first column of the first row a query gives (with `arg` bound to its "?", if any);
// -1 or "" without a row.
qint64 sqlNumber(const QString& dbFile, const QString& sql, const QString& arg = {});
QString sqlText(const QString& dbFile, const QString& sql, const QString& arg = {});

// A catalogue channel's number and reference by its code ("Alpha.it"), a country's number.
int catalogueId(const AppContext& app, const QString& code);
ChannelRef catalogueRef(const AppContext& app, const QString& code);
int countryId(const AppContext& app, const QString& name);
// Saves a My List channel (in a group, or none) and gives its reference.
ChannelRef addMyList(AppContext& app, const QString& name, const QString& url, int countryID = 1,
                     const QString& group = {});
int myListRows(const AppContext& app);

// The settings file's [links] and [preferences] entries.
void setLink(const AppContext& app, const QString& key, const QString& value);
QString iniValue(const AppContext& app, const QString& key);

// Runs the event loop until the condition holds or the time is up; true when it held.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 5000);

// True while the process runs; one that has ended but was not reaped yet counts as gone.
bool processAlive(qint64 pid);

void writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);
// The bytes as one gzip member.
QByteArray gzipped(const QByteArray& bytes);

// Runs this build's command line tool zentuvo-catalogue (with LC_ALL set to the locale, when
// one is given): what it wrote to its standard output, then to its standard error; its exit
// status in *status, -1 when it did not end within a minute or crashed.
QString runCatalogueTool(const QStringList& args, int* status, const QString& locale = {});

// The project's data folder (catalogue and term table).
QString projectDataDir();

} // namespace zentuvo::test
