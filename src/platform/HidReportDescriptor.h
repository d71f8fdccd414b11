#pragma once
// Reads what the device link needs from a HID report descriptor: the top-level collections with
// their usage page, usage and the length of their longest input report. hidapi's hidraw backend
// lists the collections but not their report lengths, so the backend reads the descriptor from
// sysfs and asks this parser.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct HidTopCollection
{
    uint16_t nUsagePage = 0;
    uint16_t nUsage = 0;
    // Bytes of the longest input report of the collection, the report id byte included when the
    // descriptor uses report ids; 0 when the collection has no input report.
    uint16_t nInputReportLength = 0;
    // The descriptor numbers its reports: every report of the node starts with its id byte.
    bool bReportIds = false;
    // Ids of the collection's input reports, ascending; empty when the descriptor numbers none.
    // hidraw hands every input report of a node to every reader, so a reader that wants one
    // collection of a shared node tells its reports by these ids.
    std::vector<uint8_t> vecInputReportIds;
};

// The top-level collections in descriptor order. A malformed descriptor (an item cut short, a
// report id of 0 or above 255) yields the collections understood up to the fault; nothing is
// read outside the given bytes. A report too long to count gives the largest length, 0xFFFF.
std::vector<HidTopCollection> ParseHidTopCollections(const uint8_t* pData, size_t nLength);

// The nOccurrence-th (0-based) top-level collection with that usage page and usage in the
// descriptor at strDescriptorPath; false when the file or the collection is not there.
bool TopCollectionFromFile(const std::string& strDescriptorPath, uint16_t nUsagePage, uint16_t nUsage,
                           size_t nOccurrence, HidTopCollection& top);

// True when the descriptor at strDescriptorPath was read and numbers none of its reports.
bool DescriptorFileHasNoReportIds(const std::string& strDescriptorPath);

// The input report length of the nOccurrence-th (0-based) top-level collection with that usage
// page and usage in the descriptor at strDescriptorPath; 0 when unknown.
uint16_t InputReportLengthFromFile(const std::string& strDescriptorPath, uint16_t nUsagePage, uint16_t nUsage,
                                   size_t nOccurrence);
