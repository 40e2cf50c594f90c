#include "serve_options.h"

namespace pelorix::tools {
namespace {

// "NAME:NUMBER" with the number in [minimum, maximum].
std::optional<std::pair<QString, qint64>> nameAndNumber(const QString& text, qint64 minimum,
                                                        qint64 maximum) {
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0) {
        return std::nullopt;
    }
    bool isNumber = false;
    const qint64 number = text.mid(colon + 1).toLongLong(&isNumber);
    if (!isNumber || number < minimum || number > maximum) {
        return std::nullopt;
    }
    return std::make_pair(text.left(colon), number);
}

std::optional<Misbehaviour::Kind> misbehaviourKind(const QString& option) {
    if (option == "--stall") {
        return Misbehaviour::Kind::Stall;
    }
    if (option == "--close") {
        return Misbehaviour::Kind::Close;
    }
    if (option == "--status") {
        return Misbehaviour::Kind::Status;
    }
    if (option == "--trickle") {
        return Misbehaviour::Kind::Trickle;
    }
    if (option == "--endless") {
        return Misbehaviour::Kind::Endless;
    }
    if (option == "--no-ranges") {
        return Misbehaviour::Kind::NoRanges;
    }
    if (option == "--wrong-range") {
        return Misbehaviour::Kind::WrongRange;
    }
    if (option == "--refuse-range") {
        return Misbehaviour::Kind::RefuseRange;
    }
    return std::nullopt;
}

bool addMisbehaviour(ServeOptions& options, Misbehaviour::Kind kind, const QString& value) {
    // The range faults take a file name alone.
    if (kind == Misbehaviour::Kind::NoRanges || kind == Misbehaviour::Kind::WrongRange ||
        kind == Misbehaviour::Kind::RefuseRange) {
        options.misbehaviours[value] = {kind, 0};
        return !value.isEmpty();
    }
    const bool isStatus = kind == Misbehaviour::Kind::Status;
    const auto parsed = nameAndNumber(value, isStatus ? 100 : 0, isStatus ? 599 : (1LL << 40));
    if (!parsed) {
        return false;
    }
    options.misbehaviours[parsed->first] = {kind, parsed->second};
    return true;
}

}  // namespace

std::optional<ServeOptions> parseServeOptions(const QStringList& arguments, QString& error) {
    ServeOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& option = arguments[i];
        if (option == "--quiet") {
            options.quiet = true;
            continue;
        }
        if (i + 1 >= arguments.size()) {
            error = option + " needs a value";
            return std::nullopt;
        }
        const QString& value = arguments[++i];
        bool valid = true;
        if (option == "--root") {
            options.root = value;
        } else if (option == "--port") {
            options.port = value.toInt(&valid);
            valid = valid && options.port >= 0 && options.port <= 65535;
        } else if (const auto kind = misbehaviourKind(option)) {
            valid = addMisbehaviour(options, *kind, value);
        } else {
            error = "unknown option " + option;
            return std::nullopt;
        }
        if (!valid) {
            error = "bad value for " + option + ": " + value;
            return std::nullopt;
        }
    }
    if (options.root.isEmpty()) {
        error = "--root is required";
        return std::nullopt;
    }
    return options;
}

}  // namespace pelorix::tools
