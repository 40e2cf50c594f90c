#include "platform/database/jet_sqlite_types.h"

#include "platform/database/sql_tokens.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

namespace pelorix::platform {

namespace {

struct Edit {
    qsizetype start;
    qsizetype end;
    QString replacement;
};

class TypeMapper {
  public:
    explicit TypeMapper(const QString& statement) : s_(statement), t_(tokenize(statement)) {}

    QString run();

  private:
    QStringView text(size_t i) const {
        return QStringView(s_).mid(t_[i].start, t_[i].end - t_[i].start);
    }
    bool isWord(size_t i, const char* word) const {
        return i < t_.size() && t_[i].kind == TokenKind::Word &&
               text(i).compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }
    bool isSymbol(size_t i, char16_t symbol) const {
        return i < t_.size() && t_[i].kind == TokenKind::Symbol && s_[t_[i].start] == symbol;
    }
    bool isAnyWord(size_t i, std::initializer_list<const char*> words) const {
        return std::any_of(words.begin(), words.end(), [&](const char* w) { return isWord(i, w); });
    }

    size_t skipQualifiedName(size_t i) const;
    size_t matchingParen(size_t open, size_t end) const;
    void mapColumnList(size_t begin, size_t end);
    void mapColumn(size_t begin, size_t end);
    void mapCounter(size_t type, size_t end, bool primaryKey);
    void dropCompression(size_t begin, size_t end);
    QString applyEdits();

    const QString& s_;
    std::vector<Token> t_;
    std::vector<Edit> edits_;
};

size_t TypeMapper::skipQualifiedName(size_t i) const {
    ++i;
    while (isSymbol(i, u'.') && i + 1 < t_.size()) {
        i += 2;
    }
    return i;
}

size_t TypeMapper::matchingParen(size_t open, size_t end) const {
    int depth = 0;
    for (size_t i = open; i < end; ++i) {
        depth += isSymbol(i, u'(') ? 1 : isSymbol(i, u')') ? -1 : 0;
        if (depth == 0) {
            return i;
        }
    }
    return end;
}

// Column definitions separated by commas at the outer level, from begin up to end.
void TypeMapper::mapColumnList(size_t begin, size_t end) {
    size_t element = begin;
    int depth = 0;
    for (size_t i = begin; i <= end; ++i) {
        if (i == end || (depth == 0 && isSymbol(i, u','))) {
            mapColumn(element, i);
            element = i + 1;
        } else if (isSymbol(i, u'(')) {
            ++depth;
        } else if (isSymbol(i, u')')) {
            --depth;
        }
    }
}

void TypeMapper::mapColumn(size_t begin, size_t end) {
    const size_t type = begin + 1;
    if (type >= end || t_[type].kind != TokenKind::Word) {
        return;
    }
    const bool namedColumn = t_[begin].kind == TokenKind::QuotedName ||
                             (t_[begin].kind == TokenKind::Word &&
                              !isAnyWord(begin, {"constraint", "primary", "unique", "foreign",
                                                 "check", "key", "index"}));
    if (!namedColumn) {
        return;
    }
    bool primaryKey = false;
    for (size_t i = type + 1; i + 1 < end; ++i) {
        primaryKey = primaryKey || (isWord(i, "primary") && isWord(i + 1, "key"));
    }
    static const std::initializer_list<std::pair<const char*, const char*>> kSimpleTypes = {
        {"integer", "INTEGER"},
        {"string", "VARCHAR"},
        {"memo", "TEXT"},
        {"yesno", "BOOLEAN"},
        {"date", "DATETIME"}};
    if (isWord(type, "counter")) {
        mapCounter(type, end, primaryKey);
    }
    for (const auto& [jet, sqlite] : kSimpleTypes) {
        if (isWord(type, jet)) {
            edits_.push_back({t_[type].start, t_[type].end, QString::fromLatin1(sqlite)});
        }
    }
    dropCompression(type + 1, end);
}

// Only an INTEGER PRIMARY KEY numbers new rows by itself in SQLite; Jet's seed and step have no
// counterpart there (numbering starts at 1 and steps by 1, as Jet's default does).
void TypeMapper::mapCounter(size_t type, size_t end, bool primaryKey) {
    qsizetype editEnd = t_[type].end;
    if (isSymbol(type + 1, u'(')) {
        const size_t close = matchingParen(type + 1, end);
        editEnd = close < end ? t_[close].end : t_[end - 1].end;
    }
    edits_.push_back({t_[type].start, editEnd,
                      primaryKey ? QStringLiteral("INTEGER")
                                 : QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT")});
}

void TypeMapper::dropCompression(size_t begin, size_t end) {
    for (size_t i = begin; i + 1 < end; ++i) {
        if (isWord(i, "with") && isAnyWord(i + 1, {"compression", "comp"})) {
            edits_.push_back({t_[i].start, t_[i + 1].end, QString()});
        }
    }
}

QString TypeMapper::run() {
    if (isWord(0, "create") && isWord(1, "table")) {
        const size_t open = skipQualifiedName(2);
        if (isSymbol(open, u'(')) {
            mapColumnList(open + 1, matchingParen(open, t_.size()));
        }
    } else if (isWord(0, "alter") && isWord(1, "table")) {
        size_t i = skipQualifiedName(2);
        size_t end = i;
        while (end < t_.size() && !isSymbol(end, u';')) {
            ++end;
        }
        if (isWord(i, "add")) {
            mapColumnList(isWord(i + 1, "column") ? i + 2 : i + 1, end);
        } else if (isWord(i, "alter") && isWord(i + 1, "column")) {
            mapColumn(i + 2, end);
        }
    }
    return applyEdits();
}

// Edits are applied from the end backwards so that earlier offsets stay valid. An edit inside
// another (the compression attribute within a counter's parentheses) is already covered by the
// outer one; applying both would cut the statement.
QString TypeMapper::applyEdits() {
    std::sort(edits_.begin(), edits_.end(), [](const Edit& a, const Edit& b) {
        return a.start != b.start ? a.start < b.start : a.end > b.end;
    });
    std::vector<Edit> kept;
    for (const Edit& edit : edits_) {
        if (kept.empty() || edit.start >= kept.back().end) {
            kept.push_back(edit);
        }
    }
    QString result = s_;
    for (auto edit = kept.rbegin(); edit != kept.rend(); ++edit) {
        result.replace(edit->start, edit->end - edit->start, edit->replacement);
    }
    return result;
}

}  // namespace

QString jetTypesToSqlite(const QString& statement) {
    return TypeMapper(statement).run();
}

}  // namespace pelorix::platform
