#pragma once

#include <QString>
#include <QStringList>
#include <cstdio>

// What every command of zentuvo-catalogue reads its options with.
namespace zentuvo::commands {

// Every value that follows a name (--add A --add B gives A and B).
inline QStringList options(const QStringList& args, const QString& name) {
    QStringList values;
    for (qsizetype i = 0; i + 1 < args.size(); ++i)
        if (args[i] == name)
            values << args[++i];
    return values;
}

// The value after the name; given twice, the later one counts. "" when missing.
inline QString option(const QStringList& args, const QString& name) {
    const QStringList values = options(args, name);
    return values.isEmpty() ? QString() : values.last();
}

// Says why a command failed on the error output; the exit status 1.
inline int fail(const QString& text) {
    std::fprintf(stderr, "zentuvo-catalogue: %s\n", qPrintable(text));
    return 1;
}

} // namespace zentuvo::commands
