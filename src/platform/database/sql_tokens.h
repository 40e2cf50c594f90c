#pragma once

#include <QString>

#include <vector>

namespace pelorix::platform {

enum class TokenKind { Word, QuotedName, Literal, Number, Symbol };

// A piece of a SQL statement, from start up to end.
struct Token {
    TokenKind kind;
    qsizetype start;
    qsizetype end;
};

// The statement's words, names in brackets or quotes, text literals, numbers and symbols, in
// order; blanks and comments are skipped.
std::vector<Token> tokenize(const QString& statement);

}  // namespace pelorix::platform
