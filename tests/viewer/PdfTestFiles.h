// Hand-made PDF files for the reader's tests: the objects are written by the test, the file around
// them (classic table, or cross-reference stream with objects packed into a compressed object stream).
#pragma once
#include <string>
#include <vector>

struct TestPdfObject
{
    int number;
    std::string body; // what stands between "N 0 obj" and "endobj"
};

// A file with a classic cross-reference table; root is the catalog's object number.
std::string MakeClassicPdf(const std::vector<TestPdfObject>& objects, int root, const std::string& extraTrailer = "");

// A file whose objects (streams excepted) sit in one Flate-compressed object stream, indexed by a
// Flate-compressed cross-reference stream with a PNG "up" predictor.
std::string MakeCompressedPdf(const std::vector<TestPdfObject>& objects, int root);

std::string Deflate(const std::string& data);

// A 400 x 400 point form laid out as PDF libraries make them: the page draws labels only, and each
// field's look is left to its widget (colours, border, appearance streams, default appearance).
//   name   text, yellow background [1 1 0.8], blue border 2 pt wide, 10 pt text; rect 100 340 300 364
//   city   text, nothing but an appearance stream, automatic text size; rect 100 280 300 320
//   sex    radio group, /Opt [(M) (F)], states "0" and "1", value /1; grey background [0.75] and
//          black border (3 pt through /Border, then the 1 pt default); rects 100 240 116 256, 140 240 156 256
//   agree  check box on by its /AS /On, no value; rect 100 200 180 216
//   state  drop-down, options [NY "New York"] [CA "California"] TX, value (CA); rect 200 200 300 216
//   plan   check box, /Opt [(Gold)], state "0", value /0, CMYK black border 1 pt; rect 200 240 216 256
//   notes  multi-line text without an appearance of its own: the form's 12 pt; rect 100 100 300 180
std::string MakeLibraryStyleForm();
