// Thin wrappers over BCrypt and CryptoAPI for the security handler's digests and ciphers.
#include "viewer/PdfCrypto.h"
#include "viewer/PdfObject.h"
#include <windows.h>
#include <bcrypt.h>
#include <wincrypt.h>
#include <vector>

namespace pdf {

namespace {

void Check(NTSTATUS status, const char* what)
{
    if (!BCRYPT_SUCCESS(status)) throw PdfError(std::string("the system cannot ") + what);
}

// An algorithm provider of BCrypt, opened once for the program's life (opening is the slow part).
class Algorithm
{
public:
    explicit Algorithm(const wchar_t* name, const wchar_t* chainingMode = nullptr)
    {
        Check(BCryptOpenAlgorithmProvider(&m_handle, name, nullptr, 0), "open a cipher");
        if (!chainingMode) return;
        NTSTATUS status = BCryptSetProperty(m_handle, BCRYPT_CHAINING_MODE, reinterpret_cast<PUCHAR>(const_cast<wchar_t*>(chainingMode)),
                                            static_cast<ULONG>((wcslen(chainingMode) + 1) * sizeof(wchar_t)), 0);
        if (!BCRYPT_SUCCESS(status)) BCryptCloseAlgorithmProvider(m_handle, 0);
        Check(status, "set a chaining mode");
    }
    ~Algorithm() { BCryptCloseAlgorithmProvider(m_handle, 0); }
    Algorithm(const Algorithm&) = delete;
    Algorithm& operator=(const Algorithm&) = delete;
    BCRYPT_ALG_HANDLE Handle() const { return m_handle; }

private:
    BCRYPT_ALG_HANDLE m_handle = nullptr;
};

std::string Digest(const Algorithm& algorithm, const std::string& data)
{
    DWORD length = 0;
    ULONG got = 0;
    Check(BCryptGetProperty(algorithm.Handle(), BCRYPT_HASH_LENGTH, reinterpret_cast<PUCHAR>(&length), sizeof(length), &got, 0),
          "size a digest");
    std::string out(length, '\0');
    BCRYPT_HASH_HANDLE hash = nullptr;
    Check(BCryptCreateHash(algorithm.Handle(), &hash, nullptr, 0, nullptr, 0, 0), "start a digest");
    NTSTATUS status = BCryptHashData(hash, reinterpret_cast<PUCHAR>(const_cast<char*>(data.data())), static_cast<ULONG>(data.size()), 0);
    if (BCRYPT_SUCCESS(status)) status = BCryptFinishHash(hash, reinterpret_cast<PUCHAR>(&out[0]), length, 0);
    BCryptDestroyHash(hash);
    Check(status, "compute a digest");
    return out;
}

std::string AesCbc(bool encrypt, const std::string& key, const std::string& iv, const std::string& data)
{
    if ((key.size() != 16 && key.size() != 32) || iv.size() != 16 || data.size() % 16) throw PdfError("bad AES parameters");
    if (data.empty()) return data;
    static const Algorithm aes(BCRYPT_AES_ALGORITHM, BCRYPT_CHAIN_MODE_CBC);
    BCRYPT_KEY_HANDLE handle = nullptr;
    Check(BCryptGenerateSymmetricKey(aes.Handle(), &handle, nullptr, 0, reinterpret_cast<PUCHAR>(const_cast<char*>(key.data())),
                                     static_cast<ULONG>(key.size()), 0),
          "make an AES key");
    std::string chain = iv; // the call updates the IV it is given
    std::string out(data.size(), '\0');
    ULONG written = 0;
    PUCHAR in = reinterpret_cast<PUCHAR>(const_cast<char*>(data.data()));
    PUCHAR ivBytes = reinterpret_cast<PUCHAR>(&chain[0]);
    PUCHAR outBytes = reinterpret_cast<PUCHAR>(&out[0]);
    NTSTATUS status = encrypt ? BCryptEncrypt(handle, in, static_cast<ULONG>(data.size()), nullptr, ivBytes, 16, outBytes,
                                              static_cast<ULONG>(out.size()), &written, 0)
                              : BCryptDecrypt(handle, in, static_cast<ULONG>(data.size()), nullptr, ivBytes, 16, outBytes,
                                              static_cast<ULONG>(out.size()), &written, 0);
    BCryptDestroyKey(handle);
    Check(status, "run AES");
    out.resize(written);
    return out;
}

// CryptoAPI's enhanced provider, which takes RC4 keys up to 128 bits; acquired once.
class Rc4Provider
{
public:
    Rc4Provider()
    {
        if (!CryptAcquireContextW(&m_handle, nullptr, MS_ENHANCED_PROV_W, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT))
            throw PdfError("the system cannot open its RC4 provider");
    }
    ~Rc4Provider() { CryptReleaseContext(m_handle, 0); }
    Rc4Provider(const Rc4Provider&) = delete;
    Rc4Provider& operator=(const Rc4Provider&) = delete;
    HCRYPTPROV Handle() const { return m_handle; }

private:
    HCRYPTPROV m_handle = 0;
};

} // namespace

std::string Md5(const std::string& data)
{
    static const Algorithm md5(BCRYPT_MD5_ALGORITHM);
    return Digest(md5, data);
}

std::string Sha2(int bits, const std::string& data)
{
    static const Algorithm sha256(BCRYPT_SHA256_ALGORITHM), sha384(BCRYPT_SHA384_ALGORITHM), sha512(BCRYPT_SHA512_ALGORITHM);
    return Digest(bits == 512 ? sha512 : bits == 384 ? sha384 : sha256, data);
}

std::string Rc4(const std::string& key, const std::string& data)
{
    if (key.empty() || key.size() > 16) throw PdfError("bad RC4 key");
    // The providers give a 40-bit key eleven bytes of salt; the key twice over has the same RC4
    // schedule and no salt.
    std::string material = key.size() == 5 ? key + key : key;
    static const Rc4Provider provider;
    std::vector<BYTE> blob(sizeof(BLOBHEADER) + sizeof(DWORD) + material.size());
    BLOBHEADER header = {PLAINTEXTKEYBLOB, CUR_BLOB_VERSION, 0, CALG_RC4};
    DWORD keySize = static_cast<DWORD>(material.size());
    memcpy(blob.data(), &header, sizeof(header));
    memcpy(blob.data() + sizeof(header), &keySize, sizeof(keySize));
    memcpy(blob.data() + sizeof(header) + sizeof(keySize), material.data(), material.size());
    HCRYPTKEY handle = 0;
    std::string out = data;
    bool ok = CryptImportKey(provider.Handle(), blob.data(), static_cast<DWORD>(blob.size()), 0, CRYPT_NO_SALT, &handle) != FALSE;
    if (ok) {
        DWORD size = static_cast<DWORD>(out.size());
        ok = out.empty() || CryptDecrypt(handle, 0, TRUE, 0, reinterpret_cast<BYTE*>(&out[0]), &size) != FALSE;
        CryptDestroyKey(handle);
    }
    if (!ok) throw PdfError("the system cannot run RC4");
    return out;
}

std::string AesCbcEncrypt(const std::string& key, const std::string& iv, const std::string& data)
{
    return AesCbc(true, key, iv, data);
}

std::string AesCbcDecrypt(const std::string& key, const std::string& iv, const std::string& data)
{
    return AesCbc(false, key, iv, data);
}

} // namespace pdf
