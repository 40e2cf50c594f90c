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
constexpr const char* kValidate =
    "import json, sys, jsonschema\n"
    "schema = json.load(open(sys.argv[1]))\n"
    "jsonschema.Draft202012Validator.check_schema(schema)\n"
    "jsonschema.Draft202012Validator(schema).validate(json.load(open(sys.argv[2])))\n";

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
    return QJsonDocument::fromJson(report.readAll()).object();
}

}  // namespace pelorix::e2e
