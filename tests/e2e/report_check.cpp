#include "report_check.h"

#include "build_paths.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QProcess>

namespace pelorix::e2e {

namespace {

// Debian's interpreter, where python3-jsonschema is installed, whatever else PATH offers.
constexpr const char* kPython = "/usr/bin/python3";
// The report as written, then with a field of a later release in every object: a reader that
// validates against this schema must keep accepting reports that grew.
constexpr const char* kValidate =
    "import json, sys, jsonschema\n"
    "schema = json.load(open(sys.argv[1]))\n"
    "jsonschema.Draft202012Validator.check_schema(schema)\n"
    "validator = jsonschema.Draft202012Validator(schema)\n"
    "report = json.load(open(sys.argv[2]))\n"
    "validator.validate(report)\n"
    "for part in [report, report['database']] + report['steps'] + report['files']:\n"
    "    part['addedLater'] = {'any': [1]}\n"
    "validator.validate(report)\n";

}  // namespace

QJsonObject validatedReport(const QString& file) {
    QProcess validator;
    validator.setProcessChannelMode(QProcess::MergedChannels);
    validator.start(kPython, {"-c", kValidate, sourceFile("docs/report.schema.json"), file});
    const bool finished = validator.waitForFinished(30'000);
    EXPECT_TRUE(finished && validator.exitStatus() == QProcess::NormalExit &&
                validator.exitCode() == 0)
        << "the report " << file.toStdString() << " does not validate:\n"
        << validator.readAll().toStdString();
    QFile report(file);
    if (!report.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QJsonObject object = QJsonDocument::fromJson(report.readAll()).object();
    EXPECT_EQ(object["format"].toInt(), 1) << "the report format changed or is missing";
    return object;
}

}  // namespace pelorix::e2e
