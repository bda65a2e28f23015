// A PDF file opened for reading: its cross-reference sections (tables and streams, with object
// streams), indirect objects resolved on demand (decrypted when the file is encrypted) and stream
// data decoded through its filter chain.
#pragma once
#include "viewer/PdfFilters.h"
#include "viewer/PdfObject.h"
#include "viewer/PdfSecurity.h"
#include "viewer/PdfXref.h"
#include <array>
#include <optional>
#include <set>

namespace pdf {

class Document
{
public:
    // Reads the cross-reference sections of the bytes and opens an encrypted file with the empty
    // user password; throws PdfError when the file is not PDF or cannot be opened so.
    explicit Document(std::string bytes);

    // The object behind a reference (other objects are returned as they are); null when the
    // object does not exist. Throws PdfError when the object's bytes are damaged.
    ObjectPtr Resolve(const ObjectPtr& obj);
    ObjectPtr Resolve(const ObjectPtr& obj, const char* key) { return Resolve(obj->Get(key)); }
    ObjectPtr Trailer() const { return m_trailer; }
    ObjectPtr Catalog() { return Resolve(m_trailer->Get("Root")); }

    // The decoded data of a stream; throws PdfError for a filter it cannot undo, or when the
    // document's streams together would decode to more than 256 MB (a stream decoded again
    // counts once).
    std::string DecodeStream(const Object& stream);

    // Every page object in order, with MediaBox, Rotate and Resources inherited from the page tree;
    // throws PdfError, naming the node, for a tree deeper than 512 levels.
    struct Page
    {
        ObjectPtr object;
        int number = 0;        // object number of the page, 0 for a direct page object
        double box[4] = {0, 0, 612, 792}; // the part shown: the crop box within the media box
        std::array<double, 4> media{};            // /MediaBox and /CropBox as inherited, normalised
        std::optional<std::array<double, 4>> crop;
        int rotation = 0;      // turn as shown, clockwise: 0, 90, 180 or 270 degrees
        ObjectPtr resources;
    };
    std::vector<Page> Pages();


    const std::string& Bytes() const { return m_bytes; }
    // How many objects the cross-reference locates (in use only: free entries are not kept).
    size_t ObjectCount() { return m_xref.Size(); }

private:
    void ReadXrefChain(size_t offset);
    // Refuses a count of entries (of a section, or of all kept) larger than the file's length.
    void CheckObjectCount(unsigned long long count) const;
    size_t ReadXrefTable(size_t offset, ObjectPtr& trailer);
    ObjectPtr ReadXrefStream(size_t offset);
    // Finds every object by a scan of the file, and the trailer's entries, where the
    // cross-reference sections cannot be read.
    void RebuildXref();
    // The object (after its "N G obj" header when header) or trailer dictionary in bytes[from, end),
    // read from a copy of that stretch alone; null when it is damaged.
    ObjectPtr ReadStretch(const std::string& bytes, size_t from, size_t end, bool header);
    // Replaces the recorded offsets by those one pass over the file finds, the last copy of each
    // object (in the file or in an object stream) winning; the table's object stream entries stay
    // for objects the scan does not find.
    void ScanObjects();
    // The entries of the objects an object stream holds; none when it cannot be read.
    std::vector<XrefEntry> MembersOf(int streamNumber);
    // A decoded object stream with its header read once: where each object it holds begins.
    struct ObjectStream
    {
        std::string data;
        std::vector<std::pair<std::uint32_t, size_t>> offsets; // by object number, first copy only
        std::string damage; // why it cannot be read; empty when it can
    };
    // The object stream, read at its first use; throws PdfError (each time) when it cannot be read.
    const ObjectStream& OpenObjectStream(int streamNumber);
    ObjectStream ReadObjectStream(const Object& stream);
    // The object after its header; a damaged one is remembered, so that every later reference to
    // it fails at once instead of reading its bytes again.
    ObjectPtr ReadBody(Parser& parser, int number);
    void OpenSecurity();
    // Reads a rectangle into box (left as it is when the entry is not one).
    template <typename Box> void ReadBox(const ObjectPtr& entry, Box& box);
    ObjectPtr LoadObject(int number);
    ObjectPtr LoadFromObjectStream(int streamNumber, int number);
    long ResolveLength(const Object& ref);
    // A parser of the document's bytes (or of a decoded stream of it) that resolves indirect
    // stream lengths and counts its values against the document's budget.
    Parser ParserAt(const std::string& bytes, size_t pos);
    // Drops the objects and object streams read so far, and what they counted against the budgets.
    void ForgetLoaded();

    std::string m_bytes;
    XrefIndex m_xref;
    std::map<int, ObjectPtr> m_cache;
    std::map<int, std::string> m_damaged; // objects whose bytes cannot be read, and why
    std::set<int> m_loading;   // objects being loaded: a reference back to one of them is a loop
    std::map<int, ObjectStream> m_objectStreams; // by object number
    ObjectPtr m_trailer;
    std::function<long(const Object&)> m_lengthResolver;
    std::unique_ptr<StandardSecurity> m_security; // null when the file is not encrypted
    int m_encryptNumber = 0;                      // the encryption dictionary's object, kept in clear
    bool m_rebuilt = false;                       // the offsets come from a scan of the file
    ValueBudget m_values;                         // values parsed from objects held
    std::set<const Object*> m_decoded;            // streams counted against the decode budget
    size_t m_decodedBytes = 0;
};

} // namespace pdf
