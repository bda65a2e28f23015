// The system ciphers and digests the security handler uses, against published test vectors
// (RFC 1321 and FIPS 180 for "abc", RFC 6229 for RC4, SP 800-38A for AES in CBC mode).
#include "viewer/PdfCrypto.h"
#include "viewer/PdfObject.h"
#include <gtest/gtest.h>

namespace {
std::string Hex(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

std::string Bytes(const std::string& hex)
{
    std::string out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return out;
}

const char kIv[] = "000102030405060708090a0b0c0d0e0f";
const char kPlain[] = "6bc1bee22e409f96e93d7e117393172aae2d8a571e03ac9c9eb76fac45af8e51";
} // namespace

TEST(PdfCrypto, DigestsOfAbc)
{
    EXPECT_EQ("900150983cd24fb0d6963f7d28e17f72", Hex(pdf::Md5("abc")));
    EXPECT_EQ("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad", Hex(pdf::Sha2(256, "abc")));
    EXPECT_EQ("cb00753f45a35e8bb5a03d699ac65007272c32ab0eded1631a8b605a43ff5bed8086072ba1e7cc2358baeca134c825a7",
              Hex(pdf::Sha2(384, "abc")));
    EXPECT_EQ("ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a2192992a274fc1a836ba3c23a3feebbd454d4423643ce80e2a9ac94fa54ca49f",
              Hex(pdf::Sha2(512, "abc")));
    EXPECT_EQ("d41d8cd98f00b204e9800998ecf8427e", Hex(pdf::Md5("")));
}

TEST(PdfCrypto, Rc4KeystreamsOf40And128BitKeys)
{
    // A 40-bit key must not be salted by the provider.
    EXPECT_EQ("b2396305f03dc027ccc3524a0a1118a8", Hex(pdf::Rc4(Bytes("0102030405"), std::string(16, '\0'))));
    EXPECT_EQ("9ac7cc9a609d1ef7b2932899cde41b97", Hex(pdf::Rc4(Bytes("0102030405060708090a0b0c0d0e0f10"), std::string(16, '\0'))));
    EXPECT_EQ("", pdf::Rc4(Bytes("0102030405"), ""));
    EXPECT_THROW(pdf::Rc4(std::string(17, 'k'), "x"), pdf::PdfError);
}

TEST(PdfCrypto, AesCbcBothWaysWith128And256BitKeys)
{
    const std::string key128 = Bytes("2b7e151628aed2a6abf7158809cf4f3c");
    const std::string key256 = Bytes("603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4");
    const std::string cipher128 = "7649abac8119b246cee98e9b12e9197d5086cb9b507219ee95db113a917678b2";
    const std::string cipher256 = "f58c4c04d6e5f1ba779eabfb5f7bfbd69cfc4e967edb808d679f777bc6702c7d";
    EXPECT_EQ(cipher128, Hex(pdf::AesCbcEncrypt(key128, Bytes(kIv), Bytes(kPlain))));
    EXPECT_EQ(kPlain, Hex(pdf::AesCbcDecrypt(key128, Bytes(kIv), Bytes(cipher128))));
    EXPECT_EQ(cipher256, Hex(pdf::AesCbcEncrypt(key256, Bytes(kIv), Bytes(kPlain))));
    EXPECT_EQ(kPlain, Hex(pdf::AesCbcDecrypt(key256, Bytes(kIv), Bytes(cipher256))));
    // Whole blocks only, and keys of the two lengths.
    EXPECT_THROW(pdf::AesCbcDecrypt(key128, Bytes(kIv), std::string(17, 'x')), pdf::PdfError);
    EXPECT_THROW(pdf::AesCbcDecrypt(std::string(24, 'k'), Bytes(kIv), std::string(16, 'x')), pdf::PdfError);
}
