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
