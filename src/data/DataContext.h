#pragma once

#include <QString>

namespace zentuvo {

class ErrorReporter;
class StoredValueCipher;

// What a database operation needs: the two database files, the cipher of the stored
// catalogue values and where to report errors. Each operation opens its own connection.
struct DataContext {
    QString channelDb;
    QString myListDb;
    StoredValueCipher* cipher = nullptr;
    ErrorReporter* errors = nullptr;

    void reportError(const QString& routine, const QString& description) const;
};

} // namespace zentuvo
