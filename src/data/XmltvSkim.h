#pragma once

#include <QByteArray>
#include <QIODevice>
#include <atomic>
#include <functional>

namespace zentuvo {

// A read-only sequential device giving the bytes of an XMLTV guide read from source, less the
// <programme> elements of channels that want (asked with the channel attribute's value) turns
// down: a byte scan finds each element's channel and its end tag, so that the XML parser never
// sees what nobody watches. A dropped element leaves its line breaks behind, so that the
// parser's line numbers stay those of the file. Whatever the scan does not plainly understand
// (an entity or a non-ASCII byte in the attribute, a comment, CDATA or processing instruction
// inside the element, a document type with an internal subset, UTF-16) goes through untouched
// for the parser to judge. Nothing is dropped before start(). When cancel becomes true the device
// ends early. Opens itself.
class XmltvSkim : public QIODevice {
public:
    XmltvSkim(QIODevice& source, std::function<bool(const QString&)> want,
              const std::atomic_bool* cancel = nullptr);
    XmltvSkim(const XmltvSkim&) = delete;
    XmltvSkim& operator=(const XmltvSkim&) = delete;

    // Until this is called every element goes to the parser: the sink must have had the
    // guide's channels before it is asked which it wants. The reader calls it at the first
    // programme it parses (a guide lists its channels first).
    void start() { skimming_ = true; }

    bool isSequential() const override { return true; }
    bool atEnd() const override;
    qint64 dropped() const { return dropped_; } // programmes left out

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    enum class Step { Done, Wait };
    void scan(bool final);
    Step markup(bool final);
    Step programme();
    bool wanted(const char* value, qsizetype size);
    void pass(qsizetype end); // passes in_ up to end on

    QIODevice& source_;
    std::function<bool(const QString&)> want_;
    const std::atomic_bool* cancel_;
    QByteArray in_;
    qsizetype pos_ = 0; // the first byte of in_ not yet passed on or dropped
    QByteArray out_;
    qsizetype outPos_ = 0;
    QByteArray lastChannel_;
    bool lastWanted_ = false;
    bool hasLast_ = false;
    bool started_ = false;
    bool skimming_ = false;
    bool passThrough_ = false;
    bool sourceDone_ = false;
    bool failed_ = false;
    qint64 dropped_ = 0;
};

} // namespace zentuvo
