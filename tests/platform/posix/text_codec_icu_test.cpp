#include "platform/text_codec.h"

#include <gtest/gtest.h>

#include <QStringDecoder>

namespace pelorix::platform {
namespace {

// Qt's own codec for the code page comes with ICU, which Qt has on Linux only.
TEST(TextCodec, EveryDefinedByteDecodesLikeTheSystemCodec) {
    QStringDecoder reference("windows-1252");
    for (int byte = 0; byte < 256; ++byte) {
        if (byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D) {
            continue;
        }
        const QByteArray one(1, static_cast<char>(byte));
        EXPECT_EQ(decodeAnsi(one), reference.decode(one)) << "byte " << byte;
    }
}

}  // namespace
}  // namespace pelorix::platform
