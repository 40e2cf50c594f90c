#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>

#include <optional>
#include <vector>

namespace pelorix::platform {

// The bytes of a profile (INI) file read line by line the way the Windows profile functions
// read them. A change rewrites only the line it concerns (or adds lines); every other byte of
// the file, line ends included, stays as it was.
class ProfileDocument {
  public:
    explicit ProfileDocument(QByteArray bytes);

    // The value of the first matching key in the first matching section, without a pair of
    // enclosing quotes; nullopt when the section or key is missing.
    std::optional<QString> value(const QString& section, const QString& key) const;
    // Changes the first matching key, else adds the key at the end of its section, else adds
    // the section at the end of the file.
    void setValue(const QString& section, const QString& key, const QString& value);

    const QByteArray& bytes() const { return bytes_; }

  private:
    enum class Kind { Blank, Comment, Section, Key };
    struct Line {
        qsizetype start = 0;      // byte offset of the line in the file
        qsizetype length = 0;     // without the line end
        qsizetype endLength = 0;  // 0 for a last line without a line end
        Kind kind = Kind::Blank;
        qsizetype nameStart = 0;    // within the line: the section's or key's name, blanks
        qsizetype nameEnd = 0;      // dropped
        qsizetype valueStart = -1;  // within the line; -1 for a key line without "="
        qsizetype valueEnd = -1;
    };

    void parse();
    Line parseLine(qsizetype start, qsizetype length, qsizetype endLength) const;
    static void setName(Line& line, QByteArrayView text, qsizetype from, qsizetype to);
    void indexSections();
    std::optional<std::size_t> findSection(const QString& section) const;
    std::size_t sectionEnd(std::size_t header) const;
    std::optional<std::size_t> findKey(std::size_t header, const QString& key) const;
    QString textOf(const Line& line) const;
    QString nameOf(const Line& line) const;
    QByteArray lineEndStyle() const;
    void replaceValue(const Line& line, const QString& value);
    void insertAfter(std::size_t index, const QByteArray& newLines);

    QByteArray bytes_;
    std::vector<Line> lines_;
    // The first section of each name (case-folded), so that a large file is not searched line
    // by line for every lookup.
    QHash<QString, std::size_t> firstSections_;
};

}  // namespace pelorix::platform
