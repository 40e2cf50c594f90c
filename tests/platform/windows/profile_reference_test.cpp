#include "platform/file_system.h"
#include "platform/profile.h"
#include "platform/text_codec.h"

#include "support/temp_dir.h"

#include <QDir>
#include <QStringList>

#include <gtest/gtest.h>

#include <windows.h>

#include <random>
#include <vector>

namespace pelorix::platform {
namespace {

// The pieces odd profiles are made of: sections in several spellings, duplicated keys, quotes,
// blanks, comments, lines without "=", Windows-1252 letters.
const char* const kLines[] = {
    "[Settings]",   "[settings]",    "[ Settings ]",
    "[Other]",      "[Ümlaut]",      "[Settings",
    "Key=value",    "key = spaced ", "KEY=\"q v\"",
    "Key='single'", "Key=\"open",    "Key=",
    "Näme=Wört",    "Other=1",       "; Key=comment",
    "# hash=line",  "Key",           "=nokey",
    "  Key  =  x",  "Key=a\"b\"",    "",
    "   ",          "\tTab=\tt\t",   "Key=last",
};
const char* const kSections[] = {"Settings", "settings", "Other",
                                 "Ümlaut",   "Missing",  " Settings "};
const char* const kKeys[] = {"Key", "key", "Näme", "Other", "Tab", "Missing", "", " Key "};

QByteArray oddProfile(std::mt19937& random) {
    std::uniform_int_distribution<int> count(0, 12);
    std::uniform_int_distribution<size_t> pick(0, std::size(kLines) - 1);
    std::bernoulli_distribution bareNewline(0.2);
    QByteArray bytes;
    for (int line = count(random); line > 0; --line) {
        bytes += encodeAnsi(QString::fromUtf8(kLines[pick(random)]));
        bytes += bareNewline(random) ? "\n" : "\r\n";
    }
    return bytes;
}

// What Windows itself answers; the path goes as the system's ANSI code page takes it.
QString windowsRead(const QString& file, const QString& section, const QString& key) {
    char value[1024] = {};
    ::GetPrivateProfileStringA(encodeAnsi(section).constData(), encodeAnsi(key).constData(),
                               "<default>", value, sizeof value,
                               QDir::toNativeSeparators(file).toLocal8Bit().constData());
    return decodeAnsi(QByteArray(value));
}

class ProfileReference : public ::testing::Test {
  protected:
    test::TempDir dir;
    std::mt19937 random{20261209};
};

TEST_F(ProfileReference, ReadsAnswerAsGetPrivateProfileStringDoes) {
    int differences = 0;
    for (int n = 0; n < 300; ++n) {
        const QByteArray bytes = oddProfile(random);
        const QString file = dir.write("read.ini", bytes);
        for (const char* section : kSections) {
            for (const char* key : kKeys) {
                if (*key == '\0') {
                    continue;  // an empty key asks Windows for the list of keys
                }
                const QString s = QString::fromUtf8(section);
                const QString k = QString::fromUtf8(key);
                const QString ours = ReadIni(defaultFileSystem(), file, s, k, "<default>");
                const QString theirs = windowsRead(file, s, k);
                if (ours != theirs && ++differences < 25) {
                    ADD_FAILURE() << "[" << section << "] " << key << " ours '"
                                  << ours.toStdString() << "' windows '" << theirs.toStdString()
                                  << "' in:\n"
                                  << bytes.toStdString();
                }
            }
        }
    }
}

TEST_F(ProfileReference, WrittenValuesReadBackAsWindowsReadsThem) {
    for (int n = 0; n < 200; ++n) {
        const QByteArray bytes = oddProfile(random);
        const QString ours = dir.write("ours.ini", bytes);
        const QString theirs = dir.write("theirs.ini", bytes);
        const QString section = QString::fromUtf8(kSections[n % std::size(kSections)]);
        const QString key = QString::fromUtf8(kKeys[n % 6]);
        const QString value = n % 3 == 0 ? QString::fromUtf8("Grüße") : QString::number(n);
        WriteIni(defaultFileSystem(), ours, section, key, value);
        ::WritePrivateProfileStringA(encodeAnsi(section).constData(), encodeAnsi(key).constData(),
                                     encodeAnsi(value).constData(),
                                     QDir::toNativeSeparators(theirs).toLocal8Bit().constData());
        for (const char* probe : kKeys) {
            if (*probe == '\0') {
                continue;
            }
            const QString k = QString::fromUtf8(probe);
            ASSERT_EQ(windowsRead(ours, section, k), windowsRead(theirs, section, k))
                << "[" << section.toStdString() << "] " << probe << " after writing "
                << key.toStdString() << " in:\n"
                << bytes.toStdString();
        }
    }
}

// Every byte decodes as Windows' own conversion decodes it, and back.
TEST(TextCodecReference, AllBytesAsMultiByteToWideCharWithCodePage1252) {
    for (int byte = 1; byte < 256; ++byte) {
        const char in = static_cast<char>(byte);
        wchar_t wide[4] = {};
        ASSERT_EQ(::MultiByteToWideChar(1252, 0, &in, 1, wide, 4), 1);
        const QString decoded = decodeAnsi(QByteArray(1, in));
        ASSERT_EQ(decoded, QString::fromWCharArray(wide, 1)) << "byte " << byte;
        ASSERT_EQ(encodeAnsi(decoded), QByteArray(1, in)) << "byte " << byte;
    }
}

}  // namespace
}  // namespace pelorix::platform
