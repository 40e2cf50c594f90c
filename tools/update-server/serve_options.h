#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <map>
#include <optional>

namespace pelorix::tools {

// A deliberate fault of the server for one file, to try the updater's failure paths.
struct Misbehaviour {
    enum class Kind {
        Stall,       // send `value` bytes of the file, then nothing while the connection stays open
        Close,       // send `value` bytes of the file, then close the connection
        Status,      // answer with the status `value` and a short error page
        Trickle,     // send the file one byte every `value` milliseconds
        Endless,     // send `value` bytes of the file, then zeros without end (no length announced)
        NoRanges,    // answer a range request with the whole file (200)
        WrongRange,  // answer a range request with a 206 for the whole file
        RefuseRange,  // answer every range request with 416
    };
    Kind kind;
    qint64 value;
};

struct ServeOptions {
    QString root;
    int port = 0;  // 0: any free port
    bool quiet = false;
    std::map<QString, Misbehaviour> misbehaviours;  // by file name
};

// The options after "serve"; nullopt and `error` for a bad command line.
std::optional<ServeOptions> parseServeOptions(const QStringList& arguments, QString& error);

}  // namespace pelorix::tools
