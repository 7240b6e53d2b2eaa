#pragma once
// A stand-in main window for the dialogs, and small helpers to drive them.

#include "app/IniFile.h"
#include "data/Database.h"
#include "support/FakeMainWindow.h"
#include "support/TestSupport.h"
#include "ui/MainWindowApi.h"

#include <QElapsedTimer>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace zentuvo::test {

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
