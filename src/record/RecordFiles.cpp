#include "record/RecordFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <cmath>

namespace zentuvo::RecordFiles {

namespace {

constexpr int kLastNumber = 32767;

} // namespace

QString nextFileName(const QString& folder, const QDate& date) {
    const QString stem = date.toString(QStringLiteral("yyyyMMdd")) + u'_';
    // One listing of the folder: each name stem + N + "." + anything blocks N.
    const QStringList names = QDir(folder).entryList({stem + QStringLiteral("*.*")},
                                                     QDir::AllEntries | QDir::Hidden |
                                                         QDir::System | QDir::NoDotAndDotDot);
    QSet<QString> taken;
    for (const QString& name : names) {
        const qsizetype dot = name.indexOf(u'.', stem.size());
        if (dot > stem.size())
            taken.insert(name.mid(stem.size(), dot - stem.size()));
    }
    for (int n = 1; n <= kLastNumber; ++n) {
        const QString number = QString::number(n);
        if (!taken.contains(number))
            return folder + u'/' + stem + number + QStringLiteral(".ts");
    }
    return {};
}

bool fileExists(const QString& path) {
    if (path.trimmed().isEmpty())
        return false;
    const QFileInfo info(path);
    const QString pattern = info.fileName();
    if (!pattern.contains(u'*') && !pattern.contains(u'?'))
        return info.isFile();
    const QStringList found =
        QDir(info.path())
            .entryList({pattern}, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    return !found.isEmpty();
}

qint64 fileSize(const QString& file) {
    if (!fileExists(file))
        return -1;
    return QFileInfo(file).size();
}

QString fileSizeText(qint64 size, const QLocale& locale) {
    if (size < 0)
        size = 0;
    if (size >= kMegabyte)
        return QStringLiteral("MB: ") + locale.toString(double(size) / double(kMegabyte), 'f', 1);
    // Rounded half away from zero, as the size line always was.
    const auto kilobytes = qint64(std::floor(double(size) / 1024.0 + 0.5));
    return QStringLiteral("KB: ") + locale.toString(kilobytes);
}

bool removeIfEmpty(const QString& file) {
    const QFileInfo info(file);
    return info.isFile() && info.size() == 0 && QFile::remove(file);
}

} // namespace zentuvo::RecordFiles
