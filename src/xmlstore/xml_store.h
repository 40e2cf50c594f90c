#pragma once

#include "platform/outcome.h"

#include <QString>

#include <functional>
#include <memory>

namespace pugi {
class xml_document;
}

namespace pelorix::platform {
class FileSystem;
}

namespace pelorix::xmlstore {

// The module XML: one XML document in memory, read and written by slash-separated element paths
// such as processes/process[@name="PelorixService"]/targetstatus. A path selects what the XPath
// "//" + path selects; where one element is needed, the first in document order is used. No
// operation throws: a failure, running out of memory included, is a result with its reason.
class XmlStore {
  public:
    explicit XmlStore(platform::FileSystem& files);
    ~XmlStore();
    XmlStore(const XmlStore&) = delete;
    XmlStore& operator=(const XmlStore&) = delete;

    // The original XMLLoad(source, mode): mode 0 is XMLLoadFile, mode 1 XMLLoadText. Every load
    // replaces the document, also when it fails: then the document is empty.

    // Reads the document from a file; the name is kept for XMLSave even when the load fails.
    platform::Outcome XMLLoadFile(const QString& fileName);
    // Reads the document from XML text.
    platform::Outcome XMLLoadText(const QString& xml);
    // The concatenated text of the first element at the path, or the default when there is none.
    QString XMLGetValue(const QString& path, const QString& defaultValue) const;
    // Replaces the element's whole content by the value, creating missing plain-named elements.
    void XMLSetValue(const QString& path, const QString& value);
    // Writes the document (empty name: the file of the last load) through a temporary file, so a
    // failed save leaves the old file as it was.
    platform::Outcome XMLSave(const QString& fileName);
    // Find-first-file: wildcards honoured; folders, hidden and system files count.
    bool FileExists(const QString& path) const;

  private:
    platform::Outcome replaceDocument(
        const std::function<platform::Outcome(pugi::xml_document&)>& parse);
    bool setValue(const QString& path, const QString& value);

    platform::FileSystem& files_;
    // The original XMLDoc and XMLFileName.
    std::unique_ptr<pugi::xml_document> document_;
    QString documentFile_;  // of the last load from a file, for XMLSave without a name
};

}  // namespace pelorix::xmlstore
