#include "platform/HidapiBackend.h"

#include "platform/HidReportDescriptor.h"

#include <hidapi.h>

#include <map>
#include <mutex>
#include <tuple>

namespace
{
// hidapi keeps its last error text in process-wide state; enumeration and opening go through
// this lock so two threads (or two backends) never race on it.
std::mutex& HidapiGlobalLock()
{
    static std::mutex s_mutex;
    return s_mutex;
}

// "/dev/hidraw3" -> "/sys/class/hidraw/hidraw3/device/report_descriptor"
std::string DescriptorPathOf(const std::string& strNode)
{
    size_t nSlash = strNode.rfind('/');
    std::string strName = nSlash == std::string::npos ? strNode : strNode.substr(nSlash + 1);
    if (strName.empty() || strName.find("..") != std::string::npos)
        return std::string();
    return "/sys/class/hidraw/" + strName + "/device/report_descriptor";
}

class CHidapiHandle : public CHidHandle
{
public:
    CHidapiHandle(hid_device* pDevice, bool bUnnumbered) : m_pDevice(pDevice), m_bUnnumbered(bUnnumbered) {}
    ~CHidapiHandle() override { hid_close(m_pDevice); }

    bool SetFeature(const uint8_t* pData, size_t nLength) override
    {
        if (!pData || nLength == 0)
            return false;
        std::lock_guard<std::mutex> lock(m_mutex);
        int nSent = hid_send_feature_report(m_pDevice, pData, nLength);
        return nSent >= 0 && static_cast<size_t>(nSent) == nLength;
    }

    int GetFeature(uint8_t* pData, size_t nLength) override
    {
        if (!pData || nLength == 0)
            return -1;
        std::lock_guard<std::mutex> lock(m_mutex);
        int nGot = hid_get_feature_report(m_pDevice, pData, nLength);
        return nGot < 0 ? -1 : nGot;
    }

    int Read(uint8_t* pData, size_t nLength, int nTimeoutMs) override
    {
        if (!pData || nLength == 0)
            return -1;
        const int nTimeout = nTimeoutMs < 0 ? -1 : nTimeoutMs;
        if (!m_bUnnumbered)
        {
            int nGot = hid_read_timeout(m_pDevice, pData, nLength, nTimeout);
            return nGot < 0 ? -1 : nGot;
        }
        // A node without report ids delivers the data alone; the caller still finds the report
        // id (0) in byte 0 and the data after it, whatever the node.
        if (nLength < 2)
            return -1;
        pData[0] = 0;
        int nGot = hid_read_timeout(m_pDevice, pData + 1, nLength - 1, nTimeout);
        if (nGot < 0)
            return -1;
        return nGot == 0 ? 0 : nGot + 1;
    }

private:
    hid_device* m_pDevice;
    bool m_bUnnumbered; // the node's reports carry no id byte
    std::mutex m_mutex;
};
} // namespace

CHidapiBackend::CHidapiBackend()
{
    std::lock_guard<std::mutex> lock(HidapiGlobalLock());
    m_bInitialised = hid_init() == 0;
}

CHidapiBackend::~CHidapiBackend()
{
    std::lock_guard<std::mutex> lock(HidapiGlobalLock());
    if (m_bInitialised)
        hid_exit();
}

std::vector<HidInterfaceInfo> CHidapiBackend::Enumerate()
{
    std::vector<HidInterfaceInfo> vecResult;
    if (!m_bInitialised)
        return vecResult;
    std::lock_guard<std::mutex> lock(HidapiGlobalLock());
    hid_device_info* pList = hid_enumerate(0, 0);
    // Several collections of one node with the same usage are told apart by their order.
    std::map<std::tuple<std::string, uint16_t, uint16_t>, size_t> mapSeen;
    for (hid_device_info* pInfo = pList; pInfo; pInfo = pInfo->next)
    {
        HidInterfaceInfo info;
        info.strPath = pInfo->path ? pInfo->path : "";
        info.nVendorId = pInfo->vendor_id;
        info.nProductId = pInfo->product_id;
        info.nUsagePage = pInfo->usage_page;
        info.nUsage = pInfo->usage;
        size_t& nOccurrence = mapSeen[{info.strPath, info.nUsagePage, info.nUsage}];
        std::string strDescriptor = DescriptorPathOf(info.strPath);
        HidTopCollection top;
        if (!strDescriptor.empty() &&
            TopCollectionFromFile(strDescriptor, info.nUsagePage, info.nUsage, nOccurrence, top))
        {
            info.nInputReportLength = top.nInputReportLength;
            // Read puts an id byte (0) before the data of a node without ids: count it.
            if (!top.bReportIds && info.nInputReportLength > 0 && info.nInputReportLength < 0xFFFF)
                ++info.nInputReportLength;
            info.vecInputReportIds = top.vecInputReportIds;
        }
        ++nOccurrence;
        vecResult.push_back(std::move(info));
    }
    hid_free_enumeration(pList);
    return vecResult;
}

std::unique_ptr<CHidHandle> CHidapiBackend::Open(const std::string& strPath)
{
    if (!m_bInitialised || strPath.empty())
        return nullptr;
    std::lock_guard<std::mutex> lock(HidapiGlobalLock());
    hid_device* pDevice = hid_open_path(strPath.c_str());
    if (!pDevice)
        return nullptr;
    const std::string strDescriptor = DescriptorPathOf(strPath);
    const bool bUnnumbered = !strDescriptor.empty() && DescriptorFileHasNoReportIds(strDescriptor);
    return std::make_unique<CHidapiHandle>(pDevice, bUnnumbered);
}
