#include "platform/database/jet_access_odbc.h"

#include "platform/database/sql_tokens.h"

#include <QDir>

#include <algorithm>
#include <vector>

namespace pelorix::platform {

namespace {

class Ansi89Definitions {
  public:
    explicit Ansi89Definitions(const QString& statement) : s_(statement), t_(tokenize(statement)) {}

    QString run() {
        if (!isWord(0, "create") && !isWord(0, "alter")) {
            return s_;
        }
        for (size_t i = 1; i < t_.size(); ++i) {
            if (isWord(i, "default")) {
                i = dropFrom(i, valueEnd(i + 1));
            } else if (isWord(i, "with") &&
                       (isWord(i + 1, "compression") || isWord(i + 1, "comp"))) {
                i = dropFrom(i, i + 1);
            }
        }
        return kept_ + s_.mid(copiedUpTo_);
    }

  private:
    bool isWord(size_t i, const char* word) const {
        return i < t_.size() && t_[i].kind == TokenKind::Word &&
               QStringView(s_)
                       .mid(t_[i].start, t_[i].end - t_[i].start)
                       .compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }
    bool isSymbol(size_t i, char16_t symbol) const {
        return i < t_.size() && t_[i].kind == TokenKind::Symbol && s_[t_[i].start] == symbol;
    }

    // The last token of the value that begins at i: a parenthesised expression, or one token
    // after an optional sign.
    size_t valueEnd(size_t i) const {
        if (isSymbol(i, u'(')) {
            int depth = 0;
            for (size_t j = i; j < t_.size(); ++j) {
                depth += isSymbol(j, u'(') ? 1 : isSymbol(j, u')') ? -1 : 0;
                if (depth == 0) {
                    return j;
                }
            }
            return t_.size() - 1;
        }
        const bool signed_ = isSymbol(i, u'-') || isSymbol(i, u'+');
        return std::min(signed_ ? i + 1 : i, t_.size() - 1);
    }

    // Removes the tokens first…last with the blanks before them; gives the last one.
    size_t dropFrom(size_t first, size_t last) {
        const qsizetype start = t_[first - 1].end;
        kept_ += s_.mid(copiedUpTo_, start - copiedUpTo_);
        copiedUpTo_ = t_[last].end;
        return last;
    }

    const QString& s_;
    std::vector<Token> t_;
    QString kept_;
    qsizetype copiedUpTo_ = 0;
};

}  // namespace

QString accessOdbcString(const QString& driver, const QString& file, bool readOnly) {
    // A name with a semicolon would end the value early; in braces it is read as it stands.
    const QString native = QDir::toNativeSeparators(file);
    const QString database = native.contains(u';') ? u'{' + native + u'}' : native;
    QString text = QStringLiteral("Driver={") + driver + QStringLiteral("};DBQ=") + database;
    if (readOnly) {
        text += QStringLiteral(";ReadOnly=1");
    }
    return text;
}

QString jetForAccessOdbc(const QString& statement) {
    return Ansi89Definitions(statement).run();
}

}  // namespace pelorix::platform
