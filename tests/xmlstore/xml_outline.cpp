#include "xml_outline.h"

#include <QXmlStreamReader>

namespace pelorix::test {

QString xmlOutline(const QByteArray& bytes) {
    QXmlStreamReader reader(bytes);
    QString outline;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
            case QXmlStreamReader::StartElement:
                outline += "<" + reader.name().toString();
                for (const QXmlStreamAttribute& attribute : reader.attributes()) {
                    outline += QString(" %1=\"%2\"").arg(attribute.name(), attribute.value());
                }
                outline += ">";
                break;
            case QXmlStreamReader::EndElement:
                outline += "</" + reader.name().toString() + ">";
                break;
            case QXmlStreamReader::Characters:
                if (!reader.isWhitespace()) {
                    outline += reader.text().toString();
                }
                break;
            default:
                break;
        }
    }
    return reader.hasError() ? QString("invalid") : outline;
}

}  // namespace pelorix::test
