// The M3U reader. It works on the raw bytes line by line and decodes only the fields it keeps,
// so that a playlist of a quarter of a million channels reads in a fraction of a second.
#include "data/Playlist.h"

#include <QByteArrayView>

#include <cstring>
#include <optional>

namespace zentuvo {

namespace {

constexpr int kLinesBetweenChecks = 4096;
constexpr int kListedUnreadable = 10;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

QByteArrayView trimmedBlanks(QByteArrayView s) {
    qsizetype from = 0;
    qsizetype to = s.size();
    while (from < to && isBlank(s[from]))
        ++from;
    while (to > from && isBlank(s[to - 1]))
        --to;
    return s.sliced(from, to - from);
}

// A control character other than the tab: the line is binary garbage, not text.
bool hasControl(QByteArrayView s) {
    bool found = false; // no early exit: the loop vectorises
    for (const char c : s) {
        const auto u = static_cast<unsigned char>(c);
        found |= (u < 0x20 && u != '\t') || u == 0x7f;
    }
    return found;
}

bool startsWithNoCase(QByteArrayView s, QByteArrayView prefix) {
    return s.size() >= prefix.size() &&
           qstrnicmp(s.data(), prefix.size(), prefix.data(), prefix.size()) == 0;
}

// An attribute or header name in lower case, to compare with the names we keep; a long name
// (none of ours) comes back empty.
struct LowerName {
    explicit LowerName(QByteArrayView name) {
        if (name.size() > qsizetype(sizeof(buffer)))
            return;
        for (qsizetype i = 0; i < name.size(); ++i)
            buffer[i] = (name[i] >= 'A' && name[i] <= 'Z') ? char(name[i] + 32) : name[i];
        view = QByteArrayView(buffer, name.size());
    }
    bool operator==(const char* other) const { return view == QByteArrayView(other); }
    char buffer[24];
    QByteArrayView view;
};

bool isTokenChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_';
}

// "scheme:" as in RFC 3986, as QUrl reads it.
bool hasScheme(QByteArrayView s) {
    const auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    if (s.isEmpty() || !letter(s[0]))
        return false;
    qsizetype i = 1;
    while (i < s.size() && (letter(s[i]) || (s[i] >= '0' && s[i] <= '9') || s[i] == '+' ||
                            s[i] == '-' || s[i] == '.'))
        ++i;
    return i < s.size() && s[i] == ':';
}

// Control characters but the tab (from percent-decoding) become blanks; the edges are trimmed.
QString cleaned(QString s) {
    for (QChar& c : s)
        if ((c.unicode() < 0x20 && c != u'\t') || c.unicode() == 0x7f)
            c = u' ';
    return s.trimmed();
}

// The right side of "address|User-Agent=x&Referer=y": '&'-separated name=value items.
bool looksLikeHeaders(QByteArrayView s) {
    bool any = false;
    for (qsizetype from = 0; from <= s.size();) {
        qsizetype to = s.indexOf('&', from);
        if (to < 0)
            to = s.size();
        const QByteArrayView item = s.sliced(from, to - from);
        if (!item.isEmpty()) {
            const qsizetype eq = item.indexOf('=');
            if (eq < 1)
                return false;
            for (const char c : item.first(eq))
                if (!isTokenChar(c))
                    return false;
            any = true;
        }
        from = to + 1;
    }
    return any;
}

struct Attributes {
    QString title, tvgId, tvgName, logo, country, group, userAgent, referrer;
};

class Reader {
public:
    Reader(const QByteArray& bytes, const QUrl& base) : bytes_(bytes), base_(base) {}

    PlaylistRead read(const std::atomic_bool* cancel, std::atomic<qint64>* progress);

private:
    QString decode(QByteArrayView s) const {
        return utf8_ ? QString::fromUtf8(s) : QString::fromLatin1(s);
    }
    void unreadable(int line) {
        ++result_.unreadable;
        if (result_.unreadableLines.size() < kListedUnreadable)
            result_.unreadableLines << line;
    }
    void readLine(QByteArrayView line, int number);
    void readExtinf(QByteArrayView rest);
    void readVlcOption(QByteArrayView option);
    void readAddress(QByteArrayView line, int number);
    void clearPending() {
        pending_.reset();
        pendingBroken_ = false;
        group_.clear();
        userAgent_.clear();
        referrer_.clear();
    }

