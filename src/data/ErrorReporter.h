#pragma once

#include <QString>

namespace zentuvo {

// Where the data layer hands a failure it does not throw: the caller decides how it is
// shown (the program's message service implements it; tests read what arrives).
class ErrorReporter {
public:
    virtual ~ErrorReporter() = default;
    // A failure shown as an error: "Error in <routine>: <description>".
    virtual void reportError(const QString& text) = 0;
    // A failure shown as a plain notice, without an icon.
    virtual void reportNotice(const QString& text) = 0;
};

} // namespace zentuvo
