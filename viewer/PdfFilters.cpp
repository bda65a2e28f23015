// The decoders of the standard stream filters and of the predictors that Flate and LZW data may
// carry. Every decoder stops at a size limit, so a small hostile stream cannot fill the memory.
#include "viewer/PdfFilters.h"
#include "framework/TextEscapes.h"
#include <zlib.h>
#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace pdf {

namespace {
const size_t kMaxDecodedSize = 128u << 20;

void CheckSize(const std::string& out)
{
    if (out.size() > kMaxDecodedSize) throw PdfError("decoded stream too large");
}


int IntParm(const ObjectPtr& parms, const char* key, int fallback)
{
    if (!parms || parms->kind != Kind::Dict) return fallback;
    ObjectPtr value = parms->Get(key);
    return value->kind == Kind::Number ? static_cast<int>(value->number) : fallback;
}

// TIFF predictor 2: each component is the difference to the same component of the pixel to its left.
std::string UndoTiffPredictor(const std::string& data, int colors, int bits, int columns)
{
    if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16) throw PdfError("unsupported predictor");
    size_t rowLength = (static_cast<size_t>(colors) * bits * columns + 7) / 8;
    std::string out = data;
    for (size_t row = 0; row + rowLength <= out.size(); row += rowLength) {
        unsigned char* p = reinterpret_cast<unsigned char*>(&out[row]);
        if (bits == 8) {
            for (size_t i = colors; i < rowLength; ++i) p[i] = static_cast<unsigned char>(p[i] + p[i - colors]);
        } else if (bits == 16) {
            size_t step = 2 * colors;
            for (size_t i = step; i + 1 < rowLength; i += 2) {
                unsigned v = ((p[i] << 8) | p[i + 1]) + ((p[i - step] << 8) | p[i - step + 1]);
                p[i] = static_cast<unsigned char>(v >> 8);
                p[i + 1] = static_cast<unsigned char>(v);
            }
        } else {
            // Components smaller than a byte, most significant first.
            size_t count = static_cast<size_t>(colors) * columns;
            unsigned mask = (1u << bits) - 1;
            auto get = [&](size_t k) { size_t bit = k * bits; return (p[bit / 8] >> (8 - bits - bit % 8)) & mask; };
            auto put = [&](size_t k, unsigned v) {
                size_t bit = k * bits;
                int shift = static_cast<int>(8 - bits - bit % 8);
                p[bit / 8] = static_cast<unsigned char>((p[bit / 8] & ~(mask << shift)) | ((v & mask) << shift));
            };
            for (size_t k = colors; k < count; ++k) put(k, get(k) + get(k - colors));
        }
    }
    return out;
}

// PNG predictors: a type byte before each row says how the row was filtered.
std::string UndoPngPredictor(const std::string& data, int colors, int bits, int columns)
{
    size_t bpp = std::max<size_t>(1, (static_cast<size_t>(colors) * bits + 7) / 8);
    size_t rowLength = (static_cast<size_t>(colors) * bits * columns + 7) / 8;
    std::string out;
    std::string previous(rowLength, '\0');
    for (size_t pos = 0; pos + 1 + rowLength <= data.size(); pos += rowLength + 1) {
        int type = static_cast<unsigned char>(data[pos]);
        std::string row = data.substr(pos + 1, rowLength);
        for (size_t i = 0; i < rowLength; ++i) {
            int left = i >= bpp ? static_cast<unsigned char>(row[i - bpp]) : 0;
            int up = static_cast<unsigned char>(previous[i]);
            int upLeft = i >= bpp ? static_cast<unsigned char>(previous[i - bpp]) : 0;
            int add = 0;
            switch (type) {
            case 0: break;
            case 1: add = left; break;
            case 2: add = up; break;
            case 3: add = (left + up) / 2; break;
            case 4: {
                int p = left + up - upLeft;
                int pa = std::abs(p - left), pb = std::abs(p - up), pc = std::abs(p - upLeft);
                add = (pa <= pb && pa <= pc) ? left : (pb <= pc ? up : upLeft);
                break;
            }
            default: throw PdfError("bad predictor row");
            }
            row[i] = static_cast<char>(static_cast<unsigned char>(row[i]) + add);
        }
        out += row;
        previous = row;
    }
    return out;
}
} // namespace

std::string FlateDecode(const std::string& data)
{
    z_stream zs;
    std::memset(&zs, 0, sizeof zs);
    if (inflateInit(&zs) != Z_OK) throw PdfError("cannot start inflate");
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    zs.avail_in = static_cast<uInt>(data.size());
    std::string out;
    char buffer[16384];
    int rc;
    do {
        zs.next_out = reinterpret_cast<Bytef*>(buffer);
        zs.avail_out = sizeof buffer;
        rc = inflate(&zs, Z_NO_FLUSH);
        if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) {
            inflateEnd(&zs);
            throw PdfError("damaged compressed stream");
        }
        // Refused before the string grows past the limit, so that it never holds twice as much.
        if (out.size() + (sizeof buffer - zs.avail_out) > kMaxDecodedSize) {
            inflateEnd(&zs);
            throw PdfError("compressed stream too large");
        }
        out.append(buffer, sizeof buffer - zs.avail_out);
        if (rc == Z_BUF_ERROR && zs.avail_in == 0) break; // truncated input: keep what came out
    } while (rc != Z_STREAM_END);
    inflateEnd(&zs);
    return out;
}

