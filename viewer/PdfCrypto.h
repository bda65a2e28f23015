// The ciphers and digests of the standard security handler, done by the system's cryptography
// (BCrypt for digests and AES, CryptoAPI for RC4). Each throws PdfError when the system refuses.
#pragma once
#include <string>

namespace pdf {

std::string Md5(const std::string& data);
// SHA-256, SHA-384 or SHA-512 by bits.
std::string Sha2(int bits, const std::string& data);
// RC4 with a key of 1 to 16 bytes; encrypting and decrypting are the same.
std::string Rc4(const std::string& key, const std::string& data);
// AES in CBC mode with a 16- or 32-byte key and a 16-byte IV, whole blocks only (no padding).
std::string AesCbcEncrypt(const std::string& key, const std::string& iv, const std::string& data);
std::string AesCbcDecrypt(const std::string& key, const std::string& iv, const std::string& data);

} // namespace pdf
