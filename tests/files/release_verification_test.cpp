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

    const auto verified =
        files::verifyReleaseManifest(list, signer.legacySignature(list, comment, comment), *key,
                                     {1700000000, 1700000000, {}}, error);
    ASSERT_TRUE(verified) << error.toStdString();
    EXPECT_EQ(verified->timestamp, 1700000000);

    const QByteArray forged = "timestamp:1900000000\tfile:SHA256SUMS";
    EXPECT_FALSE(files::verifyReleaseManifest(list, signer.legacySignature(list, comment, forged),
                                              *key, {std::nullopt, 0, {}}, error));
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

// A signed list judged as a whole, before any file is fetched: its expiry against the clock,
// and whether it names each release file once, exactly spelled, in well-formed lines.
struct ListCase {
    const char* name;
    QByteArray comment;
    QByteArray list;
    const char* error;  // empty: accepted
};

class SignedListCheck : public ::testing::TestWithParam<ListCase> {};

TEST_P(SignedListCheck, IsJudgedBeforeAnyFileIsFetched) {
    const Signer signer;
    QString error;
    const auto key = MinisignPublicKey::parse(signer.publicKeyFile(), error);
    ASSERT_TRUE(key);
    const ListCase& c = GetParam();
    const files::ReleaseExpectations expected{
        std::nullopt, 1800000000, {"Pelorix.exe", "PXAS.exe"}};

    const auto verified = files::verifyReleaseManifest(
        c.list, signer.legacySignature(c.list, c.comment, c.comment), *key, expected, error);

    EXPECT_EQ(static_cast<bool>(verified), QByteArray(c.error).isEmpty()) << error.toStdString();
    EXPECT_TRUE(error.contains(QString::fromUtf8(c.error))) << error.toStdString();
}

const QByteArray kDigits(64, 'a');
const QByteArray kBoth = kDigits + "  Pelorix.exe\n" + kDigits + "  PXAS.exe\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, SignedListCheck,
    ::testing::Values(
        ListCase{"NoExpiry", "timestamp:1000", kBoth, ""},
        ListCase{"ExpiresLater", "timestamp:1000\texpires:1800000001\tfile:x", kBoth, ""},
        ListCase{"OtherNamesAllowed", "timestamp:1000", kBoth + kDigits + "  readme.txt\n", ""},
        ListCase{"Expired", "timestamp:1000\texpires:1800000000", kBoth,
                 "the list expired at 2027-01-15T08:00:00Z (expires:1800000000)"},
        ListCase{"ExpiryNotANumber", "timestamp:1000\texpires:soon", kBoth,
                 "the expiry of the trusted comment is no number of seconds"},
        ListCase{"FileMissing", "timestamp:1000", kDigits + "  Pelorix.exe\n",
                 "PXAS.exe is not listed"},
        ListCase{"WrongCase", "timestamp:1000", kBoth + kDigits + "  pelorix.EXE\n",
                 "pelorix.EXE is listed under another case than Pelorix.exe"},
        ListCase{"ListedTwice", "timestamp:1000", kBoth + kDigits + "  PXAS.exe\n",
                 "PXAS.exe is listed twice"},
        ListCase{"MalformedEscapedLine", "timestamp:1000", kBoth + "\\" + kDigits + " x\n",
                 "line 3 is not a checksum line"}),
    [](const ::testing::TestParamInfo<ListCase>& testCase) { return testCase.param.name; });

}  // namespace
}  // namespace pelorix::test
