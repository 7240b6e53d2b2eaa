// Any bytes as the settings file: reading and writing keys must never crash, and a value
// written must read back.
#include "app/IniFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fuzz.ini"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return 0;
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    const zentuvo::IniFile ini(path);
    for (const char* key : {"language", "DefaultCountry", "DefaultVideoSize"})
        (void)ini.read(QStringLiteral("preferences"), QString::fromLatin1(key));
    if (ini.write(QStringLiteral("preferences"), QStringLiteral("DefaultCountry"),
                  QStringLiteral("12"))) {
        if (ini.read(QStringLiteral("preferences"), QStringLiteral("DefaultCountry")) !=
            QStringLiteral("12"))
            std::abort();
    }
    return 0;
}
