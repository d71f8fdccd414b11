#pragma once
// The HID access the device link needs from the operating system, and nothing more.
// The real implementation sits on hidapi's hidraw backend; the keyboard simulator
// implements the same interface so every device behaviour can be exercised without hardware.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One HID top-level collection as the system lists it. Its position in the list returned by
// CHidBackend::Enumerate is its interface index.
struct HidInterfaceInfo
{
    std::string strPath; // what CHidBackend::Open takes
    uint16_t nVendorId = 0;
    uint16_t nProductId = 0;
    uint16_t nUsagePage = 0; // top-level usage page of the collection
    uint16_t nUsage = 0;
    uint16_t nInputReportLength = 0; // bytes of the longest input report, report id included; 0 when unknown
    // Report ids of the collection's input reports. A node may carry several collections and
    // hands all their input reports to every reader; these tell the collection's own apart.
    // Empty when unknown or when the node numbers no reports (all its reports are this one's).
    std::vector<uint8_t> vecInputReportIds;
};

// An open device. Every call is synchronous. Implementations must allow one thread to block in
// Read while another thread uses SetFeature/GetFeature on a different handle.
class CHidHandle
{
public:
    virtual ~CHidHandle() = default;

    // pData[0] is the report id; nLength counts it. True when the whole report was accepted.
    virtual bool SetFeature(const uint8_t* pData, size_t nLength) = 0;
    // pData[0] holds the report id on entry. Returns the number of bytes received (report id
    // included) or -1 on failure.
    virtual int GetFeature(uint8_t* pData, size_t nLength) = 0;
    // Reads one input report into pData, its report id in pData[0] (0 when the device numbers
    // no reports), the data from pData[1]. Returns its length with that byte, 0 when nTimeoutMs
    // passed without one, -1 when the device failed or went away.
    virtual int Read(uint8_t* pData, size_t nLength, int nTimeoutMs) = 0;
};

class CHidBackend
{
public:
    virtual ~CHidBackend() = default;

    // The present HID top-level collections, in the system's order. Safe to call from any thread.
    virtual std::vector<HidInterfaceInfo> Enumerate() = 0;
    // Opens a path for reading and writing; null when it cannot be opened. Safe from any thread.
    virtual std::unique_ptr<CHidHandle> Open(const std::string& strPath) = 0;
};
