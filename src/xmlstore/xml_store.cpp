#include "xmlstore/xml_store.h"

#include "platform/file_system.h"
#include "xmlstore/document_bytes.h"
#include "xmlstore/element_path.h"
#include "xmlstore/element_text.h"

#include <QStringList>

#include <pugixml.hpp>

namespace pelorix::xmlstore {

namespace {

// A missing step of the walk: a new element under the parent, or as the document element when
// there is no parent step. Null when it cannot be created or attached.
pugi::xml_node appendNewElement(pugi::xml_document& document, const QString& step,
                                const QString* parentPath) {
    if (!isValidElementName(step)) {
        return {};
    }
    pugi::xml_node parent = document;
    if (parentPath) {
        parent = firstElementAt(document, *parentPath);
    } else if (document.document_element()) {
        return {};  // a document has only one document element
    }
    return parent ? parent.append_child(step.toUtf8().constData()) : pugi::xml_node();
}

// Runs a store operation; any exception, running out of memory included, ends in the fallback:
// the store's callers know only results.
template <typename Operation, typename Result>
Result guarded(Operation operation, Result fallback) {
    try {
        return operation();
    } catch (...) {
        return fallback;
    }
}

platform::Outcome exceptionOutcome() {
    return platform::Outcome::failure(QStringLiteral("stopped by an exception"));
}

}  // namespace

XmlStore::XmlStore(platform::FileSystem& files) : files_(files) {}

XmlStore::~XmlStore() = default;

platform::Outcome XmlStore::XMLLoadFile(const QString& fileName) {
    documentFile_ = fileName;
    return replaceDocument([&](pugi::xml_document& document) {
        const platform::Fallible<QByteArray> bytes = files_.readFile(fileName);
        return bytes ? parseDocumentBytes(document, *bytes)
                     : platform::Outcome::failure(bytes.reason());
    });
}

platform::Outcome XmlStore::XMLLoadText(const QString& xml) {
    return replaceDocument(
        [&](pugi::xml_document& document) { return parseDocumentText(document, xml); });
}

platform::Outcome XmlStore::replaceDocument(
    const std::function<platform::Outcome(pugi::xml_document&)>& parse) {
    document_.reset();
    platform::Outcome loaded = guarded(
        [&] {
            document_ = std::make_unique<pugi::xml_document>();
            return parse(*document_);
        },
        exceptionOutcome());
    if (!loaded && document_) {
        document_->reset();  // also after an exception halfway: an empty document, no partial tree
    }
    return loaded;
}

QString XmlStore::XMLGetValue(const QString& path, const QString& defaultValue) const {
    if (!document_) {
        return defaultValue;
    }
    return guarded(
        [&] {
            const pugi::xml_node element = firstElementAt(*document_, path);
            return element ? elementText(element) : defaultValue;
        },
        defaultValue);
}

void XmlStore::XMLSetValue(const QString& path, const QString& value) {
    if (document_) {
        guarded([&] { return setValue(path, value); }, false);
    }
}

bool XmlStore::setValue(const QString& path, const QString& value) {
    const QStringList steps = path.split('/');
    QString prefix;
    QString parentPath;
    for (qsizetype i = 0; i < steps.size(); ++i) {
        prefix += steps[i];
        pugi::xml_node element = firstElementAt(*document_, prefix);
        if (!element) {
            element = appendNewElement(*document_, steps[i], i == 0 ? nullptr : &parentPath);
        }
        if (element && i == steps.size() - 1) {
            replaceElementText(element, value);
        }
        parentPath = prefix;
        prefix += '/';
    }
    return true;
}

platform::Outcome XmlStore::XMLSave(const QString& fileName) {
    const QString target = fileName.isEmpty() ? documentFile_ : fileName;
    if (target.isEmpty() || !document_) {
        return platform::Outcome::failure(QStringLiteral("no file named"));
    }
    // Windows cannot name a file with wildcards; here they would create a file of that name.
    if (target.contains('*') || target.contains('?')) {
        return platform::Outcome::failure(QStringLiteral("a file name with wildcards"));
    }
    return guarded(
        [&] { return files_.replaceFileContents(target, serializeDocument(*document_)); },
        exceptionOutcome());
}

bool XmlStore::FileExists(const QString& path) const {
    return !path.isEmpty() && files_.anyMatch(path);
}

}  // namespace pelorix::xmlstore
