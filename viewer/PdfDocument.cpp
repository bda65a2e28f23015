// Cross-reference reading, object loading and stream decoding of a PDF file.
#include "viewer/PdfDocument.h"
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace pdf {

namespace {
const int kMaxXrefSections = 256;
// Far deeper than any writer nests its page tree; deeper still is refused, never cut.
const int kMaxPageDepth = 512;
const size_t kMaxResolveDepth = 256;
// A document's objects may hold this many values (some 100 to 200 bytes each in memory): far
// more than a form of tens of thousands of fields needs.
const size_t kMaxValues = 1000000;
// The decoded streams of one document together (each one on its own has the filters' limit).
const size_t kMaxDecodedBytes = 256u << 20;

int IntOf(const ObjectPtr& obj, int fallback)
{
    return obj->kind == Kind::Number ? static_cast<int>(obj->number) : fallback;
}

// The next place of a word at or after a position. A pass that moves forward asks with growing
// positions: an answer still ahead of the position stands, so each stretch of bytes is searched once.
class ForwardFinder
{
public:
    ForwardFinder(const std::string& bytes, const char* word) : m_bytes(bytes), m_word(word) {}
    size_t Next(size_t from)
    {
        if (!m_searched || from < m_from || (m_at != std::string::npos && from > m_at)) {
            m_at = m_bytes.find(m_word, from);
            m_from = from;
            m_searched = true;
        }
        return m_at;
    }

private:
    const std::string& m_bytes;
    const char* m_word;
    bool m_searched = false;
    size_t m_from = 0;
    size_t m_at = std::string::npos;
};

// Whether bytes[from, end) hold a word.
bool Holds(const std::string& bytes, size_t from, size_t end, const char* word)
{
    auto last = bytes.begin() + end;
    return std::search(bytes.begin() + from, last, word, word + std::strlen(word)) != last;
}

ObjectPtr RefTo(int number)
{
    auto ref = std::make_shared<Object>();
    ref->kind = Kind::Ref;
    ref->refNumber = number;
    return ref;
}
} // namespace

Document::Document(std::string bytes) : m_bytes(std::move(bytes))
{
    m_lengthResolver = [this](const Object& ref) { return ResolveLength(ref); };
    m_values.limit = kMaxValues;
    if (m_bytes.compare(0, 5, "%PDF-") != 0 && m_bytes.find("%PDF-") > 1024)
        throw PdfError("not a PDF file");
    // The last "startxref" wherever it is (writers and mail programs may append bytes after the
    // end); when the sections it leads to cannot be read, the objects are found by a scan instead.
    bool read = false;
    size_t at = m_bytes.rfind("startxref");
    if (at != std::string::npos) {
        Parser parser(m_bytes, at + 9);
        parser.SkipWhitespace();
        std::string offsetText = parser.PeekKeyword();
        char* end = nullptr;
        unsigned long offset = std::strtoul(offsetText.c_str(), &end, 10);
        if (!offsetText.empty() && *end == '\0' && offset < m_bytes.size()) {
            try {
                ReadXrefChain(offset);
                read = m_trailer && m_trailer->Get("Root")->kind == Kind::Ref;
            } catch (const PdfError&) {
                read = false;
            }
        }
    }
    if (!read) RebuildXref();
    if (!m_trailer || m_trailer->Get("Root")->kind != Kind::Ref) throw PdfError("no document catalog");
    OpenSecurity();
    // Encrypted object streams could not be read by the scan before the file's key was known.
    if (m_rebuilt && m_security) ScanObjects();
}

void Document::OpenSecurity()
{
    ObjectPtr encrypt = m_trailer->Get("Encrypt");
    if (encrypt->IsNull()) return;
    if (encrypt->kind == Kind::Ref) m_encryptNumber = encrypt->refNumber;
    ObjectPtr dict = Resolve(encrypt);
    if (dict->kind != Kind::Dict) throw PdfError("bad encryption dictionary");
    ObjectPtr ids = Resolve(m_trailer->Get("ID"));
    ObjectPtr firstId = ids->kind == Kind::Array && !ids->items.empty() ? Resolve(ids->items[0]) : MakeNull();
    m_security = StandardSecurity::Open(*dict, firstId->kind == Kind::String ? firstId->text : std::string());
    // What was read to get here was read without decryption.
    ForgetLoaded();
}

void Document::ForgetLoaded()
{
    m_cache.clear();
    m_objectStreams.clear();
    m_damaged.clear();
    m_values.used = 0;
    m_decoded.clear();
    m_decodedBytes = 0;
}

Parser Document::ParserAt(const std::string& bytes, size_t pos)
{
    Parser parser(bytes, pos);
    parser.lengthResolver = &m_lengthResolver;
    parser.budget = &m_values;
    return parser;
}

void Document::ReadXrefChain(size_t offset)
{
    std::set<size_t> seen;
    for (int section = 0; section < kMaxXrefSections; ++section) {
        if (offset >= m_bytes.size() || !seen.insert(offset).second) throw PdfError("bad cross-reference chain");
        Parser probe(m_bytes, offset);
        probe.SkipWhitespace();
        ObjectPtr trailer;
        if (probe.PeekKeyword() == "xref") {
            ReadXrefTable(probe.Position(), trailer);
            // A file saved for both kinds of reader keeps extra entries in a stream.
            ObjectPtr hybrid = trailer->Get("XRefStm");
            if (hybrid->kind == Kind::Number) ReadXrefStream(static_cast<size_t>(hybrid->number));
        } else {
            trailer = ReadXrefStream(offset);
        }
        if (!m_trailer) m_trailer = trailer;
        CheckObjectCount(m_xref.Size());
        ObjectPtr prev = trailer->Get("Prev");
        if (prev->kind != Kind::Number) return;
        offset = static_cast<size_t>(prev->number);
    }
    throw PdfError("too many cross-reference sections");
}

size_t Document::ReadXrefTable(size_t offset, ObjectPtr& trailer)
{
    Parser parser = ParserAt(m_bytes, offset + 4);
    for (;;) {
        std::string word = parser.PeekKeyword();
        if (word == "trailer") {
            parser.SetPosition(parser.Position() + 7);
            trailer = parser.ReadObject();
            if (trailer->kind != Kind::Dict) throw PdfError("trailer is not a dictionary");
            return parser.Position();
        }
        char* end = nullptr;
        long first = std::strtol(word.c_str(), &end, 10);
        if (word.empty() || *end) throw PdfError("bad cross-reference table");
        parser.SetPosition(parser.Position() + word.size());
        std::string countText = parser.PeekKeyword();
        long count = std::strtol(countText.c_str(), &end, 10);
        if (countText.empty() || *end || count < 0 || first < 0) throw PdfError("bad cross-reference subsection");
        parser.SetPosition(parser.Position() + countText.size());
        // An entry takes 18 bytes and its line end: a count the rest of the file cannot hold is false.
        if (static_cast<unsigned long>(count) > (m_bytes.size() - parser.Position()) / 19)
            throw PdfError("cross-reference subsection longer than the file");
        for (long i = 0; i < count; ++i) {
            parser.SkipWhitespace();
            size_t p = parser.Position();
            if (p + 18 > m_bytes.size()) throw PdfError("cross-reference table cut short");
            unsigned long entryOffset = std::strtoul(m_bytes.substr(p, 10).c_str(), nullptr, 10);
            char type = m_bytes[p + 17];
            if (type != 'n' && type != 'f') throw PdfError("bad cross-reference entry");
            parser.SetPosition(p + 18);
            if (type == 'f') continue; // free entries are not kept
            XrefEntry entry;
            entry.number = static_cast<std::uint32_t>(first + i);
            entry.type = 1;
            entry.location = static_cast<std::uint32_t>(std::min<unsigned long>(entryOffset, m_bytes.size()));
            m_xref.Add(entry); // a newer section that already named the object wins
        }
    }
}

void Document::CheckObjectCount(unsigned long long count) const
{
    if (count > m_bytes.size()) throw PdfError("cross-reference section names more objects than the file can hold");
}

ObjectPtr Document::ReadXrefStream(size_t offset)
{
    Parser parser = ParserAt(m_bytes, offset);
    int number = 0, generation = 0;
    if (!parser.ReadObjectHeader(number, generation)) throw PdfError("no cross-reference section at its offset");
    ObjectPtr stream = parser.ReadObject();
    if (stream->kind != Kind::Stream || !stream->Get("Type")->IsName("XRef")) throw PdfError("bad cross-reference stream");
    ObjectPtr w = stream->Get("W");
    if (w->kind != Kind::Array || w->items.size() < 3) throw PdfError("cross-reference stream without widths");
    int widths[3];
    for (int i = 0; i < 3; ++i) {
        widths[i] = IntOf(w->items[i], -1);
        if (widths[i] < 0 || widths[i] > 8) throw PdfError("bad cross-reference widths");
    }
    size_t entrySize = widths[0] + widths[1] + widths[2];
    if (entrySize == 0) throw PdfError("bad cross-reference widths");
    std::vector<std::pair<long, long>> ranges;
    ObjectPtr index = stream->Get("Index");
    if (index->kind == Kind::Array) {
        for (size_t i = 0; i + 1 < index->items.size(); i += 2)
            ranges.emplace_back(IntOf(index->items[i], 0), IntOf(index->items[i + 1], 0));
    } else {
        ranges.emplace_back(0, IntOf(stream->Get("Size"), 0));
    }
    // More entries than the file has bytes is no real section (every object, even one since freed,
    // took some): refused before the data is decoded. Then the entries must fit in the data.
    unsigned long long entries = 0;
    for (auto& range : ranges) entries += static_cast<unsigned long long>(std::max(0L, range.second));
    CheckObjectCount(entries);
    std::string data = DecodeStream(*stream);
    if (entries > data.size() / entrySize) throw PdfError("cross-reference stream shorter than its entries");
    auto field = [&](size_t& at, int width) {
        unsigned long long value = 0;
        for (int b = 0; b < width; ++b) value = (value << 8) | static_cast<unsigned char>(data[at++]);
        return value;
    };
    size_t pos = 0;
    for (auto& range : ranges) {
        for (long i = 0; i < range.second; ++i, pos += entrySize) {
            size_t at = pos;
            unsigned long long fields[3];
            for (int f = 0; f < 3; ++f) fields[f] = field(at, widths[f]);
            if (widths[0] == 0) fields[0] = 1;
            if (fields[0] != 1 && fields[0] != 2) continue; // free entries are not kept
            XrefEntry entry;
            entry.number = static_cast<std::uint32_t>(range.first + i);
            entry.type = static_cast<std::uint8_t>(fields[0]);
            if (entry.type == 1) {
                entry.location = static_cast<std::uint32_t>(std::min<unsigned long long>(fields[1], m_bytes.size()));
            } else {
                entry.location = static_cast<std::uint32_t>(fields[1]);
                entry.index = static_cast<std::uint32_t>(fields[2]);
            }
            m_xref.Add(entry);
        }
    }
    return stream;
}

long Document::ResolveLength(const Object& ref)
{
    const XrefEntry* entry = m_xref.Find(ref.refNumber);
    if (!entry || entry->type != 1 || m_loading.count(ref.refNumber)) return -1;
    try {
        ObjectPtr length = Resolve(std::make_shared<Object>(ref));
        return length->kind == Kind::Number ? static_cast<long>(length->number) : -1;
    } catch (const PdfError&) {
        return -1;
    }
}

ObjectPtr Document::Resolve(const ObjectPtr& obj)
{
    if (!obj || obj->kind != Kind::Ref) return obj ? obj : MakeNull();
    int number = obj->refNumber;
    auto cached = m_cache.find(number);
    if (cached != m_cache.end()) return cached->second;
    auto damaged = m_damaged.find(number);
    if (damaged != m_damaged.end()) throw PdfError(damaged->second);
    if (m_loading.count(number)) throw PdfError("object refers to itself");
    if (m_loading.size() > kMaxResolveDepth) throw PdfError("references nested too deeply");
    m_loading.insert(number);
    ObjectPtr loaded;
    try {
        loaded = LoadObject(number);
    } catch (...) {
        m_loading.erase(number);
        throw;
    }
    m_loading.erase(number);
    m_cache[number] = loaded;
    return loaded;
}

ObjectPtr Document::LoadObject(int number)
{
    const XrefEntry* recorded = m_xref.Find(number);
    if (!recorded) return MakeNull();
    const XrefEntry entry = *recorded; // a copy: loading may add entries
    if (entry.type == 2) return LoadFromObjectStream(static_cast<int>(entry.location), number);
    Parser parser = ParserAt(m_bytes, entry.location);
    int found = 0, generation = 0;
    bool there = false;
    try {
        there = parser.ReadObjectHeader(found, generation) && found == number;
    } catch (const PdfError&) {
        there = false; // bytes that are no header at all: the offset is off
    }
    if (!there) {
        // A recorded offset that misses its object: the table is wrong, not the object.
        if (m_rebuilt) throw PdfError("object " + std::to_string(number) + " is not at its recorded offset");
        ScanObjects();
        return LoadObject(number);
    }
    ObjectPtr obj = ReadBody(parser, number);
    // Objects inside an object stream were decrypted with the stream; the rest with their own key.
    if (m_security && number != m_encryptNumber) obj = m_security->Decrypt(obj, number, generation);
    return obj->kind == Kind::Ref ? Resolve(obj) : obj;
}

const Document::ObjectStream& Document::OpenObjectStream(int streamNumber)
{
    auto cached = m_objectStreams.find(streamNumber);
    if (cached != m_objectStreams.end()) {
        if (!cached->second.damage.empty()) throw PdfError(cached->second.damage);
        return cached->second;
    }
    // Where the stream object cannot be had now (it is being loaded, or sits at the end of a long
    // chain) the failure is not the stream's own, and is not remembered.
    ObjectPtr stream = Resolve(RefTo(streamNumber));
    try {
        return m_objectStreams.emplace(streamNumber, ReadObjectStream(*stream)).first->second;
    } catch (const PdfError& e) {
        // Remembered: the stream's objects each ask for it again.
        m_objectStreams[streamNumber].damage = e.what();
        throw;
    }
}

Document::ObjectStream Document::ReadObjectStream(const Object& stream)
{
    if (stream.kind != Kind::Stream) throw PdfError("object stream missing");
    ObjectStream opened;
    opened.data = DecodeStream(stream);
    int count = IntOf(stream.Get("N"), 0);
    int first = IntOf(stream.Get("First"), -1);
    if (count <= 0 || first < 0 || static_cast<size_t>(first) > opened.data.size()) throw PdfError("bad object stream");
    // The pairs up to the first damaged one (the objects after it cannot be placed).
    Parser header = ParserAt(opened.data, 0);
    try {
        for (int i = 0; i < count && header.Position() < static_cast<size_t>(first); ++i) {
            ObjectPtr num = header.ReadObject();
            ObjectPtr off = header.ReadObject();
            if (num->kind != Kind::Number || off->kind != Kind::Number || off->number < 0) break;
            opened.offsets.emplace_back(static_cast<std::uint32_t>(num->number), first + static_cast<size_t>(off->number));
        }
    } catch (const PdfError&) {
        // a header cut short keeps the pairs before the cut
    }
    // Sorted by number for the lookups; of two copies of a number in one header the first counts.
    std::stable_sort(opened.offsets.begin(), opened.offsets.end(),
                     [](const std::pair<std::uint32_t, size_t>& a, const std::pair<std::uint32_t, size_t>& b) { return a.first < b.first; });
    opened.offsets.erase(std::unique(opened.offsets.begin(), opened.offsets.end(),
                                     [](const std::pair<std::uint32_t, size_t>& a, const std::pair<std::uint32_t, size_t>& b) {
                                         return a.first == b.first;
                                     }),
                         opened.offsets.end());
    return opened;
}

ObjectPtr Document::LoadFromObjectStream(int streamNumber, int number)
{
    const ObjectStream& stream = OpenObjectStream(streamNumber);
    auto it = std::lower_bound(stream.offsets.begin(), stream.offsets.end(), std::make_pair(static_cast<std::uint32_t>(number), size_t(0)));
    if (it == stream.offsets.end() || it->first != static_cast<std::uint32_t>(number)) return MakeNull();
    Parser body = ParserAt(stream.data, it->second);
    return ReadBody(body, number);
}

void Document::ScanObjects()
{
    m_rebuilt = true;
    m_damaged.clear(); // objects may be found elsewhere now
    std::vector<XrefEntry> found;   // each copy of an object in the file, in file order
    std::vector<XrefEntry> streams; // the copies that are object streams
    ForwardFinder streamWord(m_bytes, "stream"), objStmName(m_bytes, "/ObjStm"), endobjWord(m_bytes, "endobj");
    for (size_t at = m_bytes.find("obj"); at != std::string::npos; at = m_bytes.find("obj", at + 3)) {
        // "N G obj" at the start of a line or after a delimiter; its number and offset.
        size_t after = at + 3;
        if (at == 0 || !IsPdfWhitespace(m_bytes[at - 1])) continue;
        if (after < m_bytes.size() && !IsPdfWhitespace(m_bytes[after]) && !IsPdfDelimiter(m_bytes[after])) continue;
        size_t p = at;
        while (p > 0 && IsPdfWhitespace(m_bytes[p - 1])) --p;
        size_t genEnd = p;
        while (p > 0 && std::isdigit(static_cast<unsigned char>(m_bytes[p - 1]))) --p;
        if (p == genEnd || p == 0 || !IsPdfWhitespace(m_bytes[p - 1])) continue;
        while (p > 0 && IsPdfWhitespace(m_bytes[p - 1])) --p;
        size_t numEnd = p;
        while (p > 0 && std::isdigit(static_cast<unsigned char>(m_bytes[p - 1]))) --p;
        if (p == numEnd || numEnd - p > 9 || (p > 0 && !IsPdfWhitespace(m_bytes[p - 1]) && !IsPdfDelimiter(m_bytes[p - 1])))
            continue;
        XrefEntry entry;
        entry.number = static_cast<std::uint32_t>(std::atoi(m_bytes.substr(p, numEnd - p).c_str()));
        entry.type = 1;
        entry.location = static_cast<std::uint32_t>(p);
        found.push_back(entry);
        // An object stream: "/ObjStm" before the object's "stream", and no "endobj" between.
        size_t head = streamWord.Next(after);
        if (head != std::string::npos && objStmName.Next(after) < head && endobjWord.Next(after) > head)
            streams.push_back(entry);
    }
    // The copies in the file, a later one over an earlier one; the table's entries into object
    // streams only for objects the scan does not find.
    std::vector<XrefEntry> packed;
    for (const XrefEntry& entry : m_xref.Entries())
        if (entry.type == 2) packed.push_back(entry);
    XrefIndex scanned;
    for (auto it = found.rbegin(); it != found.rend(); ++it) scanned.Add(*it);
    for (const XrefEntry& entry : packed) scanned.Add(entry);
    m_xref.Swap(scanned);

    // The objects of the object streams stand where their stream stands: of all copies of an
    // object, in the file or in streams, the last one is the latest revision.
    std::vector<std::pair<size_t, XrefEntry>> copies;
    for (const XrefEntry& entry : found) copies.emplace_back(entry.location, entry);
    size_t plainCopies = copies.size();
    for (const XrefEntry& stream : streams) {
        const XrefEntry* latest = m_xref.Find(static_cast<int>(stream.number));
        if (!latest || latest->type != 1 || latest->location != stream.location) continue; // an older revision
        for (const XrefEntry& member : MembersOf(static_cast<int>(stream.number))) copies.emplace_back(stream.location, member);
    }
    if (copies.size() == plainCopies) return;
    std::stable_sort(copies.begin(), copies.end(),
                     [](const std::pair<size_t, XrefEntry>& a, const std::pair<size_t, XrefEntry>& b) { return a.first > b.first; });
    XrefIndex latest;
    for (const auto& copy : copies) latest.Add(copy.second);
    for (const XrefEntry& entry : packed) latest.Add(entry);
    m_xref.Swap(latest);
}

std::vector<XrefEntry> Document::MembersOf(int streamNumber)
{
    std::vector<XrefEntry> members;
    try {
        for (const auto& member : OpenObjectStream(streamNumber).offsets) {
            XrefEntry entry;
            entry.number = member.first;
            entry.type = 2;
            entry.location = static_cast<std::uint32_t>(streamNumber);
            members.push_back(entry);
        }
    } catch (const PdfError&) {
        // an object stream that cannot be read holds nothing
    }
    return members;
}

void Document::RebuildXref()
{
    m_xref.Clear();
    ForgetLoaded();
    m_trailer.reset();
    ScanObjects();
    // The trailers' entries, later ones over earlier ones; a file of cross-reference streams keeps
    // them in those streams' dictionaries. Each trailer is read within its stretch of bytes (up to
    // the next "trailer"), so that damaged ones cost their own bytes only.
    auto trailer = std::make_shared<Object>();
    trailer->kind = Kind::Dict;
    auto take = [&](const ObjectPtr& dict) {
        for (const char* key : {"Root", "Info", "Encrypt", "ID"})
            if (!dict->Get(key)->IsNull()) trailer->dict[key] = dict->Get(key);
    };
    std::vector<size_t> trailerWords;
    for (size_t at = m_bytes.find("trailer"); at != std::string::npos; at = m_bytes.find("trailer", at + 7))
        trailerWords.push_back(at);
    for (size_t i = 0; i < trailerWords.size(); ++i) {
        size_t end = i + 1 < trailerWords.size() ? trailerWords[i + 1] : m_bytes.size();
        ObjectPtr dict = ReadStretch(m_bytes, trailerWords[i] + 7, end, false);
        if (dict->kind == Kind::Dict) take(dict);
    }
    if (trailer->Get("Root")->IsNull()) {
        // The catalog, and the entries of cross-reference streams: objects whose stretch (from their
        // header to the next object's) names one, read within it, the last in the file winning.
        std::vector<std::pair<size_t, XrefEntry>> stretches; // where each object begins, in the file or its stream
        for (const XrefEntry& entry : m_xref.Entries())
            if (entry.type == 1) stretches.emplace_back(entry.location, entry);
        std::sort(stretches.begin(), stretches.end(),
                  [](const std::pair<size_t, XrefEntry>& a, const std::pair<size_t, XrefEntry>& b) { return a.first < b.first; });
        for (size_t i = 0; i < stretches.size(); ++i) {
            size_t from = stretches[i].first, end = i + 1 < stretches.size() ? stretches[i + 1].first : m_bytes.size();
            if (!Holds(m_bytes, from, end, "Catalog") && !Holds(m_bytes, from, end, "XRef")) continue;
            ObjectPtr obj = ReadStretch(m_bytes, from, end, true);
            if (obj->kind == Kind::Stream && obj->Get("Type")->IsName("XRef")) take(obj);
            else if (obj->kind == Kind::Dict && obj->Get("Type")->IsName("Catalog"))
                trailer->dict["Root"] = RefTo(static_cast<int>(stretches[i].second.number));
        }
        // A catalog packed in an object stream the scan opened, where the file holds none.
        for (auto& opened : m_objectStreams) {
            if (!trailer->Get("Root")->IsNull()) break;
            std::vector<std::pair<size_t, std::uint32_t>> members;
            for (const auto& member : opened.second.offsets) members.emplace_back(member.second, member.first);
            std::sort(members.begin(), members.end());
            const std::string& data = opened.second.data;
            for (size_t i = 0; i < members.size(); ++i) {
                size_t from = std::min(members[i].first, data.size());
                size_t end = i + 1 < members.size() ? std::min(members[i + 1].first, data.size()) : data.size();
                if (from >= end || !Holds(data, from, end, "Catalog")) continue;
                ObjectPtr obj = ReadStretch(data, from, end, false);
                if (obj->kind == Kind::Dict && obj->Get("Type")->IsName("Catalog"))
                    trailer->dict["Root"] = RefTo(static_cast<int>(members[i].second));
            }
        }
    }
    // The objects read in the search for the catalog; the object streams the scan opened stay.
    m_cache.clear();
    m_damaged.clear();
    m_values.used = 0;
    m_trailer = trailer;
}

ObjectPtr Document::ReadBody(Parser& parser, int number)
{
    try {
        return parser.ReadObject();
    } catch (const PdfError& e) {
        m_damaged.emplace(number, e.what());
        throw;
    }
}

ObjectPtr Document::ReadStretch(const std::string& bytes, size_t from, size_t end, bool header)
{
    std::string stretch = bytes.substr(from, end - from);
    try {
        Parser parser = ParserAt(stretch, 0);
        int number = 0, generation = 0;
        if (header && !parser.ReadObjectHeader(number, generation)) return MakeNull();
        return parser.ReadObject();
    } catch (const PdfError&) {
        return MakeNull(); // a damaged object or trailer gives nothing
    }
}

std::string Document::DecodeStream(const Object& stream)
{
    ObjectPtr filter = Resolve(stream.Get("Filter"));
    ObjectPtr parms = Resolve(stream.Get("DecodeParms"));
    std::vector<ObjectPtr> filters, params;
    if (filter->kind == Kind::Name) {
        filters.push_back(filter);
        params.push_back(parms);
    } else if (filter->kind == Kind::Array) {
        filters = filter->items;
        for (size_t i = 0; i < filters.size(); ++i)
            params.push_back(parms->kind == Kind::Array && i < parms->items.size() ? Resolve(parms->items[i])
                             : parms->kind == Kind::Dict && filters.size() == 1 ? parms
                                                                             : MakeNull());
    }
    std::vector<FilterStep> steps;
    for (size_t i = 0; i < filters.size(); ++i) {
        ObjectPtr f = Resolve(filters[i]);
        if (f->kind != Kind::Name) throw PdfError("stream filter is not a name");
        if (f->text == "Crypt") continue; // undone when the object was loaded
        steps.push_back(FilterStep{f->text, params[i]});
    }
    std::string decoded = DecodeFilters(stream.raw, steps);
    // A stream decoded again (a content shared by pages, a form drawn twice) counts once.
    if (m_decoded.insert(&stream).second) {
        m_decodedBytes += decoded.size();
        if (m_decodedBytes > kMaxDecodedBytes) {
            m_decoded.erase(&stream);
            m_decodedBytes -= decoded.size();
            throw PdfLimitError("its streams need more than " + std::to_string(kMaxDecodedBytes >> 20) + " MB when decoded");
        }
    }
    return decoded;
}

template <typename Box> void Document::ReadBox(const ObjectPtr& entry, Box& box)
{
    ObjectPtr array = Resolve(entry);
    if (array->kind != Kind::Array || array->items.size() != 4) return;
    std::array<double, 4> corners;
    for (int i = 0; i < 4; ++i) {
        ObjectPtr v = Resolve(array->items[i]);
        if (v->kind != Kind::Number) return;
        corners[i] = v->number;
    }
    // Any two opposite corners: lower left first.
    box = std::array<double, 4>{std::min(corners[0], corners[2]), std::min(corners[1], corners[3]),
                                std::max(corners[0], corners[2]), std::max(corners[1], corners[3])};
}

std::vector<Document::Page> Document::Pages()
{
    std::vector<Page> pages;
    std::set<const Object*> visited;
    std::function<void(const ObjectPtr&, int, const Page&, int)> walk =
        [&](const ObjectPtr& ref, int number, const Page& inherited, int depth) {
            ObjectPtr node = Resolve(ref);
            if (node->kind != Kind::Dict || !visited.insert(node.get()).second) return;
            if (depth > kMaxPageDepth)
                throw PdfLimitError("the page tree goes deeper than " + std::to_string(kMaxPageDepth) + " levels at " +
                               (number ? "object " + std::to_string(number) : std::string("a page tree node")));
            Page here = inherited;
            here.object = node;
            here.number = number;
            ReadBox(node->Get("MediaBox"), here.media);
            ReadBox(node->Get("CropBox"), here.crop);
            // Any multiple of 90, negative or past a full turn; other values leave the page upright.
            ObjectPtr rotate = Resolve(node->Get("Rotate"));
            if (rotate->kind == Kind::Number && std::fmod(rotate->number, 90) == 0 && std::fabs(rotate->number) < 1e9)
                here.rotation = static_cast<int>((static_cast<long long>(rotate->number) % 360 + 360) % 360);
            ObjectPtr resources = node->Get("Resources");
            if (!resources->IsNull()) here.resources = resources;
            ObjectPtr kids = Resolve(node->Get("Kids"));
            if (node->Get("Type")->IsName("Page") || kids->kind != Kind::Array) {
                pages.push_back(here);
                return;
            }
            for (const ObjectPtr& kid : kids->items)
                walk(kid, kid->kind == Kind::Ref ? kid->refNumber : 0, here, depth + 1);
        };
    ObjectPtr root = Catalog()->Get("Pages");
    Page top;
    top.media = {0, 0, 612, 792};
    walk(root, root->kind == Kind::Ref ? root->refNumber : 0, top, 0);
    // A reader shows the crop box, the part of the media box it keeps (all of it when none).
    for (Page& page : pages) {
        std::array<double, 4> shown = page.media;
        if (page.crop) {
            const std::array<double, 4>& crop = *page.crop;
            std::array<double, 4> both = {std::max(shown[0], crop[0]), std::max(shown[1], crop[1]),
                                          std::min(shown[2], crop[2]), std::min(shown[3], crop[3])};
            if (both[2] > both[0] && both[3] > both[1]) shown = both;
        }
        std::copy(shown.begin(), shown.end(), page.box);
    }
    return pages;
}

} // namespace pdf
