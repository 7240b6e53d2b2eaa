#include "app/ScheduleSettings.h"

#include "app/AppContext.h"
#include "app/IniFile.h"
#include "app/Settings.h"
#include "common/Messages.h"

#include <QFileInfo>

namespace zentuvo {

namespace {

const QString kMarginBefore = QStringLiteral("ScheduleMarginBefore");
const QString kMarginAfter = QStringLiteral("ScheduleMarginAfter");

// A margin in minutes, or nothing for a value that is no whole number in range.
std::optional<int> margin(const IniFile& ini, const QString& key) {
    const auto value = ini.read(kPreferences, key);
    if (!value)
        return std::nullopt;
    bool ok = false;
    const int minutes = value->toInt(&ok);
    if (!ok || minutes < 0 || minutes > kMaxScheduleMargin)
        return std::nullopt;
    return minutes;
}

} // namespace

ScheduleMargins scheduleMarginsIn(const QString& settingsFile) {
    const IniFile ini(settingsFile);
    ScheduleMargins margins;
    margins.before = margin(ini, kMarginBefore).value_or(margins.before);
    margins.after = margin(ini, kMarginAfter).value_or(margins.after);
    return margins;
}

void readScheduleMargins(AppContext& app) {
    const ScheduleMargins margins = scheduleMarginsIn(app.paths().settingsFile);
    app.preferences().setScheduleMarginBefore(margins.before);
    app.preferences().setScheduleMarginAfter(margins.after);
}

bool saveScheduleMargins(AppContext& app) {
    const IniFile ini(app.paths().settingsFile);
    if (ini.write(kPreferences, kMarginBefore,
                  QString::number(app.preferences().scheduleMarginBefore())) &&
        ini.write(kPreferences, kMarginAfter,
                  QString::number(app.preferences().scheduleMarginAfter())))
        return true;
    app.messages.critical(
        QStringLiteral("Error in SetScheduleMargins: cannot write the settings file %1")
            .arg(app.paths().settingsFile));
    return false;
}

namespace ScheduleFiles {

QString safePart(const QString& text) {
    static const QString unsafe = QStringLiteral("/\\:*?\"<>|");
    QString out;
    out.reserve(text.size());
    for (const QChar c : text)
        out += c.category() == QChar::Other_Control || unsafe.contains(c) ? u'_' : c;
    out = out.trimmed();
    constexpr int kLongest = 80;
    if (out.size() > kLongest)
        out = out.left(kLongest).trimmed();
    while (out.endsWith(u'.'))
        out.chop(1);
    return out.isEmpty() ? QStringLiteral("_") : out;
}

QString fileName(const QString& channel, const QString& title, const QDateTime& start) {
    QString name = safePart(channel);
    if (!title.trimmed().isEmpty())
        name += QStringLiteral(" - ") + safePart(title);
    return name + QStringLiteral(" - ") +
           start.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH-mm")) + QStringLiteral(".ts");
}

QString freePath(const QString& folder, const QString& name) {
    const QString first = folder + u'/' + name;
    if (!QFileInfo::exists(first) && !QFileInfo(first).isSymLink())
        return first;
    QString stem = name;
    if (stem.endsWith(QLatin1String(".ts")))
        stem.chop(3);
    for (int n = 2; n <= 999; ++n) {
        const QString path = QStringLiteral("%1/%2 (%3).ts").arg(folder, stem).arg(n);
        if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
            return path;
    }
    return {};
}

} // namespace ScheduleFiles
} // namespace zentuvo
