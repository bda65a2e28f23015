// The standard security handler opened with the empty user password: it checks that the password
// opens the file, derives the file key (revisions 2 to 6) and decrypts the strings and streams of
// each object with that object's key, honouring the crypt filters a file names.
#pragma once
#include "viewer/PdfObject.h"
#include <map>
#include <memory>
#include <string>

namespace pdf {

class StandardSecurity
{
public:
    enum class Method { None, Rc4, Aes128, Aes256 };

    // Opens the handler of an encryption dictionary with the first string of the file's ID. Throws
    // PdfError saying the form is protected when it needs a password or another handler, and
    // PdfError for a dictionary it cannot read.
    static std::unique_ptr<StandardSecurity> Open(const Object& encrypt, const std::string& firstId);

    // A copy of an object of the file with its strings and stream data decrypted. Cross-reference
    // streams are stored in clear, and metadata too when the dictionary says so.
    ObjectPtr Decrypt(const ObjectPtr& obj, int number, int generation) const;

    // Undoes one method with an object's number and generation (for tests and for Decrypt).
    std::string DecryptBytes(Method method, const std::string& data, int number, int generation) const;

    const std::string& FileKey() const { return m_fileKey; }

private:
    StandardSecurity() = default;
    Method StreamMethod(const Object& stream) const;
    ObjectPtr DecryptStrings(const ObjectPtr& obj, int number, int generation, int depth) const;

    int m_revision = 0;
    std::string m_fileKey;
    Method m_strings = Method::None;
    Method m_streams = Method::None;
    std::map<std::string, Method> m_cryptFilters; // named filters of /CF, and /Identity
    bool m_encryptMetadata = true;
};

} // namespace pdf
