// Any bytes as a catalogue CSV file: the reader must never crash or loop, and whatever it
// reads must write back and read again to the same fields.
#include "data/Csv.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zentuvo::CsvReader reader(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    QList<QStringList> records;
    while (auto record = reader.next()) {
        records << *record;
        if (records.size() > 100000)
            std::abort();
    }
    QString written;
    for (const auto& r : records)
        written += zentuvo::csvLine(r);
    zentuvo::CsvReader again(written.toUtf8());
    for (const auto& r : records) {
        auto back = again.next();
        if (!back || *back != r)
            std::abort();
    }
    return 0;
}
