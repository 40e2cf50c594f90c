#include "platform/database/sql_tokens.h"

namespace pelorix::platform {

namespace {

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

// The end of a quoted piece that starts at pos; a doubled closing character stays inside.
qsizetype quotedEnd(const QString& s, qsizetype pos, QChar close) {
    for (++pos; pos < s.size(); ++pos) {
        if (s[pos] == close) {
            if (pos + 1 < s.size() && s[pos + 1] == close && close != u']') {
                ++pos;
                continue;
            }
            return pos + 1;
        }
    }
    return s.size();
}

qsizetype commentEnd(const QString& s, qsizetype pos) {
    if (s.mid(pos, 2) == u"--") {
        const qsizetype eol = s.indexOf(u'\n', pos);
        return eol < 0 ? s.size() : eol;
    }
    const qsizetype close = s.indexOf(u"*/", pos + 2);
    return close < 0 ? s.size() : close + 2;
}

}  // namespace

std::vector<Token> tokenize(const QString& s) {
    std::vector<Token> tokens;
    qsizetype pos = 0;
    while (pos < s.size()) {
        const QChar c = s[pos];
        const qsizetype start = pos;
        if (c.isSpace()) {
            ++pos;
        } else if (s.mid(pos, 2) == u"--" || s.mid(pos, 2) == u"/*") {
            pos = commentEnd(s, pos);
        } else if (c == u'[' || c == u'"' || c == u'`') {
            pos = quotedEnd(s, pos, c == u'[' ? QChar(u']') : c);
            tokens.push_back({TokenKind::QuotedName, start, pos});
        } else if (c == u'\'') {
            pos = quotedEnd(s, pos, c);
            tokens.push_back({TokenKind::Literal, start, pos});
        } else if (isWordChar(c)) {
            while (pos < s.size() && isWordChar(s[pos])) {
                ++pos;
            }
            tokens.push_back({c.isDigit() ? TokenKind::Number : TokenKind::Word, start, pos});
        } else {
            tokens.push_back({TokenKind::Symbol, start, ++pos});
        }
    }
    return tokens;
}

}  // namespace pelorix::platform
