#pragma once
// What the fuzz targets share: a check that stops the run with a message (libFuzzer then keeps
// the input that broke it), and the input taken as text lines.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "storage/TextFile.h"

inline void Require(bool bHolds, const char* pWhat)
{
    if (bHolds)
        return;
    std::fprintf(stderr, "broken: %s\n", pWhat);
    std::abort();
}

inline void SetLines(CTextFileLines& lines, const uint8_t* pData, size_t nSize)
{
    lines.SetText(std::string(reinterpret_cast<const char*>(pData), nSize));
}
