#pragma once

#include "app/AppState.h"
#include "common/Messages.h"

#include <QList>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <memory>

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

// A ready program state over a fixture folder, with fake services.
struct TestApp {
    explicit TestApp(const QList<FixtureChannel>& channels = defaultChannels());
    FakeMessages messages;
    FakeDesktop desktop;
    FixtureFolder folder;
    std::unique_ptr<AppState> app;
};

// Runs SQL on a database file (for setting up odd rows).
void execSql(const QString& dbFile, const QString& sql);

// The project's data folder (catalogue and term table).
QString projectDataDir();

} // namespace zentuvo::test