    const QByteArray& bytes_;
    const QUrl base_;
    bool utf8_ = true;
    PlaylistRead result_;
    // What the lines before the next address said about it.
    std::optional<Attributes> pending_;
    int pendingLine_ = 0;
    bool pendingBroken_ = false; // the #EXTINF was binary garbage
    QString group_, userAgent_, referrer_;
};

PlaylistRead Reader::read(const std::atomic_bool* cancel, std::atomic<qint64>* progress) {
    QByteArrayView all(bytes_);
    qsizetype pos = 0;
    if (all.startsWith("\xEF\xBB\xBF"))
        pos = 3;
    utf8_ = all.sliced(pos).isValidUtf8();
    const qsizetype size = all.size();
    const char* data = all.data();
    int number = 0;
    qsizetype nextLf = -1;
    while (pos < size) {
        if (number % kLinesBetweenChecks == 0) {
            if (progress)
                progress->store(pos, std::memory_order_relaxed);
            if (cancel && cancel->load(std::memory_order_relaxed)) {
                result_.cancelled = true;
                return std::move(result_);
            }
        }
        // The next LF is searched for once for all the CR-only lines before it.
        if (nextLf < pos) {
            const void* lf = std::memchr(data + pos, '\n', size_t(size - pos));
            nextLf = lf ? static_cast<const char*>(lf) - data : size;
        }
        const void* cr = std::memchr(data + pos, '\r', size_t(nextLf - pos));
        const qsizetype end = cr ? static_cast<const char*>(cr) - data : nextLf;
        ++number;
        readLine(all.sliced(pos, end - pos), number);
        pos = end;
        if (pos < size) // one line end: LF, CR or CRLF
            pos += data[pos] == '\r' && pos + 1 < size && data[pos + 1] == '\n' ? 2 : 1;
    }
    if (pending_)
        unreadable(pendingLine_);
    if (progress)
        progress->store(size, std::memory_order_relaxed);
    return std::move(result_);
}

void Reader::readLine(QByteArrayView raw, int number) {
    const QByteArrayView line = trimmedBlanks(raw);
    if (line.isEmpty())
        return;
    // Binary garbage: on an address or an #EXTINF the entry is unreadable; elsewhere the line
    // is a comment. An unreadable entry counts once, at its first line.
    const bool garbage = hasControl(line);
    if (line[0] != '#') {
        if (garbage || pendingBroken_) {
            unreadable(pendingBroken_ ? pendingLine_ : number);
            clearPending();
        } else {
            readAddress(line, number);
        }
        return;
    }
    if (startsWithNoCase(line, "#EXTINF:")) {
        if (pending_)
            unreadable(pendingLine_);
        pendingLine_ = number;
        pendingBroken_ = garbage;
        if (garbage)
            pending_ = Attributes{};
        else
            readExtinf(line.sliced(8));
    } else if (garbage) {
    } else if (startsWithNoCase(line, "#EXTGRP:")) {
        group_ = decode(line.sliced(8)).trimmed();
    } else if (startsWithNoCase(line, "#EXTVLCOPT:")) {
        readVlcOption(line.sliced(11));
    }
    // #EXTM3U, #KODIPROP, other directives and comments say nothing we keep.
}

// "<duration> name="value" name='value' name=value ...,<title>"
void Reader::readExtinf(QByteArrayView s) {
    Attributes a;
    qsizetype i = 0;
    const qsizetype n = s.size();
    while (i < n && ((s[i] >= '0' && s[i] <= '9') || s[i] == '-' || s[i] == '+' || s[i] == '.'))
        ++i;
    while (i < n) {
        if (isBlank(s[i])) {
            ++i;
            continue;
        }
        if (s[i] == ',') {
            a.title = decode(s.sliced(i + 1)).trimmed();
            break;
        }
        const qsizetype keyFrom = i;
        while (i < n && s[i] != '=' && s[i] != ',' && !isBlank(s[i]))
            ++i;
        if (i >= n || s[i] != '=')
            continue; // a word without a value
        const LowerName key(s.sliced(keyFrom, i - keyFrom));
        ++i;
        qsizetype valueFrom = i;
        qsizetype valueTo;
        if (i < n && (s[i] == '"' || s[i] == '\'')) {
            const char quote = s[i];
            valueFrom = ++i;
            const qsizetype close = s.indexOf(quote, i);
            valueTo = close < 0 ? n : close;
            i = close < 0 ? n : close + 1;
        } else {
            while (i < n && s[i] != ',' && !isBlank(s[i]))
                ++i;
            valueTo = i;
        }
        QString* field = nullptr;
        if (key == "tvg-id")
            field = &a.tvgId;
        else if (key == "tvg-name")
            field = &a.tvgName;
        else if (key == "tvg-logo")
            field = &a.logo;
        else if (key == "tvg-country")
            field = &a.country;
        else if (key == "group-title")
            field = &a.group;
        else if (key == "http-user-agent" || key == "user-agent")
            field = &a.userAgent;
        else if (key == "http-referrer" || key == "http-referer" || key == "referrer" ||
                 key == "referer")
            field = &a.referrer;
        if (field)
            *field = decode(s.sliced(valueFrom, valueTo - valueFrom)).trimmed();
    }
    pending_ = std::move(a);
}

void Reader::readVlcOption(QByteArrayView option) {
    const qsizetype eq = option.indexOf('=');
    if (eq < 0)
        return;
    const LowerName key(trimmedBlanks(option.first(eq)));
    if (key == "http-user-agent")
        userAgent_ = decode(option.sliced(eq + 1)).trimmed();
    else if (key == "http-referrer" || key == "http-referer")
        referrer_ = decode(option.sliced(eq + 1)).trimmed();
}

void Reader::readAddress(QByteArrayView line, int number) {
    PlaylistEntry e;
    e.line = number;
    if (pending_) {
        e.userAgent = std::move(pending_->userAgent);
        e.referrer = std::move(pending_->referrer);
    }
    if (!userAgent_.isEmpty())
        e.userAgent = userAgent_;
    if (!referrer_.isEmpty())
        e.referrer = referrer_;

    QByteArrayView address = line;
    const qsizetype bar = line.lastIndexOf('|');
    if (bar >= 0 && looksLikeHeaders(line.sliced(bar + 1))) {
        address = trimmedBlanks(line.first(bar));
        const QByteArrayView headers = line.sliced(bar + 1);
        for (qsizetype from = 0; from < headers.size();) {
            qsizetype to = headers.indexOf('&', from);
            if (to < 0)
                to = headers.size();
            const QByteArrayView item = headers.sliced(from, to - from);
            from = to + 1;
            const qsizetype eq = item.indexOf('=');
            if (eq < 1)
                continue;
            const LowerName name(item.first(eq));
            QString* field = nullptr;
            if (name == "user-agent")
                field = &e.userAgent;
            else if (name == "referer" || name == "referrer")
                field = &e.referrer;
            if (field) {
                const QString value = decode(item.sliced(eq + 1));
                *field = cleaned(value.contains(u'%') ? QUrl::fromPercentEncoding(value.toUtf8())
                                                      : value);
            }
        }
    }

    if (address.isEmpty()) {
        unreadable(number);
        clearPending();
        return;
    }
    if (hasScheme(address)) {
        e.url = decode(address).trimmed();
    } else {
        const QUrl relative(decode(address).trimmed(), QUrl::TolerantMode);
        const QUrl resolved =
            base_.isEmpty() || !relative.isValid() ? QUrl() : base_.resolved(relative);
        if (!resolved.isValid() || resolved.scheme().isEmpty()) {
            unreadable(number);
            clearPending();
            return;
        }
        e.url = resolved.toString(QUrl::FullyEncoded);
    }

    if (pending_) {
        e.name = pending_->title.isEmpty() ? pending_->tvgName : std::move(pending_->title);
        e.tvgId = std::move(pending_->tvgId);
        e.tvgName = std::move(pending_->tvgName);
        e.logo = std::move(pending_->logo);
        e.country = std::move(pending_->country);
        e.group = std::move(pending_->group);
    } else {
        // No #EXTINF: the last segment of the path names the channel.
        QStringView path(e.url);
        const qsizetype query = path.indexOf(u'?');
        const qsizetype fragment = path.indexOf(u'#');
        path = path.first(
            std::min(query < 0 ? path.size() : query, fragment < 0 ? path.size() : fragment));
        e.name =
            cleaned(QUrl::fromPercentEncoding(path.sliced(path.lastIndexOf(u'/') + 1).toUtf8()));
        if (e.name.isEmpty())
            e.name = e.url;
    }
    if (e.group.isEmpty())
        e.group = group_;
    result_.entries.push_back(std::move(e));
    clearPending();
}

} // namespace

PlaylistRead readPlaylist(const QByteArray& bytes, const QUrl& base, const std::atomic_bool* cancel,
                          std::atomic<qint64>* progress) {
    return Reader(bytes, base).read(cancel, progress);
}

} // namespace zentuvo
