#include "xmlstore/document_bytes.h"

#include "platform/text_codec.h"

#include <QRegularExpression>
#include <QStringDecoder>

namespace pelorix::xmlstore {

namespace {

// Whitespace between elements is kept, so that a save writes the document's own layout back.
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_declaration |
                                   pugi::parse_comments | pugi::parse_pi | pugi::parse_doctype |
                                   pugi::parse_ws_pcdata;

// Stops at the first element nested deeper than the limit.
class DepthCheck : public pugi::xml_tree_walker {
  public:
    bool for_each(pugi::xml_node& node) override {
        return node.type() != pugi::node_element || depth() < kMaxElementDepth;
    }
};

// One document element, no document type declaration (its entities could not be written back
// as they were) and no nesting beyond the limit.
platform::Outcome acceptance(pugi::xml_document& document) {
    int elements = 0;
    for (const pugi::xml_node& child : document.children()) {
        if (child.type() == pugi::node_doctype) {
            return platform::Outcome::failure(
                QStringLiteral("XML with a document type declaration"));
        }
        elements += child.type() == pugi::node_element ? 1 : 0;
    }
    if (elements != 1) {
        return platform::Outcome::failure(
            QStringLiteral("XML with %1 document elements instead of one").arg(elements));
    }
    DepthCheck depth;
    if (!document.traverse(depth)) {
        return platform::Outcome::failure(
            QStringLiteral("XML with elements nested deeper than %1 levels").arg(kMaxElementDepth));
    }
    return platform::Outcome::success();
}

// pugixml takes 8-bit text it reads as UTF-8 without checking it: bytes of another encoding
// would be written back unchanged under a declaration that names UTF-8.
bool isValidUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8);
    [[maybe_unused]] const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

platform::Outcome readTree(pugi::xml_document& document, const QByteArray& bytes,
                           pugi::xml_encoding encoding) {
    const pugi::xml_parse_result result =
        document.load_buffer(bytes.constData(), size_t(bytes.size()), kParseOptions, encoding);
    if (!result) {
        return platform::Outcome::failure(QStringLiteral("XML error at offset %1: %2")
                                              .arg(result.offset)
                                              .arg(result.description()));
    }
    if (result.encoding == pugi::encoding_utf8 && !isValidUtf8(bytes)) {
        return platform::Outcome::failure(QStringLiteral("XML in bytes that are not UTF-8"));
    }
    return acceptance(document);
}

platform::Outcome parse(pugi::xml_document& document, const QByteArray& bytes,
                        pugi::xml_encoding encoding) {
    platform::Outcome outcome = readTree(document, bytes, encoding);
    if (!outcome) {
        document.reset();  // a failed load leaves an empty document, not a partial tree
    }
    return outcome;
}

bool startsWithByteOrderMark(const QByteArray& bytes) {
    return bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFE\xFF") ||
           bytes.startsWith("\xFF\xFE");
}

// The encoding named by an XML declaration at the start of 8-bit bytes, or empty.
QString declaredEncoding(const QByteArray& bytes) {
    static const QRegularExpression declaration(
        R"(^\s*<\?xml\s[^>]*?encoding\s*=\s*["']([A-Za-z0-9._-]+)["'])");
    const QRegularExpressionMatch match = declaration.match(QString::fromLatin1(bytes.left(256)));
    return match.hasMatch() ? match.captured(1).toLower() : QString();
}

// Windows' own code page is decoded by the program's codec: Qt on Windows knows it only with ICU.
bool isWindows1252(const QString& encoding) {
    return encoding == u"windows-1252" || encoding == u"cp1252" || encoding == u"x-cp1252";
}

// Encodings that pugixml reads itself; every other declared encoding is decoded by Qt.
bool pugixmlReadsItself(const QString& encoding) {
    return encoding.isEmpty() || encoding.startsWith("utf");
}

class ByteWriter : public pugi::xml_writer {
  public:
    void write(const void* data, size_t size) override {
        bytes.append(static_cast<const char*>(data), qsizetype(size));
    }
    QByteArray bytes;
};

}  // namespace

platform::Outcome parseDocumentBytes(pugi::xml_document& document, const QByteArray& bytes) {
    const QString encoding = startsWithByteOrderMark(bytes) ? QString() : declaredEncoding(bytes);
    if (isWindows1252(encoding)) {
        return parse(document, platform::decodeAnsi(bytes).toUtf8(), pugi::encoding_utf8);
    }
    if (!pugixmlReadsItself(encoding)) {
        QStringDecoder decoder(encoding.toLatin1().constData());
        if (decoder.isValid()) {
            const QString text = decoder.decode(bytes);
            return parse(document, text.toUtf8(), pugi::encoding_utf8);
        }
    }
    return parse(document, bytes, pugi::encoding_auto);
}

platform::Outcome parseDocumentText(pugi::xml_document& document, const QString& text) {
    return parse(document, text.toUtf8(), pugi::encoding_utf8);
}

QByteArray serializeDocument(pugi::xml_document& document) {
    const pugi::xml_node first = document.first_child();
    if (first.type() == pugi::node_declaration && first.attribute("encoding")) {
        first.attribute("encoding").set_value("UTF-8");
    }
    // Each node at the top on a line of its own; inside the document element nothing is added
    // (pugixml keeps no whitespace outside it).
    ByteWriter writer;
    for (const pugi::xml_node& node : document.children()) {
        node.print(writer, "", pugi::format_raw, pugi::encoding_utf8);
        writer.write("\n", 1);
    }
    return writer.bytes;
}

}  // namespace pelorix::xmlstore
