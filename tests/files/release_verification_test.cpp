// The checksum list and minisign parts that the end-to-end runs do not reach: the legacy
// (not prehashed) signature, a forged trusted comment, and the odd lines of a checksum list.

#include "files/release_verification.h"

#include <gtest/gtest.h>

#include <sodium.h>

namespace pelorix::test {
namespace {

using files::MinisignPublicKey;

const unsigned char* bytes(const QByteArray& data) {
    return reinterpret_cast<const unsigned char*>(data.constData());
}

// A key pair, and signatures in minisign's file format made with it.
class Signer {
  public:
    Signer() {
        EXPECT_GE(sodium_init(), 0);
        crypto_sign_keypair(reinterpret_cast<unsigned char*>(publicKey_.data()),
                            reinterpret_cast<unsigned char*>(secretKey_.data()));
    }
    QByteArray publicKeyFile() const {
        return "untrusted comment: minisign public key\n" +
               (QByteArray("Ed") + keyId_ + publicKey_).toBase64() + "\n";
    }
    // A legacy signature ("Ed") of the message itself; `shownComment` replaces the signed one.
    QByteArray legacySignature(const QByteArray& message, const QByteArray& comment,
                               const QByteArray& shownComment) const {
        const QByteArray signature = sign(message);
        return "untrusted comment: x\n" + (QByteArray("Ed") + keyId_ + signature).toBase64() +
               "\ntrusted comment: " + shownComment + "\n" + sign(signature + comment).toBase64() +
               "\n";
    }

  private:
    QByteArray sign(const QByteArray& message) const {
        QByteArray signature(crypto_sign_BYTES, '\0');
        crypto_sign_detached(reinterpret_cast<unsigned char*>(signature.data()), nullptr,
                             bytes(message), static_cast<unsigned long long>(message.size()),
                             bytes(secretKey_));
        return signature;
    }

    QByteArray keyId_ = "01234567";
    QByteArray publicKey_ = QByteArray(crypto_sign_PUBLICKEYBYTES, '\0');
    QByteArray secretKey_ = QByteArray(crypto_sign_SECRETKEYBYTES, '\0');
};

TEST(MinisignSignature, VerifiesLegacySignaturesAndRefusesAForgedTrustedComment) {
    const Signer signer;
    QString error;
    const auto key = MinisignPublicKey::parse(signer.publicKeyFile(), error);
    ASSERT_TRUE(key) << error.toStdString();
    const QByteArray list = QByteArray(64, 'a') + "  Pelorix.exe\n";
    const QByteArray comment = "timestamp:1700000000\tfile:SHA256SUMS";

    const auto verified = files::verifyReleaseManifest(
        list, signer.legacySignature(list, comment, comment), *key, 1700000000, error);
    ASSERT_TRUE(verified) << error.toStdString();
    EXPECT_EQ(verified->timestamp, 1700000000);

    const QByteArray forged = "timestamp:1900000000\tfile:SHA256SUMS";
    EXPECT_FALSE(files::verifyReleaseManifest(list, signer.legacySignature(list, comment, forged),
                                              *key, std::nullopt, error));
    EXPECT_EQ(error, "the trusted comment is not signed by the trusted key");

    for (const QByteArray& bad : {QByteArray("timestamp:17x"), QByteArray("timestamp:"),
                                  QByteArray("file:a\ttimestamp:-5")}) {
        EXPECT_FALSE(files::trustedTimestamp(bad)) << bad.toStdString();
    }
    EXPECT_EQ(files::trustedTimestamp("file:a\ttimestamp:42"), 42);
    EXPECT_FALSE(MinisignPublicKey::parse("untrusted comment: x\nRWQ=\n", error));
    EXPECT_FALSE(MinisignPublicKey::parse(QByteArray(), error));
}

TEST(ReleaseManifest, ReadsTheLinesOfSha256sumAndRefusesAnythingElse) {
    const QByteArray a(64, 'a');
    const QByteArray upper = QByteArray(64, 'B');
    QString error;
    const auto manifest = files::ReleaseManifest::parse(
        a + "  Pelorix.exe\r\n\n" + upper + " *PXHelp.chm\n\\" + a + "  odd\\\\name\n", error);
    ASSERT_TRUE(manifest) << error.toStdString();
    EXPECT_EQ(manifest->digestOf("Pelorix.exe"), QByteArray::fromHex(a));
    EXPECT_EQ(manifest->digestOf("PXHelp.chm"), QByteArray::fromHex(upper));
    EXPECT_FALSE(manifest->digestOf("pelorix.exe"));

    for (const QByteArray& bad :
         {a + " Pelorix.exe", a.left(63) + "   Pelorix.exe", QByteArray(64, 'g') + "  x", a + "  ",
          QByteArray("# comment"), a + "  x\n" + upper + "  x"}) {
        EXPECT_FALSE(files::ReleaseManifest::parse(bad, error)) << bad.toStdString();
    }
}

}  // namespace
}  // namespace pelorix::test
