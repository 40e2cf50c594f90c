#include "platform/text_codec.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace pelorix::platform {
namespace {

constexpr unsigned char kUndefinedBytes[] = {0x81, 0x8D, 0x8F, 0x90, 0x9D};

TEST(TextCodec, GermanTextAndEuroSignMatchTheCodePage) {
    const QString text = QStringLiteral("Größe Ärger Übung öäü ß € „Zitat“ – Œuvre ™");
    const QByteArray bytes = test::cp1252(text);
    EXPECT_EQ(encodeAnsi(text), bytes);
    EXPECT_EQ(decodeAnsi(bytes), text);
    EXPECT_EQ(encodeAnsi(QStringLiteral("€")), QByteArray("\x80"));
    EXPECT_EQ(encodeAnsi(QStringLiteral("ä")), QByteArray("\xE4"));
}

TEST(TextCodec, EveryByteSurvivesARoundTrip) {
    QByteArray all;
    for (int byte = 0; byte < 256; ++byte) {
        all.append(static_cast<char>(byte));
    }
    const QString text = decodeAnsi(all);
    EXPECT_EQ(text.size(), 256);
    EXPECT_EQ(encodeAnsi(text), all);
}

TEST(TextCodec, UndefinedBytesAreTheControlCharactersOfTheSameNumber) {
    for (unsigned char byte : kUndefinedBytes) {
        const QString text = decodeAnsi(QByteArray(1, static_cast<char>(byte)));
        ASSERT_EQ(text.size(), 1);
        EXPECT_EQ(text[0].unicode(), byte);
        EXPECT_EQ(encodeAnsi(text), QByteArray(1, static_cast<char>(byte)));
    }
}

TEST(TextCodec, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    // U+0080 is a control character whose byte means "€" in this code page.
    EXPECT_EQ(encodeAnsi(QString(QChar(0x80))), QByteArray("?"));
    EXPECT_EQ(encodeAnsi(QStringLiteral("aĀb中c")), QByteArray("a?b?c"));
    // A character outside the basic plane is one "?", not two.
    EXPECT_EQ(encodeAnsi(QStringLiteral("x\U0001F600y")), QByteArray("x?y"));
    // A lone surrogate is no character either.
    EXPECT_EQ(encodeAnsi(QString(QChar(0xD800))), QByteArray("?"));
    EXPECT_EQ(encodeAnsi(QString()), QByteArray());
    EXPECT_EQ(decodeAnsi(QByteArray()), QString());
}

TEST(TextCodec, NulBytesAreKept) {
    const QByteArray bytes("a\0b", 3);
    EXPECT_EQ(decodeAnsi(bytes).size(), 3);
    EXPECT_EQ(encodeAnsi(decodeAnsi(bytes)), bytes);
}

}  // namespace
}  // namespace pelorix::platform
