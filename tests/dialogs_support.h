#pragma once
// A stand-in main window for the dialogs, and small helpers to drive them.

#include "app/IniFile.h"
#include "data/Database.h"
#include "support/TestSupport.h"
#include "ui/MainWindowApi.h"

#include <QElapsedTimer>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace zentuvo::test {

// Records what the dialogs ask of the main window.
class FakeMain : public MainWindowApi {
public:
    QWidget* mainWidget() override { return nullptr; }
    bool IsFullVideo() const override { return fullVideo; }
    void PlayVideo(const QString& key) override { played << key; }
    void PlayPreview(const QString& key) override { previewed << key; }
    void MakeLvwMyListContents() override { ++myListRefills; }
    void SetLanguage() override { ++languageCalls; }
    QString SelectedChannelKey() const override { return selectedKey; }
    QString MainPlayerTag() const override { return {}; }
    QString PlayerVersionInfo() const override { return version; }

    bool fullVideo = false;
    QString selectedKey;
    QString version = QStringLiteral("3.0.21 Vetinari");
    QStringList played, previewed;
    int myListRefills = 0;
    int languageCalls = 0;
};

// The number of a catalogue channel by its code ("Alpha.it").
inline int catalogueId(const AppState& app, const QString& code) {
    Connection c(app.ChannelConnectionString);
    auto q = c.prepare(QStringLiteral("SELECT channelID FROM tab_channels WHERE code = ?"));
    q.bind(1, code);
    return q.next() ? int(q.integer(0)) : -1;
}

inline int countryId(const AppState& app, const QString& name) {
    Connection c(app.ChannelConnectionString);
    auto q = c.prepare(QStringLiteral("SELECT countryID FROM tab_country WHERE countryName = ?"));
    q.bind(1, name);
    return q.next() ? int(q.integer(0)) : -1;
}

inline void setLink(const AppState& app, const QString& key, const QString& value) {
    IniFile(app.IniFileName).write(QStringLiteral("links"), key, value);
}

inline QString iniValue(const AppState& app, const QString& key) {
    return IniFile(app.IniFileName).read(QStringLiteral("preferences"), key).value_or(QString());
}

// Runs the event loop until the condition holds or the time is up.
template <class Condition> bool waitFor(Condition done, int ms = 20000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QTest::qWait(5);
    return done();
}

} // namespace zentuvo::test
