// The standard stream filters a page's drawing, its fonts or the file's own structures may be
// encoded with, each undone on its own and as a chain.
#pragma once
#include "viewer/PdfObject.h"
#include <string>
#include <vector>

namespace pdf {

// Undoes a Flate encoding; throws PdfError on damaged data (a stream cut short keeps what came out).
std::string FlateDecode(const std::string& data);
// Undoes an LZW encoding; earlyChange as the filter's parameter of that name (1 unless given).
std::string LzwDecode(const std::string& data, bool earlyChange);
// Two hexadecimal digits per byte up to ">", white space ignored, a missing last digit taken as 0.
std::string AsciiHexDecode(const std::string& data);
// Four bytes from five base-85 digits ("z" for four zeros) up to "~>", white space ignored.
std::string Ascii85Decode(const std::string& data);
// Runs of one byte repeated and of bytes copied, up to the end-of-data code 128.
std::string RunLengthDecode(const std::string& data);
// Undoes a PNG (10 to 15) or TIFF (2) predictor of decoded data; 1 leaves it as it is.
std::string UndoPredictor(const std::string& data, int predictor, int colors, int bitsPerComponent, int columns);

// One step of a filter chain: the filter's name and its parameter dictionary (null when none).
struct FilterStep
{
    std::string name;
    ObjectPtr parms;
};

// Applies the decoding steps in order; throws PdfError for a filter it cannot undo (image
// compressions) or for damaged data.
std::string DecodeFilters(const std::string& data, const std::vector<FilterStep>& steps);

} // namespace pdf
