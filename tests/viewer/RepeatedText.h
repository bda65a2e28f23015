// Long content for drawing tests and benchmarks: one piece written many times over.
#pragma once
#include <string>

inline std::string Repeated(const std::string& piece, size_t times)
{
    std::string out;
    out.reserve(piece.size() * times);
    for (size_t i = 0; i < times; ++i) out += piece;
    return out;
}
