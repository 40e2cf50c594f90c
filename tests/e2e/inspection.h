#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

namespace pelorix::e2e {

// Every file and folder under `folder`, relative, sorted; folders end in "/".
QStringList fileTree(const QString& folder);
// The content of every file under `folder`, by relative path.
QMap<QString, QByteArray> fileContents(const QString& folder);
QByteArray readFile(const QString& path);

// The Pelorix database as the test sees it through its own connection.
class DatabaseView {
  public:
    explicit DatabaseView(const QString& file);
    ~DatabaseView();
    DatabaseView(const DatabaseView&) = delete;
    DatabaseView& operator=(const DatabaseView&) = delete;

    QStringList tables() const;
    QStringList columns(const QString& table) const;
    // "9 Axis Printbox (SW)", ... in the order of the IDs.
    QStringList printerTypes() const;
    // The unique indexes of a table, as "column" lists ("DepartmentID").
    QStringList uniqueIndexColumns(const QString& table) const;
    QString version() const;
    // Runs a statement of the test (to break the database on purpose); false when it fails.
    bool execute(const QString& statement) const;
    // One column of every row, as text.
    QStringList values(const QString& query) const;

  private:
    QString connection_;
};

}  // namespace pelorix::e2e
