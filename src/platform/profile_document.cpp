#include "platform/profile_document.h"

#include "platform/text_codec.h"

#include <utility>

namespace pelorix::platform {
namespace {

const QByteArray kWindowsLineEnd = QByteArrayLiteral("\r\n");

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\v' || c == u'\f';
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

// For a QString or the bytes of a line alike.
template <typename Text>
qsizetype skipBlanks(const Text& text, qsizetype from, qsizetype to) {
    while (from < to && isBlank(text[from])) {
        ++from;
    }
    return from;
}

template <typename Text>
qsizetype dropTrailingBlanks(const Text& text, qsizetype from, qsizetype to) {
    while (to > from && isBlank(text[to - 1])) {
        --to;
    }
    return to;
}

QString withoutBlanks(const QString& text, qsizetype from, qsizetype to) {
    from = skipBlanks(text, from, to);
    return text.mid(from, dropTrailingBlanks(text, from, to) - from);
}

QString withoutBlanks(const QString& text) {
    return withoutBlanks(text, 0, text.size());
}

bool sameProfileName(const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

QString withoutEnclosingQuotes(const QString& value) {
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front()) {
        return value.mid(1, value.size() - 2);
    }
    return value;
}

}  // namespace

ProfileDocument::ProfileDocument(QByteArray bytes) : bytes_(std::move(bytes)) {
    parse();
}

// Lines end in CR LF, LF or a lone CR; a file may mix them. The lines are taken apart on their
// bytes: the characters that matter here are ASCII, which Windows-1252 keeps as they are.
void ProfileDocument::parse() {
    lines_.clear();
    firstSections_.clear();
    const char* data = bytes_.constData();
    const qsizetype size = bytes_.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char c = data[i];
        if (c != '\r' && c != '\n') {
            continue;
        }
        const qsizetype endLength = (c == '\r' && i + 1 < size && data[i + 1] == '\n') ? 2 : 1;
        lines_.push_back(parseLine(start, i - start, endLength));
        i += endLength - 1;
        start = i + 1;
    }
    if (start < size) {
        lines_.push_back(parseLine(start, size - start, 0));
    }
    indexSections();
}

void ProfileDocument::indexSections() {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind != Kind::Section) {
            continue;
        }
        const QString name = nameOf(lines_[i]).toCaseFolded();
        if (!firstSections_.contains(name)) {
            firstSections_.insert(name, i);
        }
    }
}

ProfileDocument::Line ProfileDocument::parseLine(qsizetype start, qsizetype length,
                                                 qsizetype endLength) const {
    Line line;
    line.start = start;
    line.length = length;
    line.endLength = endLength;
    const QByteArrayView text(bytes_.constData() + start, length);
    const qsizetype first = skipBlanks(text, 0, length);
    if (first == length) {
        return line;
    }
    if (text[first] == ';') {
        line.kind = Kind::Comment;
        return line;
    }
    const qsizetype close = text.lastIndexOf(']');
    if (text[first] == '[' && close > first) {
        line.kind = Kind::Section;
        setName(line, text, first + 1, close);
        return line;
    }
    // Anything else inside a section is a key; one without "=" has no value.
    line.kind = Kind::Key;
    const qsizetype equals = text.indexOf('=', first);
    if (equals < 0) {
        setName(line, text, first, length);
        return line;
    }
    setName(line, text, first, equals);
    line.valueStart = skipBlanks(text, equals + 1, length);
    line.valueEnd = dropTrailingBlanks(text, line.valueStart, length);
    return line;
}

void ProfileDocument::setName(Line& line, QByteArrayView text, qsizetype from, qsizetype to) {
    line.nameStart = skipBlanks(text, from, to);
    line.nameEnd = dropTrailingBlanks(text, line.nameStart, to);
}

QString ProfileDocument::nameOf(const Line& line) const {
    return decodeAnsi(bytes_.mid(line.start + line.nameStart, line.nameEnd - line.nameStart));
}

// One byte is one character in Windows-1252, so offsets in the text are offsets in the file.
QString ProfileDocument::textOf(const Line& line) const {
    return decodeAnsi(bytes_.mid(line.start, line.length));
}

std::optional<std::size_t> ProfileDocument::findSection(const QString& section) const {
    const auto found = firstSections_.constFind(withoutBlanks(section).toCaseFolded());
    if (found == firstSections_.cend()) {
        return std::nullopt;
    }
    return *found;
}

std::size_t ProfileDocument::sectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < lines_.size() && lines_[i].kind != Kind::Section) {
        ++i;
    }
    return i;
}

std::optional<std::size_t> ProfileDocument::findKey(std::size_t header, const QString& key) const {
    const QString wanted = withoutBlanks(key);
    const std::size_t end = sectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        if (lines_[i].kind == Kind::Key && sameProfileName(nameOf(lines_[i]), wanted)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<QString> ProfileDocument::value(const QString& section, const QString& key) const {
    const auto header = findSection(section);
    const auto found = header ? findKey(*header, key) : std::nullopt;
    if (!found) {
        return std::nullopt;
    }
    // A key line without "=" holds the key but no value: the reader gets its default, and a
    // later line of the same key stays hidden behind it.
    const Line& line = lines_[*found];
    if (line.valueStart < 0) {
        return std::nullopt;
    }
    return withoutEnclosingQuotes(
        textOf(line).mid(line.valueStart, line.valueEnd - line.valueStart));
}

void ProfileDocument::setValue(const QString& section, const QString& key, const QString& value) {
    const QByteArray lineEnd = lineEndStyle();
    const QByteArray keyLine = encodeAnsi(withoutBlanks(key) + u'=' + value) + lineEnd;
    const auto header = findSection(section);
    if (!header) {
        QByteArray added;
        if (!lines_.empty() && lines_.back().endLength == 0) {
            added += lineEnd;
        }
        added += encodeAnsi(u'[' + withoutBlanks(section) + u']') + lineEnd + keyLine;
        bytes_ += added;
    } else if (const auto found = findKey(*header, key)) {
        replaceValue(lines_[*found], value);
    } else {
        // After the section's last key, so that blank lines before the next section stay there.
        std::size_t last = *header;
        const std::size_t end = sectionEnd(*header);
        for (std::size_t i = *header + 1; i < end; ++i) {
            if (lines_[i].kind == Kind::Key) {
                last = i;
            }
        }
        insertAfter(last, keyLine);
    }
    parse();
}

// The line keeps its name and everything up to the old value; blanks after it are dropped.
void ProfileDocument::replaceValue(const Line& line, const QString& value) {
    QByteArray kept;
    if (line.valueStart >= 0) {
        kept = bytes_.mid(line.start, line.valueStart);
    } else {
        const QString text = textOf(line);
        kept = bytes_.mid(line.start, dropTrailingBlanks(text, 0, text.size())) + '=';
    }
    bytes_.replace(line.start, line.length, kept + encodeAnsi(value));
}

void ProfileDocument::insertAfter(std::size_t index, const QByteArray& newLines) {
    const Line& line = lines_[index];
    const qsizetype at = line.start + line.length + line.endLength;
    bytes_.insert(at, line.endLength == 0 ? lineEndStyle() + newLines : newLines);
}

// The file's own line end, taken from its first line; CR LF for a file without one.
QByteArray ProfileDocument::lineEndStyle() const {
    for (const Line& line : lines_) {
        if (line.endLength > 0) {
            return bytes_.mid(line.start + line.length, line.endLength);
        }
    }
    return kWindowsLineEnd;
}

}  // namespace pelorix::platform
