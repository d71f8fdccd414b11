// The report-descriptor parser on any bytes: report ids stay distinct single bytes, lengths stay
// within their field, and nothing is read outside the descriptor.

#include <vector>

#include "FuzzSupport.h"
#include "platform/HidReportDescriptor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    // A copy of exactly nSize bytes, so AddressSanitizer sees any read past the end.
    const std::vector<uint8_t> vecBytes(pData, pData + nSize);
    for (const HidTopCollection& top : ParseHidTopCollections(vecBytes.data(), vecBytes.size()))
    {
        Require(top.bReportIds || top.vecInputReportIds.empty(), "report ids without numbered reports");
        for (size_t i = 1; i < top.vecInputReportIds.size(); ++i)
            Require(top.vecInputReportIds[i - 1] < top.vecInputReportIds[i], "report ids not distinct and ascending");
    }
    return 0;
}
