#pragma once

#include <QString>
#include <stdexcept>

namespace zentuvo {

// A conversion failure, carrying the classic runtime error number and text
// (13 "Type mismatch", 6 "Overflow") that stored-value readers report.
class ConversionError : public std::runtime_error {
public:
    ConversionError(int number, const QString& description)
        : std::runtime_error(description.toStdString()), number_(number),
          description_(description) {}
    int number() const { return number_; }
    const QString& description() const { return description_; }

private:
    int number_;
    QString description_;
};

// Leading-number parse: blanks skipped, optional sign, digits, optional fraction and
// exponent; stops at the first character that cannot continue the number. "" -> 0.
double leadingNumber(const QString& text);

// Rounds half to even and checks the range of a 32-bit integer (Overflow otherwise).
int roundToInt32(double value);

// Strict conversion of a whole stored text: the text (blanks around allowed) must be a
// number, else Type mismatch; the rounded value must fit 16 bits, else Overflow.
int toInt16Strict(const QString& text);

} // namespace zentuvo
