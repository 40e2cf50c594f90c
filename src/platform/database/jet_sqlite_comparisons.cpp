#include "platform/database/jet_sqlite_types.h"

#include "platform/database/sql_tokens.h"

namespace pelorix::platform {

namespace {

bool isComparison(const QString& statement, const std::vector<Token>& tokens, size_t i) {
    if (i >= tokens.size() || tokens[i].kind != TokenKind::Symbol) {
        return false;
    }
    const QChar symbol = statement[tokens[i].start];
    return symbol == u'=' || symbol == u'<' || symbol == u'>';
}

}  // namespace

QString jetComparisonsToSqlite(const QString& statement) {
    const std::vector<Token> tokens = tokenize(statement);
    QString result = statement;
    // From the end backwards, so that the earlier offsets stay valid.
    for (size_t i = tokens.size(); i-- > 0;) {
        const bool compared = (i > 0 && isComparison(statement, tokens, i - 1)) ||
                              isComparison(statement, tokens, i + 1);
        if (tokens[i].kind == TokenKind::Literal && compared) {
            result.insert(tokens[i].end, QStringLiteral(" COLLATE NOCASE"));
        }
    }
    return result;
}

}  // namespace pelorix::platform