std::string LzwDecode(const std::string& data, bool earlyChange)
{
    const int kClear = 256, kEnd = 257;
    std::vector<std::string> table;
    auto reset = [&] {
        table.clear();
        for (int i = 0; i < 256; ++i) table.push_back(std::string(1, static_cast<char>(i)));
        table.emplace_back(); // clear
        table.emplace_back(); // end of data
    };
    reset();
    std::string out;
    int width = 9, previous = -1;
    unsigned long buffer = 0;
    int held = 0;
    for (unsigned char byte : data) {
        buffer = (buffer << 8) | byte;
        held += 8;
        while (held >= width) {
            int code = static_cast<int>((buffer >> (held - width)) & ((1u << width) - 1));
            held -= width;
            if (code == kClear) {
                reset();
                width = 9;
                previous = -1;
                continue;
            }
            if (code == kEnd) return out;
            std::string entry;
            if (code < static_cast<int>(table.size()) && code != kClear && code != kEnd) entry = table[code];
            else if (code == static_cast<int>(table.size()) && previous >= 0) entry = table[previous] + table[previous][0];
            else throw PdfError("damaged LZW stream");
            if (previous >= 0 && table.size() < 4096) table.push_back(table[previous] + entry[0]);
            out += entry;
            CheckSize(out);
            previous = code;
            int next = static_cast<int>(table.size()) + (earlyChange ? 1 : 0);
            if (next >= (1 << width) && width < 12) ++width;
        }
    }
    return out; // no end code: keep what came out
}

std::string AsciiHexDecode(const std::string& data)
{
    std::string out;
    int high = -1;
    for (unsigned char c : data) {
        if (c == '>') break;
        if (IsPdfWhitespace(c)) continue;
        int v = HexDigitValue(c);
        if (v < 0) throw PdfError("bad ASCIIHex data");
        if (high < 0) {
            high = v;
        } else {
            out += static_cast<char>(high * 16 + v);
            high = -1;
        }
    }
    if (high >= 0) out += static_cast<char>(high * 16);
    return out;
}

std::string Ascii85Decode(const std::string& data)
{
    std::string out;
    unsigned long long group = 0;
    int count = 0;
    size_t start = data.compare(0, 2, "<~") == 0 ? 2 : 0;
    for (size_t i = start; i < data.size(); ++i) {
        unsigned char c = data[i];
        if (c == '~') break;
        if (IsPdfWhitespace(c)) continue;
        if (c == 'z' && count == 0) {
            out.append(4, '\0');
            continue;
        }
        if (c < '!' || c > 'u') throw PdfError("bad ASCII85 data");
        group = group * 85 + (c - '!');
        if (++count == 5) {
            if (group > 0xFFFFFFFFull) throw PdfError("bad ASCII85 group");
            for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((group >> shift) & 0xFF);
            group = 0;
            count = 0;
        }
    }
    if (count == 1) throw PdfError("bad ASCII85 end");
    if (count > 1) {
        // A last group of n digits stands for n - 1 bytes: pad with the highest digit.
        for (int k = count; k < 5; ++k) group = group * 85 + 84;
        if (group > 0xFFFFFFFFull) throw PdfError("bad ASCII85 group");
        for (int k = 0; k < count - 1; ++k) out += static_cast<char>((group >> (24 - 8 * k)) & 0xFF);
    }
    return out;
}

std::string RunLengthDecode(const std::string& data)
{
    std::string out;
    for (size_t i = 0; i < data.size();) {
        int length = static_cast<unsigned char>(data[i++]);
        if (length == 128) break;
        if (length < 128) {
            size_t n = std::min<size_t>(length + 1, data.size() - i);
            out.append(data, i, n);
            i += n;
        } else {
            if (i >= data.size()) break;
            out.append(257 - length, data[i++]);
        }
        CheckSize(out);
    }
    return out;
}

std::string UndoPredictor(const std::string& data, int predictor, int colors, int bitsPerComponent, int columns)
{
    if (predictor < 2) return data;
    if (colors < 1 || colors > 32 || columns < 1 || bitsPerComponent < 1 || bitsPerComponent > 16 ||
        static_cast<unsigned long long>(colors) * bitsPerComponent * columns / 8 > kMaxDecodedSize)
        throw PdfError("bad predictor parameters");
    if (predictor == 2) return UndoTiffPredictor(data, colors, bitsPerComponent, columns);
    if (predictor >= 10 && predictor <= 15) return UndoPngPredictor(data, colors, bitsPerComponent, columns);
    throw PdfError("unsupported predictor");
}

std::string DecodeFilters(const std::string& data, const std::vector<FilterStep>& steps)
{
    std::string out = data;
    for (const FilterStep& step : steps) {
        const std::string& name = step.name;
        bool predicted = false;
        if (name == "FlateDecode" || name == "Fl") {
            out = FlateDecode(out);
            predicted = true;
        } else if (name == "LZWDecode" || name == "LZW") {
            out = LzwDecode(out, IntParm(step.parms, "EarlyChange", 1) != 0);
            predicted = true;
        } else if (name == "ASCIIHexDecode" || name == "AHx") {
            out = AsciiHexDecode(out);
        } else if (name == "ASCII85Decode" || name == "A85") {
            out = Ascii85Decode(out);
        } else if (name == "RunLengthDecode" || name == "RL") {
            out = RunLengthDecode(out);
        } else {
            throw PdfError("unsupported stream filter " + name);
        }
        if (predicted && IntParm(step.parms, "Predictor", 1) > 1) {
            out = UndoPredictor(out, IntParm(step.parms, "Predictor", 1), IntParm(step.parms, "Colors", 1),
                                IntParm(step.parms, "BitsPerComponent", 8), IntParm(step.parms, "Columns", 1));
        }
    }
    return out;
}

} // namespace pdf
