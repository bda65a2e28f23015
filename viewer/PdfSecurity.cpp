// Key derivation and object decryption of the standard security handler for the empty user password.
#include "viewer/PdfSecurity.h"
#include "viewer/PdfCrypto.h"
#include <cstdint>

namespace pdf {

namespace {

const char kPasswordPadding[] = "\x28\xBF\x4E\x5E\x4E\x75\x8A\x41\x64\x00\x4E\x56\xFF\xFA\x01\x08"
                                "\x2E\x2E\x00\xB6\xD0\x68\x3E\x80\x2F\x0C\xA9\xFE\x64\x53\x69\x7A";
const std::string kPadding(kPasswordPadding, 32);

const char kNeedsPassword[] = "the form is protected by a password";

int IntOf(const ObjectPtr& obj, int fallback)
{
    return obj->kind == Kind::Number ? static_cast<int>(obj->number) : fallback;
}

std::string StringOf(const Object& dict, const char* key)
{
    ObjectPtr value = dict.Get(key);
    if (value->kind != Kind::String) throw PdfError(std::string("encryption dictionary without ") + key);
    return value->text;
}

std::string LittleEndian(uint32_t value, int bytes)
{
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

// The hash of revision 6 (plain SHA-256 in revision 5) of a password with a salt, for the user
// password (no user key data).
std::string PasswordHash(int revision, const std::string& password, const std::string& salt)
{
    std::string k = Sha2(256, password + salt);
    if (revision == 5) return k;
    std::string e;
    for (int round = 0; round < 64 || static_cast<unsigned char>(e.back()) > round - 32; ++round) {
        std::string once = password + k, repeated;
        repeated.reserve(once.size() * 64);
        for (int i = 0; i < 64; ++i) repeated += once;
        e = AesCbcEncrypt(k.substr(0, 16), k.substr(16, 16), repeated);
        // The first 16 bytes as a number modulo 3 equal their byte sum modulo 3 (256 = 1 mod 3).
        unsigned sum = 0;
        for (int i = 0; i < 16; ++i) sum += static_cast<unsigned char>(e[i]);
        k = Sha2(sum % 3 == 0 ? 256 : sum % 3 == 1 ? 384 : 512, e);
    }
    return k.substr(0, 32);
}

StandardSecurity::Method MethodOfFilter(const Object& filter)
{
    ObjectPtr cfm = filter.Get("CFM");
    if (cfm->IsNull() || cfm->IsName("None")) return StandardSecurity::Method::None;
    if (cfm->IsName("V2")) return StandardSecurity::Method::Rc4;
    if (cfm->IsName("AESV2")) return StandardSecurity::Method::Aes128;
    if (cfm->IsName("AESV3")) return StandardSecurity::Method::Aes256;
    throw PdfError("the form is protected by an encryption method this viewer does not have (" + cfm->text + ")");
}

} // namespace

std::unique_ptr<StandardSecurity> StandardSecurity::Open(const Object& encrypt, const std::string& firstId)
{
    ObjectPtr filter = encrypt.Get("Filter");
    if (!filter->IsName("Standard"))
        throw PdfError("the form is protected by a security handler this viewer does not have (" + filter->text + ")");
    std::unique_ptr<StandardSecurity> security(new StandardSecurity());
    int version = IntOf(encrypt.Get("V"), 0);
    security->m_revision = IntOf(encrypt.Get("R"), 0);
    int revision = security->m_revision;
    bool known = (version == 1 && revision == 2) || (version == 2 && (revision == 2 || revision == 3)) ||
                 (version == 4 && revision == 4) || (version == 5 && (revision == 5 || revision == 6));
    if (!known)
        throw PdfError("the form is protected by an encryption this viewer does not have (V " + std::to_string(version) +
                       ", R " + std::to_string(revision) + ")");
    ObjectPtr encryptMetadata = encrypt.Get("EncryptMetadata");
    security->m_encryptMetadata = version < 4 || encryptMetadata->kind != Kind::Boolean || encryptMetadata->boolean;

    int keyBytes = version == 1 ? 5 : version == 5 ? 32 : IntOf(encrypt.Get("Length"), version == 2 ? 40 : 128) / 8;
    if (version >= 4) {
        security->m_cryptFilters["Identity"] = Method::None;
        ObjectPtr filters = encrypt.Get("CF");
        if (filters->kind == Kind::Dict) {
            for (const auto& named : filters->dict)
                if (named.second && named.second->kind == Kind::Dict && named.first != "Identity")
                    security->m_cryptFilters[named.first] = MethodOfFilter(*named.second);
        }
        auto methodNamed = [&](const char* key) {
            ObjectPtr name = encrypt.Get(key);
            if (name->kind != Kind::Name) return Method::None; // /Identity when not given
            auto found = security->m_cryptFilters.find(name->text);
            if (found == security->m_cryptFilters.end()) throw PdfError("encryption names a crypt filter it does not define");
            return found->second;
        };
        security->m_streams = methodNamed("StmF");
        security->m_strings = methodNamed("StrF");
        if (security->m_streams == Method::Aes128 || security->m_strings == Method::Aes128) keyBytes = 16;
    } else {
        security->m_streams = security->m_strings = Method::Rc4;
    }
    if (keyBytes < 5 || keyBytes > 32 || (version < 5 && keyBytes > 16)) throw PdfError("bad encryption key length");

    std::string owner = StringOf(encrypt, "O"), user = StringOf(encrypt, "U");
    if (revision >= 5) {
        if (user.size() < 48) throw PdfError("bad encryption dictionary");
        if (PasswordHash(revision, "", user.substr(32, 8)) != user.substr(0, 32)) throw PdfError(kNeedsPassword);
        std::string wrapped = StringOf(encrypt, "UE");
        if (wrapped.size() < 32) throw PdfError("bad encryption dictionary");
        security->m_fileKey = AesCbcDecrypt(PasswordHash(revision, "", user.substr(40, 8)), std::string(16, '\0'), wrapped.substr(0, 32));
        return security;
    }

    if (owner.size() < 32 || user.size() < (revision == 2 ? 32u : 16u)) throw PdfError("bad encryption dictionary");
    // /P is a signed 32-bit number; some writers store it unsigned.
    ObjectPtr permissions = encrypt.Get("P");
    if (permissions->kind != Kind::Number) throw PdfError("encryption dictionary without P");
    uint32_t p = static_cast<uint32_t>(static_cast<int64_t>(permissions->number));
    std::string key = Md5(kPadding + owner.substr(0, 32) + LittleEndian(p, 4) + firstId +
                          (revision >= 4 && !security->m_encryptMetadata ? std::string(4, '\xFF') : std::string()));
    key.resize(keyBytes);
    if (revision >= 3)
        for (int i = 0; i < 50; ++i) key = Md5(key).substr(0, keyBytes);
    if (revision == 2) {
        if (Rc4(key, kPadding) != user.substr(0, 32)) throw PdfError(kNeedsPassword);
    } else {
        std::string check = Rc4(key, Md5(kPadding + firstId));
        for (int i = 1; i <= 19; ++i) {
            std::string stepKey = key;
            for (char& c : stepKey) c = static_cast<char>(c ^ i);
            check = Rc4(stepKey, check);
        }
        if (check != user.substr(0, 16)) throw PdfError(kNeedsPassword);
    }
    security->m_fileKey = key;
    return security;
}

std::string StandardSecurity::DecryptBytes(Method method, const std::string& data, int number, int generation) const
{
    if (method == Method::None) return data;
    std::string key = m_fileKey;
    if (method != Method::Aes256) {
        std::string salted = m_fileKey + LittleEndian(static_cast<uint32_t>(number), 3) + LittleEndian(static_cast<uint32_t>(generation), 2);
        if (method == Method::Aes128) salted += "sAlT";
        key = Md5(salted).substr(0, std::min<size_t>(m_fileKey.size() + 5, 16));
    }
    if (method == Method::Rc4) return Rc4(key, data);
    // AES: a 16-byte IV, then whole blocks whose last is padded with its count of pad bytes. A
    // ragged end is dropped and a pad that does not read as one is kept, as readers do.
    if (data.size() < 32) return std::string();
    std::string plain = AesCbcDecrypt(key, data.substr(0, 16), data.substr(16, (data.size() - 16) / 16 * 16));
    unsigned char pad = static_cast<unsigned char>(plain.back());
    if (pad >= 1 && pad <= 16 && plain.find_first_not_of(static_cast<char>(pad), plain.size() - pad) == std::string::npos)
        plain.resize(plain.size() - pad);
    return plain;
}

StandardSecurity::Method StandardSecurity::StreamMethod(const Object& stream) const
{
    ObjectPtr type = stream.Get("Type");
    if (type->IsName("XRef") || (type->IsName("Metadata") && !m_encryptMetadata)) return Method::None;
    // A stream may choose its own crypt filter as the first of its filters.
    ObjectPtr filter = stream.Get("Filter");
    ObjectPtr parms = stream.Get("DecodeParms");
    if (filter->kind == Kind::Array && !filter->items.empty()) {
        filter = filter->items[0];
        parms = parms->kind == Kind::Array && !parms->items.empty() ? parms->items[0] : MakeNull();
    }
    if (!filter->IsName("Crypt")) return m_streams;
    ObjectPtr name = parms->kind == Kind::Dict ? parms->Get("Name") : MakeNull();
    if (name->kind != Kind::Name) return Method::None; // /Identity
    auto found = m_cryptFilters.find(name->text);
    if (found == m_cryptFilters.end()) throw PdfError("a stream names a crypt filter the file does not define");
    return found->second;
}

ObjectPtr StandardSecurity::Decrypt(const ObjectPtr& obj, int number, int generation) const
{
    return DecryptStrings(obj, number, generation, 0);
}

ObjectPtr StandardSecurity::DecryptStrings(const ObjectPtr& obj, int number, int generation, int depth) const
{
    if (depth > 64) throw PdfError("objects nested too deeply");
    switch (obj->kind) {
    case Kind::String: {
        auto copy = std::make_shared<Object>(*obj);
        copy->text = DecryptBytes(m_strings, obj->text, number, generation);
        return copy;
    }
    case Kind::Array: {
        auto copy = std::make_shared<Object>(*obj);
        for (ObjectPtr& item : copy->items) item = DecryptStrings(item, number, generation, depth + 1);
        return copy;
    }
    case Kind::Dict:
    case Kind::Stream: {
        auto copy = std::make_shared<Object>(*obj);
        for (auto& entry : copy->dict)
            if (entry.second) entry.second = DecryptStrings(entry.second, number, generation, depth + 1);
        if (obj->kind == Kind::Stream) copy->raw = DecryptBytes(StreamMethod(*obj), obj->raw, number, generation);
        return copy;
    }
    default:
        return obj;
    }
}

} // namespace pdf
