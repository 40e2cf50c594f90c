#include "platform/database/connection_string.h"

#include <QStringList>
#include <QtGlobal>

#include <initializer_list>
#include <optional>

namespace pelorix::platform {

using namespace Qt::StringLiterals;

namespace {

// Reads a value from pos up to and past the ";" that ends it.
QString readValue(const QString& text, qsizetype& pos) {
    const qsizetype n = text.size();
    while (pos < n && text[pos].isSpace()) {
        ++pos;
    }
    QString value;
    const QChar first = pos < n ? text[pos] : QChar();
    if (first == u'"' || first == u'\'' || first == u'{') {
        const QChar close = first == u'{' ? QChar(u'}') : first;
        for (++pos; pos < n; ++pos) {
            if (text[pos] != close) {
                value += text[pos];
            } else if (pos + 1 < n && text[pos + 1] == close) {
                value += close;
                ++pos;
            } else {
                ++pos;
                break;
            }
        }
        while (pos < n && text[pos] != u';') {
            ++pos;
        }
    } else {
        while (pos < n && text[pos] != u';') {
            value += text[pos++];
        }
        value = value.trimmed();
    }
    ++pos;
    return value;
}

// Reads a keyword up to its "=" ("==" stands for a "=" inside the keyword); false when the
// segment ends without one.
bool readKeyword(const QString& text, qsizetype& pos, QString& keyword) {
    const qsizetype n = text.size();
    while (pos < n && text[pos] != u';') {
        if (text[pos] == u'=') {
            if (pos + 1 < n && text[pos + 1] == u'=') {
                keyword += u'=';
                pos += 2;
                continue;
            }
            ++pos;
            return true;
        }
        keyword += text[pos++];
    }
    ++pos;
    return false;
}

std::optional<QString> valueOf(const ConnectionPairs& pairs,
                               std::initializer_list<const char*> keywords) {
    for (const auto& [key, value] : pairs) {
        for (const char* wanted : keywords) {
            if (key.compare(QLatin1String(wanted), Qt::CaseInsensitive) == 0) {
                return value;
            }
        }
    }
    return std::nullopt;
}

bool isAnyOf(const QString& value, std::initializer_list<const char*> words) {
    for (const char* word : words) {
        if (value.trimmed().compare(QLatin1String(word), Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

// ODBC values that hold separators, braces or outer blanks go into braces.
QString odbcValue(const QString& value) {
    const bool plain = !value.isEmpty() && !value.contains(u';') && !value.contains(u'{') &&
                       !value.contains(u'}') && value == value.trimmed();
    if (plain) {
        return value;
    }
    return u'{' + QString(value).replace(u"}"_s, u"}}"_s) + u'}';
}

QString stripProtocol(const QString& dataSource) {
    for (const char* prefix : {"tcp:", "np:", "lpc:", "admin:"}) {
        if (dataSource.startsWith(QLatin1String(prefix), Qt::CaseInsensitive)) {
            return dataSource.mid(qsizetype(qstrlen(prefix)));
        }
    }
    return dataSource;
}

// "(local)" and "." name this machine, which FreeTDS reaches over TCP only.
QString hostForFreeTds(const QString& host) {
    const qsizetype slash = host.indexOf(u'\\');
    const QString machine = (slash < 0 ? host : host.left(slash)).trimmed();
    const QString instance = slash < 0 ? QString() : host.mid(slash);
    if (machine.isEmpty() || isAnyOf(machine, {"(local)", "."})) {
        return u"localhost"_s + instance;
    }
    return machine + instance;
}

// FreeTDS is named by its registered name or by the file of its library.
bool isFreeTds(const QString& driverName) {
    return driverName.contains(u"freetds", Qt::CaseInsensitive) ||
           driverName.contains(u"tdsodbc", Qt::CaseInsensitive);
}

bool isEmbeddedProvider(const ConnectionPairs& pairs) {
    const QString name = valueOf(pairs, {"Provider"}).value_or(QString()).trimmed().toLower();
    return name.startsWith(u"microsoft.jet.oledb") || name.startsWith(u"microsoft.ace.oledb");
}

// ADO's 0 means "wait for ever", which this program never does: it counts as not given.
std::optional<std::chrono::seconds> connectTimeout(const ConnectionPairs& pairs) {
    bool valid = false;
    const int seconds = valueOf(pairs, {"Connect Timeout", "Connection Timeout"})
                            .value_or(QString())
                            .trimmed()
                            .toInt(&valid);
    return valid && seconds > 0 ? std::optional(std::chrono::seconds(seconds)) : std::nullopt;
}

DatabaseTarget mapPairs(const ConnectionPairs& pairs, const QString& adoConnectionString,
                        const QString& sqlServerOdbcDriver) {
    if (isEmbeddedProvider(pairs)) {
        return {DatabaseKind::Embedded,
                valueOf(pairs, {"Data Source"}).value_or(QString()),
                {},
                std::nullopt};
    }
    if (const auto provider = valueOf(pairs, {"Provider"})) {
        const QString name = provider->trimmed().toLower();
        if (name.startsWith(u"sqloledb") || name.startsWith(u"sqlncli") ||
            name.startsWith(u"msoledbsql")) {
            return {DatabaseKind::Odbc,
                    sqlServerOdbcString(pairs, sqlServerOdbcDriver),
                    {},
                    std::nullopt};
        }
        if (name.startsWith(u"msdasql")) {
            ConnectionPairs rest;
            for (const auto& pair : pairs) {
                if (pair.first.compare(u"Provider", Qt::CaseInsensitive) != 0) {
                    rest.push_back(pair);
                }
            }
            return {DatabaseKind::Odbc, buildOdbcString(rest), {}, std::nullopt};
        }
        return {DatabaseKind::Unsupported,
                {},
                u"Provider cannot be found. It may not be properly installed."_s,
                std::nullopt};
    }
    if (valueOf(pairs, {"Driver", "DSN", "FileDSN"})) {
        return {DatabaseKind::Odbc, adoConnectionString, {}, std::nullopt};
    }
    return {DatabaseKind::Unsupported,
            {},
            u"Data source name not found and no default driver specified"_s,
            std::nullopt};
}

}  // namespace

QString buildOdbcString(const ConnectionPairs& pairs) {
    QStringList parts;
    for (const auto& [key, value] : pairs) {
        parts << key + u'=' + odbcValue(value);
    }
    return parts.join(u';');
}

ConnectionPairs parseConnectionString(const QString& text) {
    ConnectionPairs pairs;
    qsizetype pos = 0;
    while (pos < text.size()) {
        QString keyword;
        if (!readKeyword(text, pos, keyword)) {
            continue;
        }
        QString value = readValue(text, pos);
        keyword = keyword.trimmed();
        if (!keyword.isEmpty()) {
            pairs.emplace_back(keyword, value);
        }
    }
    return pairs;
}

QString sqlServerOdbcString(const ConnectionPairs& adoPairs, const QString& driverName) {
    const QString dataSource = stripProtocol(
        valueOf(adoPairs, {"Data Source", "Server", "Address", "Addr", "Network Address"})
            .value_or(QString())
            .trimmed());
    ConnectionPairs odbc{{u"Driver"_s, driverName}};
    if (isFreeTds(driverName)) {
        const qsizetype comma = dataSource.indexOf(u',');
        const QString port = comma < 0 ? QString() : dataSource.mid(comma + 1).trimmed();
        odbc.emplace_back(u"Server"_s,
                          hostForFreeTds(comma < 0 ? dataSource : dataSource.left(comma)));
        if (!port.isEmpty()) {
            odbc.emplace_back(u"Port"_s, port);
        }
        // A fixed protocol version: when FreeTDS guesses it, a server that never answers makes
        // it fall back to the Sybase protocol and then hang on disconnecting, login timeout or
        // not.
        odbc.emplace_back(u"TDS_Version"_s, u"7.4"_s);
    } else {
        // Microsoft's drivers read "host,port", "(local)" and "." themselves.
        odbc.emplace_back(u"Server"_s, dataSource);
    }
    if (const auto catalog = valueOf(adoPairs, {"Initial Catalog", "Database"})) {
        odbc.emplace_back(u"Database"_s, *catalog);
    }
    const auto integrated = valueOf(adoPairs, {"Integrated Security", "Trusted_Connection"});
    if (integrated && isAnyOf(*integrated, {"SSPI", "true", "yes"})) {
        odbc.emplace_back(u"Trusted_Connection"_s, u"Yes"_s);
    } else {
        if (const auto user = valueOf(adoPairs, {"User Id", "User", "UID"})) {
            odbc.emplace_back(u"UID"_s, *user);
        }
        if (const auto password = valueOf(adoPairs, {"Password", "PWD"})) {
            odbc.emplace_back(u"PWD"_s, *password);
        }
    }
    return buildOdbcString(odbc);
}

bool namesEmbeddedDatabase(const QString& adoConnectionString) {
    return isEmbeddedProvider(parseConnectionString(adoConnectionString));
}

std::optional<QString> embeddedDatabaseFile(const QString& adoConnectionString) {
    const ConnectionPairs pairs = parseConnectionString(adoConnectionString);
    if (!isEmbeddedProvider(pairs)) {
        return std::nullopt;
    }
    return valueOf(pairs, {"Data Source"}).value_or(QString());
}

DatabaseTarget mapConnectionString(const QString& adoConnectionString,
                                   const QString& sqlServerOdbcDriver) {
    const ConnectionPairs pairs = parseConnectionString(adoConnectionString);
    DatabaseTarget target = mapPairs(pairs, adoConnectionString, sqlServerOdbcDriver);
    target.connectTimeout = connectTimeout(pairs);
    return target;
}

}  // namespace pelorix::platform
