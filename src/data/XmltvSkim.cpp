#include "XmltvSkim.h"

#include <algorithm>
#include <cstring>

namespace zentuvo {
namespace {

constexpr qsizetype kChunk = 256 * 1024;
// A stretch still undecided at this length goes to the parser as it is.
constexpr qsizetype kLongest = 1024 * 1024;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// An attribute value the parser would give back byte for byte: ASCII without entities or
// blanks that it would normalise.
bool isPlain(const char* value, qsizetype size) {
    for (qsizetype i = 0; i < size; ++i) {
        const auto c = static_cast<unsigned char>(value[i]);
        if (c >= 0x80 || c == '&' || c == '\t' || c == '\r' || c == '\n')
            return false;
    }
    return true;
}

// The channel attribute's value in the start tag [begin, end) (after the element's name);
// false when the tag is not plainly readable or has no such attribute.
bool channelValue(const char* begin, const char* end, const char** value, qsizetype* size) {
    const char* p = begin;
    for (;;) {
        while (p < end && isBlank(*p))
            ++p;
        if (p == end)
            return false;
        const char* name = p;
        while (p < end && !isBlank(*p) && *p != '=')
            ++p;
        const qsizetype nameSize = p - name;
        while (p < end && isBlank(*p))
            ++p;
        if (p == end || *p != '=' || nameSize == 0)
            return false;
        ++p;
        while (p < end && isBlank(*p))
            ++p;
        if (p == end || (*p != '"' && *p != '\''))
            return false;
        const char quote = *p++;
        const char* text = p;
        while (p < end && *p != quote)
            ++p;
        if (p == end)
            return false;
        if (nameSize == 7 && std::memcmp(name, "channel", 7) == 0) {
            *value = text;
            *size = p - text;
            return true;
        }
        ++p;
    }
}

} // namespace

XmltvSkim::XmltvSkim(QIODevice& source, std::function<bool(const QString&)> want,
                     const std::atomic_bool* cancel)
    : source_(source), want_(std::move(want)), cancel_(cancel) {
    QIODevice::open(QIODevice::ReadOnly);
}

bool XmltvSkim::atEnd() const {
    return sourceDone_ && outPos_ >= out_.size() && QIODevice::bytesAvailable() == 0;
}

qint64 XmltvSkim::readData(char* data, qint64 maxSize) {
    while (outPos_ >= out_.size()) {
        out_.clear();
        outPos_ = 0;
        if (sourceDone_)
            return failed_ ? -1 : 0;
        if (cancel_ && cancel_->load(std::memory_order_relaxed)) {
            sourceDone_ = true;
            return 0;
        }
        if (pos_ > 0) {
            in_.remove(0, pos_);
            pos_ = 0;
        }
        const qsizetype kept = in_.size();
        in_.resize(kept + kChunk);
        const qint64 got = source_.read(in_.data() + kept, kChunk);
        in_.resize(kept + std::max<qint64>(got, 0));
        if (got < 0) {
            failed_ = true;
            setErrorString(source_.errorString());
        }
        sourceDone_ = got <= 0;
        scan(sourceDone_);
    }
    const qint64 n = std::min<qint64>(maxSize, out_.size() - outPos_);
    std::memcpy(data, out_.constData() + outPos_, size_t(n));
    outPos_ += n;
    return n;
}

void XmltvSkim::pass(qsizetype end) {
    out_.append(in_.constData() + pos_, end - pos_);
    pos_ = end;
}

void XmltvSkim::scan(bool final) {
    while (pos_ < in_.size()) {
        if (!started_) {
            if (in_.size() < 2 && !final)
                return;
            const auto b0 = static_cast<unsigned char>(in_[0]);
            const auto b1 = in_.size() > 1 ? static_cast<unsigned char>(in_[1]) : 1;
            // UTF-16, with or without its byte order mark: the scan reads bytes as ASCII.
            passThrough_ =
                (b0 == 0xFE && b1 == 0xFF) || (b0 == 0xFF && b1 == 0xFE) || b0 == 0 || b1 == 0;
            started_ = true;
        }
        if (passThrough_) {
            pass(in_.size());
            return;
        }
        const char* data = in_.constData();
        const void* lt = std::memchr(data + pos_, '<', size_t(in_.size() - pos_));
        if (!lt) {
            pass(in_.size());
            return;
        }
        pass(static_cast<const char*>(lt) - data);
        if (markup(final) == Step::Wait) {
            if (!final && in_.size() - pos_ <= kLongest)
                return; // decided once more has been read
            pass(pos_ + 1);
        }
    }
}

XmltvSkim::Step XmltvSkim::markup(bool final) {
    const qsizetype left = in_.size() - pos_;
    const char* p = in_.constData() + pos_;
    const auto has = [&](const char* text) {
        const auto n = qsizetype(std::strlen(text));
        return left >= n && std::memcmp(p, text, size_t(n)) == 0;
    };
    const auto through = [&](const char* close) {
        const qsizetype at = in_.indexOf(close, pos_ + 2);
        if (at < 0)
            return Step::Wait;
        pass(at + qsizetype(std::strlen(close)));
        return Step::Done;
    };
    if (left < 11 && !final)
        return Step::Wait;
    if (has("<!--"))
        return through("-->");
    if (has("<![CDATA["))
        return through("]]>");
    if (has("<?"))
        return through("?>");
    if (has("<!DOCTYPE")) {
        const qsizetype close = in_.indexOf('>', pos_);
        const qsizetype subset = in_.indexOf('[', pos_);
        if (subset >= 0 && (close < 0 || subset < close)) {
            passThrough_ = true; // it may declare entities that expand to anything
            return Step::Done;
        }
        if (close < 0)
            return Step::Wait;
        pass(close + 1);
        return Step::Done;
    }
    if (left >= 11 && has("<programme") && isBlank(p[10]))
        return programme();
    pass(pos_ + 1);
    return Step::Done;
}

XmltvSkim::Step XmltvSkim::programme() {
    const char* data = in_.constData();
    const qsizetype size = in_.size();
    qsizetype i = pos_ + 10;
    char quote = 0;
    for (; i < size; ++i) {
        const char c = data[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            break;
        } else if (c == '<') {
            pass(pos_ + 1);
            return Step::Done;
        }
    }
    if (i == size)
        return Step::Wait;
    const qsizetype tagEnd = i + 1;
    const char* value = nullptr;
    qsizetype valueSize = 0;
    if (!skimming_ || data[i - 1] == '/' ||
        !channelValue(data + pos_ + 10, data + i, &value, &valueSize) ||
        !isPlain(value, valueSize) || wanted(value, valueSize)) {
        pass(tagEnd);
        return Step::Done;
    }
    // The end tag; markup inside that is not an element goes to the parser.
    qsizetype end = -1;
    for (qsizetype j = tagEnd;;) {
        const void* lt = std::memchr(data + j, '<', size_t(size - j));
        if (!lt)
            return Step::Wait;
        j = static_cast<const char*>(lt) - data;
        if (size - j < 12)
            return Step::Wait;
        if (data[j + 1] == '!' || data[j + 1] == '?') {
            pass(tagEnd);
            return Step::Done;
        }
        if (std::memcmp(data + j, "</programme", 11) == 0) {
            qsizetype k = j + 11;
            while (k < size && isBlank(data[k]))
                ++k;
            if (k == size)
                return Step::Wait;
            if (data[k] == '>') {
                end = k + 1;
                break;
            }
        }
        ++j;
    }
    out_.append(std::count(data + pos_, data + end, '\n'), '\n');
    pos_ = end;
    ++dropped_;
    return Step::Done;
}

bool XmltvSkim::wanted(const char* value, qsizetype size) {
    if (!hasLast_ || lastChannel_.size() != size ||
        std::memcmp(lastChannel_.constData(), value, size_t(size)) != 0) {
        lastChannel_ = QByteArray(value, size);
        lastWanted_ = !want_ || want_(QString::fromLatin1(lastChannel_));
        hasLast_ = true;
    }
    return lastWanted_;
}

} // namespace zentuvo
