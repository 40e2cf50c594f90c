#include "platform/http_client.h"

namespace pelorix::platform {

// Plain text work: downloads side by side call this on several threads at once.
qint64 contentRangeStart(const QString& value) {
    const QString text = value.trimmed();
    if (!text.startsWith(QLatin1String("bytes "), Qt::CaseInsensitive)) {
        return -1;
    }
    const QString range = text.mid(6).trimmed();
    const qsizetype dash = range.indexOf(QLatin1Char('-'));
    const qsizetype slash = range.indexOf(QLatin1Char('/'));
    if (dash <= 0 || slash < dash) {
        return -1;
    }
    bool valid = false;
    const qint64 start = range.left(dash).toLongLong(&valid);
    return valid && start >= 0 ? start : -1;
}

HttpResult HttpClient::getFrom(const QString& url, const HttpLimits& limits,
                               const HttpContinuation&, const BodyStartSink& start,
                               const BodySink& sink) {
    bool started = false;
    return get(url, limits, [&](const char* data, qint64 size) {
        if (!started) {
            started = true;
            if (start && !start(HttpBodyStart{})) {
                return false;
            }
        }
        return sink(data, size);
    });
}

}  // namespace pelorix::platform
