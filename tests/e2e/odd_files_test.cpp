// Settings and language files with odd content: very long values, no sections, line ends of a
// carriage return alone, bytes that Windows-1252 has no character for.

#include "e2e_fixture.h"

#include <QFile>

namespace pelorix::e2e {
namespace {

class E2eOddFiles : public EndToEnd {
  protected:
    QByteArray languageFile() const { return readFile(sandbox.appFolder() + "/Language.ini"); }
    void writeLanguageFile(const QByteArray& bytes) {
        QFile file(sandbox.appFolder() + "/Language.ini");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    // The English text of a token in the language file replaced by `text` (raw bytes).
    void replaceEnglishText(const QByteArray& english, const QByteArray& text) {
        QByteArray bytes = languageFile();
        const QByteArray line = "EN=" + english + "\r\n";
        ASSERT_TRUE(bytes.contains(line)) << english.constData();
        writeLanguageFile(bytes.replace(line, "EN=" + text + "\r\n"));
    }
    QByteArray settings() const { return readFile(sandbox.settingsFile()); }
};

// Values are cut to 1023 characters; "Language" still begins with EN, and the third letter is
// not an L. A status text that is longer than the line gets no dots.
TEST_F(E2eOddFiles, VeryLongValuesAreCutAndTheRunGoesOn) {
    sandbox.writeSettings("EN" + QString(3000, 'x'));
    sandbox.writeSettingsBytes(settings() + "LearningLanguage=" + QByteArray(5000, 'y') + "\r\n" +
                               QByteArray(20000, 'z') + "\r\n");
    replaceEnglishText("Checking database ...", QByteArray(2000, 'C'));

    const RunResult run = sandbox.run(unattended());

    QString expected = fullRunOutput(Texts::English);
    expected.replace(closedLine("Checking database ..."), QString(1023, 'C') + " OK\n");
    EXPECT_EQ(run.out, expected);
    EXPECT_EQ(run.err, confirmationMessage(Texts::English) + finalQuestion(Texts::English));
    EXPECT_EQ(run.exitStatus, 0);
    expectNewReleaseInstalled();
}

// Lines outside any section are not read: every setting takes its default, so the program
// folder is the updater's own (without a language file) and the database is looked for in the
// settings folder, where there is none. Nothing is installed beside the updater.
TEST_F(E2eOddFiles, ASettingsFileWithoutSectionsLeavesTheDefaults) {
    const QByteArray sectioned = settings();
    QByteArray flat = sectioned;
    flat.replace("[ServiceSettings]\r\n", "").replace("[Settings]\r\n", "");
    sandbox.writeSettingsBytes(flat);

    const RunResult run = sandbox.run(unattended());

    EXPECT_EQ(run.out, shutdownOutput(Texts::Untranslated) + "Überprüfe Datenbank ...!");
    EXPECT_EQ(run.err,
              confirmationMessage(Texts::Untranslated) + databaseErrorMessage(Texts::Untranslated));
    EXPECT_EQ(run.exitStatus, 6);
    // Beside the updater only the sandbox's Wine registrar.
    EXPECT_EQ(fileTree(sandbox.updaterFolder()), (QStringList{"PelorixUpdater", "regsvr32"}));
    expectOldInstallationUntouched();

    sandbox.writeSettingsBytes(sectioned);
    expectCompleteUpdate(sandbox.run(unattended()), Texts::German, 1, 15, 1);
}

// Without section lines the language file holds no translation at all.
TEST_F(E2eOddFiles, ALanguageFileWithoutSectionsTranslatesNothing) {
    QByteArray flat;
    for (const QByteArray& line : languageFile().split('\n')) {
        if (!line.startsWith('[')) {
            flat += line + '\n';
        }
    }
    writeLanguageFile(flat);

    const RunResult run = sandbox.run(unattended());

    EXPECT_EQ(run.out, outputMarkedUntilTheNewLanguageFile());
    EXPECT_EQ(run.err, confirmationMessage(Texts::Untranslated) + finalQuestion(Texts::German));
    EXPECT_EQ(run.exitStatus, 0);
    expectNewReleaseInstalled();
}

// A carriage return alone ends a line as well, in both files.
TEST_F(E2eOddFiles, LineEndsOfACarriageReturnAloneAreLineEnds) {
    sandbox.writeSettings("EN");
    sandbox.writeSettingsBytes(settings().replace("\r\n", "\r"));
    writeLanguageFile(languageFile().replace("\r\n", "\r"));

    expectCompleteUpdate(sandbox.run(unattended()), Texts::English, 1, 15, 1);
}

// The five bytes without a character in Windows-1252 stand for the control characters of the
// same number, and go back to the same bytes in the debug log.
TEST_F(E2eOddFiles, BytesWithoutACharacterInWindows1252PassThrough) {
    const QByteArray odd = "\x81\x8D\x8F\x90\x9D";
    sandbox.writeSettings("EN");
    sandbox.writeSettingsBytes("; comment " + odd + "\r\n" + settings() + "Odd=" + odd + "\r\n");
    replaceEnglishText("Stopping PelorixService", "Stopping " + odd + " PelorixService");

    const RunResult run = sandbox.run(unattended());

    const QString shownText = QString("Stopping ") + QChar(0x81) + QChar(0x8D) + QChar(0x8F) +
                              QChar(0x90) + QChar(0x9D) + " PelorixService";
    QString expected = fullRunOutput(Texts::English);
    expected.replace(closedLine("Stopping PelorixService"), closedLine(shownText));
    EXPECT_EQ(run.out, expected);
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_TRUE(
        readFile(sandbox.debugLogFile()).contains("> Stopping " + odd + " PelorixService\r\n"));
    expectNewReleaseInstalled();
}

}  // namespace
}  // namespace pelorix::e2e
