#include "platform/HidReportDescriptor.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>

namespace
{
struct GlobalState
{
    uint32_t nUsagePage = 0;
    uint32_t nReportSize = 0;
    uint32_t nReportCount = 0;
    uint32_t nReportId = 0;
};

// Report ids are one byte on the wire; 0 is reserved for "no id".
constexpr uint32_t MaxReportId = 255;

uint64_t SaturatingAdd(uint64_t a, uint64_t b)
{
    return a > UINT64_MAX - b ? UINT64_MAX : a + b;
}

uint32_t ReadUnsigned(const uint8_t* pData, size_t nSize)
{
    uint32_t nValue = 0;
    for (size_t i = 0; i < nSize; ++i)
        nValue |= static_cast<uint32_t>(pData[i]) << (8 * i);
    return nValue;
}
} // namespace

std::vector<HidTopCollection> ParseHidTopCollections(const uint8_t* pData, size_t nLength)
{
    std::vector<HidTopCollection> vecResult;
    if (!pData)
        return vecResult;

    GlobalState global;
    std::vector<GlobalState> vecStack;
    std::vector<uint32_t> vecUsages; // local usages since the last main item
    int nDepth = 0;
    bool bUsesReportIds = false;
    std::map<uint32_t, uint64_t> mapInputBits; // report id -> bits, for the open top collection

    // Once a descriptor declares a report id anywhere, every report of the device starts with
    // its id byte, so the id byte is added after the whole descriptor was read.
    std::vector<uint64_t> vecMaxBits;
    std::vector<std::vector<uint8_t>> vecInputIds;
    auto closeTop = [&]()
    {
        if (vecResult.empty())
            return;
        uint64_t nMaxBits = 0;
        std::vector<uint8_t> vecIds;
        for (const auto& [nId, nBits] : mapInputBits)
        {
            nMaxBits = std::max(nMaxBits, nBits);
            if (nBits > 0)
                vecIds.push_back(static_cast<uint8_t>(nId));
        }
        vecMaxBits.resize(vecResult.size(), 0);
        vecMaxBits.back() = nMaxBits;
        vecInputIds.resize(vecResult.size());
        vecInputIds.back() = std::move(vecIds);
        mapInputBits.clear();
    };

    size_t nPos = 0;
    while (nPos < nLength)
    {
        uint8_t nPrefix = pData[nPos];
        if (nPrefix == 0xFE) // long item: size in the next byte, skipped whole
        {
            if (nPos + 1 >= nLength)
                break;
            nPos += 3 + static_cast<size_t>(pData[nPos + 1]);
            continue;
        }
        size_t nSize = nPrefix & 0x03;
        if (nSize == 3)
            nSize = 4;
        if (nPos + 1 + nSize > nLength)
            break;
        uint32_t nValue = ReadUnsigned(pData + nPos + 1, nSize);
        uint8_t nType = (nPrefix >> 2) & 0x03;
        uint8_t nTag = nPrefix >> 4;
        // A report id that no report can carry makes the descriptor malformed from here on (the
        // kernel refuses such a device); ids must stay one distinct byte each.
        if (nType == 1 && nTag == 0x8 && (nValue == 0 || nValue > MaxReportId))
            break;
        nPos += 1 + nSize;

        if (nType == 0) // main
        {
            switch (nTag)
            {
            case 0x8: // input
                if (nDepth > 0)
                {
                    // 32 x 32 bits cannot overflow; the running total of a report can.
                    uint64_t& nBits = mapInputBits[global.nReportId];
                    nBits = SaturatingAdd(nBits, static_cast<uint64_t>(global.nReportSize) *
                                                     static_cast<uint64_t>(global.nReportCount));
                }
                break;
            case 0xA: // collection
                if (nDepth == 0)
                {
                    uint32_t nUsage = vecUsages.empty() ? (global.nUsagePage << 16) : vecUsages.front();
                    HidTopCollection top;
                    top.nUsagePage = static_cast<uint16_t>(nUsage >> 16);
                    top.nUsage = static_cast<uint16_t>(nUsage & 0xFFFF);
                    vecResult.push_back(top);
                    mapInputBits.clear();
                }
                ++nDepth;
                break;
            case 0xC: // end collection
                if (nDepth > 0 && --nDepth == 0)
                    closeTop();
                break;
            default: break;
            }
            vecUsages.clear();
        }
        else if (nType == 1) // global
        {
            switch (nTag)
            {
            case 0x0: global.nUsagePage = nValue; break;
            case 0x7: global.nReportSize = nValue; break;
            case 0x8:
                global.nReportId = nValue;
                bUsesReportIds = true;
                break;
            case 0x9: global.nReportCount = nValue; break;
            case 0xA: vecStack.push_back(global); break;
            case 0xB:
                if (!vecStack.empty())
                {
                    global = vecStack.back();
                    vecStack.pop_back();
                }
                break;
            default: break;
            }
        }
        else if (nType == 2) // local
        {
            if (nTag == 0x0)
            {
                // A four-byte usage carries its own usage page in the upper half.
                uint32_t nUsage = nSize == 4 ? nValue : (global.nUsagePage << 16) | nValue;
                vecUsages.push_back(nUsage);
            }
        }
    }
    if (nDepth > 0)
        closeTop();
    vecMaxBits.resize(vecResult.size(), 0);
    vecInputIds.resize(vecResult.size());
    for (size_t i = 0; i < vecResult.size(); ++i)
    {
        uint64_t nBytes = vecMaxBits[i] / 8 + (vecMaxBits[i] % 8 != 0); // no "+ 7" that could wrap
        if (nBytes > 0 && bUsesReportIds)
            ++nBytes;
        vecResult[i].nInputReportLength = static_cast<uint16_t>(std::min<uint64_t>(nBytes, 0xFFFF));
        vecResult[i].bReportIds = bUsesReportIds;
        if (bUsesReportIds)
            vecResult[i].vecInputReportIds = std::move(vecInputIds[i]);
    }
    return vecResult;
}

namespace
{
std::vector<HidTopCollection> TopCollectionsFromFile(const std::string& strDescriptorPath)
{
    std::ifstream file(strDescriptorPath, std::ios::binary);
    if (!file)
        return {};
    std::vector<uint8_t> vecBytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (vecBytes.size() > 4096) // the kernel's limit for a report descriptor
        vecBytes.resize(4096);
    return ParseHidTopCollections(vecBytes.data(), vecBytes.size());
}
} // namespace

bool TopCollectionFromFile(const std::string& strDescriptorPath, uint16_t nUsagePage, uint16_t nUsage,
                           size_t nOccurrence, HidTopCollection& top)
{
    size_t nSeen = 0;
    for (HidTopCollection& candidate : TopCollectionsFromFile(strDescriptorPath))
    {
        if (candidate.nUsagePage != nUsagePage || candidate.nUsage != nUsage)
            continue;
        if (nSeen++ == nOccurrence)
        {
            top = std::move(candidate);
            return true;
        }
    }
    return false;
}

bool DescriptorFileHasNoReportIds(const std::string& strDescriptorPath)
{
    std::vector<HidTopCollection> vecTops = TopCollectionsFromFile(strDescriptorPath);
    return !vecTops.empty() && !vecTops.front().bReportIds;
}

uint16_t InputReportLengthFromFile(const std::string& strDescriptorPath, uint16_t nUsagePage, uint16_t nUsage,
                                   size_t nOccurrence)
{
    HidTopCollection top;
    return TopCollectionFromFile(strDescriptorPath, nUsagePage, nUsage, nOccurrence, top) ? top.nInputReportLength : 0;
}
