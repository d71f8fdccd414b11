#include "UmockdevKeyboard.h"

#include <umockdev.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <linux/hidraw.h>
#include <linux/input.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// A read that found no report for this long returns 0 bytes, which hidapi reports as "no report
// yet". The preload wraps read() but not poll(), so a node polls readable at once and the
// waiting happens here; without the limit a reader could never see its stop request.
constexpr uint64_t kReadWaitMs = 30;
constexpr int kPumpPeriodMs = 2;

const std::vector<uint8_t> kMouseDescriptor = {
    0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x09, 0x01, 0xA1, 0x00, 0x05, 0x09, 0x19, 0x01, 0x29, 0x03, 0x15,
    0x00, 0x25, 0x01, 0x95, 0x03, 0x75, 0x01, 0x81, 0x02, 0x95, 0x01, 0x75, 0x05, 0x81, 0x01, 0x05, 0x01,
    0x09, 0x30, 0x09, 0x31, 0x15, 0x81, 0x25, 0x7F, 0x75, 0x08, 0x95, 0x02, 0x81, 0x06, 0xC0, 0xC0};

const std::vector<uint8_t> kBootDescriptor = {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7,
                                              0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0x95, 0x01,
                                              0x75, 0x08, 0x81, 0x01, 0x95, 0x06, 0x75, 0x08, 0x15, 0x00, 0x25, 0x65,
                                              0x05, 0x07, 0x19, 0x00, 0x29, 0x65, 0x81, 0x00, 0xC0};

// Usage page 0x000A: input report 1, seven data bytes (code, parameter, padding).
const std::vector<uint8_t> kEventsDescriptor = {0x06, 0x0A, 0x00, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x01, 0x15, 0x00, 0x26,
                                                0xFF, 0x00, 0x75, 0x08, 0x95, 0x07, 0x09, 0x01, 0x81, 0x02, 0xC0};

// Usage page 0x000B: feature reports 4..8 with their lengths (report id included).
std::vector<uint8_t> CommandsDescriptor()
{
    std::vector<uint8_t> vecDescriptor = {0x06, 0x0B, 0x00, 0x09, 0x01, 0xA1, 0x01,
                                          0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08};
    const std::pair<uint8_t, uint8_t> arrReports[] = {{4, 3}, {5, 3}, {6, 184}, {7, 6}, {8, 226}};
    for (const auto& [nId, nLength] : arrReports)
    {
        const uint8_t arrItems[] = {0x85, nId, 0x95, static_cast<uint8_t>(nLength - 1), 0x09, 0x01, 0xB1, 0x02};
        vecDescriptor.insert(vecDescriptor.end(), std::begin(arrItems), std::end(arrItems));
    }
    vecDescriptor.push_back(0xC0);
    return vecDescriptor;
}

uint64_t NowMs()
{
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
}

// Hands bytes back to the program that made the ioctl. The resolved copy is what umockdev would
// sync back, but in this version it does not for these requests; the caller is this very
// process (the testbed lives in the test), so its buffer is written directly as well.
void ReplyInto(UMockdevIoctlData* pResolved, const void* pBytes, size_t nLength)
{
    std::memcpy(pResolved->data, pBytes, nLength);
    std::memcpy(reinterpret_cast<void*>(pResolved->client_addr), pBytes, nLength);
}

bool ContainsPreload(const char* pText)
{
    return pText && std::strstr(pText, "libumockdev-preload") != nullptr;
}
} // namespace

bool RunUnderUmockdev(int /*argc*/, char** argv)
{
    const char* pPreload = std::getenv("LD_PRELOAD");
    if (ContainsPreload(pPreload))
        return true;
    std::string strPreload = "libumockdev-preload.so.0";
    if (pPreload && *pPreload)
        strPreload += std::string(":") + pPreload;
    setenv("LD_PRELOAD", strPreload.c_str(), 1);
    // A sanitizer runtime wants to come first among the loaded libraries; the preload comes
    // before it, which is harmless here.
    const char* pAsan = std::getenv("ASAN_OPTIONS");
    std::string strAsan = pAsan && *pAsan ? std::string(pAsan) + ":" : std::string();
    setenv("ASAN_OPTIONS", (strAsan + "verify_asan_link_order=0").c_str(), 1);
    execv("/proc/self/exe", argv);
    std::perror("re-running under the umockdev preload");
    return false;
}

CUmockdevKeyboard::CUmockdevKeyboard(CSimulatedKeyboard& firmware) : m_firmware(firmware)
{
    if (!ContainsPreload(std::getenv("LD_PRELOAD")))
        return;
    m_pTestbed = umockdev_testbed_new();
    gchar* pRoot = umockdev_testbed_get_root_dir(m_pTestbed);
    m_strRoot = pRoot;
    g_free(pRoot);
    mkdir((m_strRoot + "/dev").c_str(), 0755);
    m_thrPump = std::thread(&CUmockdevKeyboard::PumpReads, this);
}

CUmockdevKeyboard::~CUmockdevKeyboard()
{
    if (!m_pTestbed)
        return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bStop = true;
    }
    m_thrPump.join();
    std::vector<PendingRead> vecReads;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        vecReads.swap(m_vecReads);
        for (auto& [pClient, client] : m_mapClients)
            g_object_weak_unref(G_OBJECT(pClient), OnClientGone, this);
        m_mapClients.clear();
    }
    for (PendingRead& read : vecReads)
    {
        umockdev_ioctl_client_complete(read.pClient, -1, EIO);
        g_object_unref(read.pClient);
    }
    for (std::vector<Node>* pNodes : {&m_vecKeyboard, &m_vecOthers, &m_vecRetired})
        for (Node& node : *pNodes)
            DetachNode(node);
    g_object_unref(m_pTestbed);
}

void CUmockdevKeyboard::PlugMouse()
{
    gchar* pUsb = umockdev_testbed_add_device(m_pTestbed, "usb", "2-1", nullptr, "idVendor", "046d", "idProduct",
                                              "c52b", "bcdDevice", "1201", nullptr, "DEVTYPE", "usb_device", nullptr);
    gchar* pInterface = umockdev_testbed_add_device(m_pTestbed, "usb", "2-1:1.0", pUsb, "bInterfaceNumber", "00",
                                                    nullptr, "DEVTYPE", "usb_interface", nullptr);
    m_vecOthers.push_back(AddNode(EMockRole::Mouse, pInterface, "USB Receiver"));
    g_free(pInterface);
    g_free(pUsb);
}

void CUmockdevKeyboard::PlugKeyboard()
{
    if (!m_strKeyboardUsb.empty())
        return;
    m_firmware.Plug();
    // A fresh port name each time: umockdev keeps the bus entry of a removed device.
    const std::string strPort = "1-" + std::to_string(++m_nPlugs);
    gchar* pUsb =
        umockdev_testbed_add_device(m_pTestbed, "usb", strPort.c_str(), nullptr, "idVendor", "04f3", "idProduct",
                                    "1406", "bcdDevice", "0105", nullptr, "DEVTYPE", "usb_device", nullptr);
    m_strKeyboardUsb = pUsb;
    const EMockRole arrRoles[] = {EMockRole::Boot, EMockRole::Events, EMockRole::Commands};
    for (int i = 0; i < 3; ++i)
    {
        const std::string strName = strPort + ":1." + std::to_string(i);
        const std::string strNumber = "0" + std::to_string(i);
        gchar* pInterface =
            umockdev_testbed_add_device(m_pTestbed, "usb", strName.c_str(), pUsb, "bInterfaceNumber", strNumber.c_str(),
                                        nullptr, "DEVTYPE", "usb_interface", nullptr);
        m_vecKeyboard.push_back(AddNode(arrRoles[i], pInterface, "USB Keyboard"));
        g_free(pInterface);
    }
    g_free(pUsb);
}

void CUmockdevKeyboard::UnplugKeyboard()
{
    if (m_strKeyboardUsb.empty())
        return;
    m_firmware.Unplug();
    // The event first, while its device is still there to describe; the program reacts only
    // after this returns, when the entries are gone, as after a real removal.
    for (const Node& node : m_vecKeyboard)
        umockdev_testbed_uevent(m_pTestbed, node.strSysPath.c_str(), "remove");
    umockdev_testbed_remove_device(m_pTestbed, m_strKeyboardUsb.c_str());
    m_strKeyboardUsb.clear();
    std::lock_guard<std::mutex> lock(m_mutex);
    for (Node& node : m_vecKeyboard)
    {
        unlink((m_strRoot + node.strDevNode).c_str());
        m_mapRoles.erase(node.strDevNode);
        // Its handler stays attached: descriptors still open on the node fail through the
        // firmware, as they do on a real node whose device is gone.
        m_vecRetired.push_back(node);
    }
    m_vecKeyboard.clear();
}

std::vector<std::string> CUmockdevKeyboard::KeyboardNodes() const
{
    std::vector<std::string> vecNodes;
    for (const Node& node : m_vecKeyboard)
        vecNodes.push_back(node.strDevNode);
    return vecNodes;
}

size_t CUmockdevKeyboard::WaitingReads() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_vecReads.size();
}

CUmockdevKeyboard::Node CUmockdevKeyboard::AddNode(EMockRole eRole, const std::string& strParent,
                                                   const std::string& strHidName)
{
    Node node;
    node.eRole = eRole;
    const bool bMouse = eRole == EMockRole::Mouse;
    node.vecDescriptor = bMouse                       ? kMouseDescriptor
                         : eRole == EMockRole::Boot   ? kBootDescriptor
                         : eRole == EMockRole::Events ? kEventsDescriptor
                                                      : CommandsDescriptor();
    char szHid[32];
    std::snprintf(szHid, sizeof szHid, "0003:%s.%04X", bMouse ? "046D:C52B" : "04F3:1406", m_nNextHid++);
    const char* pHidId = bMouse ? "0003:0000046D:0000C52B" : "0003:000004F3:00001406";
    gchar* pHid = umockdev_testbed_add_device(m_pTestbed, "hid", szHid, strParent.c_str(), nullptr, "HID_ID", pHidId,
                                              "HID_NAME", strHidName.c_str(), "HID_UNIQ", "", nullptr);
    umockdev_testbed_set_attribute_binary(m_pTestbed, pHid, "report_descriptor", node.vecDescriptor.data(),
                                          static_cast<gint>(node.vecDescriptor.size()));

    const unsigned nMinor = m_nNextHidraw++;
    const std::string strRaw = "hidraw" + std::to_string(nMinor);
    const std::string strDev = "241:" + std::to_string(nMinor);
    node.strDevNode = "/dev/" + strRaw;
    gchar* pRaw = umockdev_testbed_add_device(m_pTestbed, "hidraw", strRaw.c_str(), pHid, "dev", strDev.c_str(),
                                              nullptr, "DEVNAME", node.strDevNode.c_str(), nullptr);
    node.strSysPath = pRaw;
    // hidraw's own sysfs entry points at its HID device, where the descriptor lives.
    umockdev_testbed_set_attribute_link(m_pTestbed, pRaw, "device", "..");
    g_free(pRaw);
    g_free(pHid);

    // The node itself: a plain file the preload redirects to, its calls answered below.
    const int nFd = open((m_strRoot + node.strDevNode).c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0666);
    if (nFd >= 0)
        close(nFd);
    AttachNode(node);
    return node;
}

void CUmockdevKeyboard::AttachNode(Node& node)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_mapRoles[node.strDevNode] = node.eRole;
        m_mapDescriptors[node.strDevNode] = node.vecDescriptor;
    }
    node.pHandler = umockdev_ioctl_base_new();
    g_signal_connect(node.pHandler, "client-connected", G_CALLBACK(OnConnected), this);
    g_signal_connect(node.pHandler, "handle-ioctl", G_CALLBACK(OnIoctl), this);
    g_signal_connect(node.pHandler, "handle-read", G_CALLBACK(OnRead), this);
    GError* pError = nullptr;
    if (!umockdev_testbed_attach_ioctl(m_pTestbed, node.strDevNode.c_str(), node.pHandler, &pError))
    {
        std::fprintf(stderr, "cannot attach to %s: %s\n", node.strDevNode.c_str(), pError ? pError->message : "?");
        g_clear_error(&pError);
    }
}

void CUmockdevKeyboard::DetachNode(Node& node)
{
    if (!node.pHandler)
        return;
    umockdev_testbed_detach_ioctl(m_pTestbed, node.strDevNode.c_str(), nullptr);
    g_object_unref(node.pHandler);
    node.pHandler = nullptr;
}

std::string CUmockdevKeyboard::FirmwarePath(EMockRole eRole) const
{
    const uint16_t nPage = eRole == EMockRole::Events ? 0x000A : 0x000B;
    for (const HidInterfaceInfo& info : m_firmware.Enumerate())
        if (info.nVendorId == 0x04F3 && info.nProductId == 0x1406 && info.nUsagePage == nPage)
            return info.strPath;
    return std::string();
}

void CUmockdevKeyboard::OnConnected(UMockdevIoctlBase*, UMockdevIoctlClient* pClient, void* pSelf)
{
    auto* pThis = static_cast<CUmockdevKeyboard*>(pSelf);
    std::lock_guard<std::mutex> lock(pThis->m_mutex);
    Client client;
    auto it = pThis->m_mapRoles.find(umockdev_ioctl_client_get_devnode(pClient));
    client.eRole = it != pThis->m_mapRoles.end() ? it->second : EMockRole::Mouse;
    if (client.eRole == EMockRole::Events || client.eRole == EMockRole::Commands)
        client.pFirmware = pThis->m_firmware.Open(pThis->FirmwarePath(client.eRole));
    pThis->m_mapClients[pClient] = std::move(client);
    // umockdev 0.17 drops a closed client without its "client-vanished" signal; its end is
    // seen when the object goes.
    g_object_weak_ref(G_OBJECT(pClient), OnClientGone, pThis);
}

void CUmockdevKeyboard::OnClientGone(void* pSelf, GObject* pClient)
{
    // A read still pending holds a reference, so none is left for this client.
    auto* pThis = static_cast<CUmockdevKeyboard*>(pSelf);
    std::lock_guard<std::mutex> lock(pThis->m_mutex);
    pThis->m_mapClients.erase(reinterpret_cast<UMockdevIoctlClient*>(pClient));
}

int CUmockdevKeyboard::OnIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* pClient, void* pSelf)
{
    return static_cast<CUmockdevKeyboard*>(pSelf)->HandleIoctl(pClient) ? TRUE : FALSE;
}

bool CUmockdevKeyboard::HandleIoctl(UMockdevIoctlClient* pClient)
{
    const unsigned long nRequest = umockdev_ioctl_client_get_request(pClient);
    UMockdevIoctlData* pArg = umockdev_ioctl_client_get_arg(pClient);
    const size_t nSize = _IOC_SIZE(nRequest);
    std::lock_guard<std::mutex> lock(m_mutex);
    auto itClient = m_mapClients.find(pClient);
    const std::string strNode = umockdev_ioctl_client_get_devnode(pClient);
    const auto itDescriptor = m_mapDescriptors.find(strNode);
    if (_IOC_TYPE(nRequest) != 'H' || itClient == m_mapClients.end() || itDescriptor == m_mapDescriptors.end())
    {
        umockdev_ioctl_client_complete(pClient, -1, ENOTTY);
        return true;
    }
    const std::vector<uint8_t>& vecDescriptor = itDescriptor->second;
    CHidHandle* pFirmware = itClient->second.pFirmware.get();
    GError* pError = nullptr;
    UMockdevIoctlData* pData = umockdev_ioctl_data_resolve(pArg, 0, nSize, &pError);
    if (!pData)
    {
        g_clear_error(&pError);
        umockdev_ioctl_client_complete(pClient, -1, EFAULT);
        return true;
    }
    // A node whose device went away answers like a real one: no such device.
    const int nGone = m_firmware.IsPlugged() ? EPIPE : ENODEV;
    switch (_IOC_NR(nRequest))
    {
    case _IOC_NR(HIDIOCGRDESCSIZE):
    {
        const int nDescriptorSize = static_cast<int>(vecDescriptor.size());
        ReplyInto(pData, &nDescriptorSize, sizeof nDescriptorSize);
        umockdev_ioctl_client_complete(pClient, 0, 0);
        break;
    }
    case _IOC_NR(HIDIOCGRDESC):
    {
        hidraw_report_descriptor descriptor{};
        descriptor.size = static_cast<uint32_t>(vecDescriptor.size());
        std::memcpy(descriptor.value, vecDescriptor.data(), vecDescriptor.size());
        ReplyInto(pData, &descriptor, sizeof descriptor);
        umockdev_ioctl_client_complete(pClient, 0, 0);
        break;
    }
    case _IOC_NR(HIDIOCGRAWINFO):
    {
        const bool bMouse = itClient->second.eRole == EMockRole::Mouse;
        hidraw_devinfo info{};
        info.bustype = BUS_USB;
        info.vendor = static_cast<int16_t>(bMouse ? 0x046D : 0x04F3);
        info.product = static_cast<int16_t>(bMouse ? 0xC52B : 0x1406);
        ReplyInto(pData, &info, sizeof info);
        umockdev_ioctl_client_complete(pClient, 0, 0);
        break;
    }
    case 0x06: // HIDIOCSFEATURE(len)
        if (pFirmware && pFirmware->SetFeature(pData->data, nSize))
            umockdev_ioctl_client_complete(pClient, static_cast<long>(nSize), 0);
        else
            umockdev_ioctl_client_complete(pClient, -1, pFirmware ? nGone : EPIPE);
        break;
    case 0x07: // HIDIOCGFEATURE(len): byte 0 holds the report id on entry
    {
        std::vector<uint8_t> vecReport(pData->data, pData->data + nSize);
        const int nGot = pFirmware ? pFirmware->GetFeature(vecReport.data(), vecReport.size()) : -1;
        if (nGot >= 0)
        {
            ReplyInto(pData, vecReport.data(), static_cast<size_t>(nGot));
            umockdev_ioctl_client_complete(pClient, nGot, 0);
        }
        else
            umockdev_ioctl_client_complete(pClient, -1, pFirmware ? nGone : EPIPE);
        break;
    }
    default: umockdev_ioctl_client_complete(pClient, -1, ENOTTY); break;
    }
    return true;
}

int CUmockdevKeyboard::OnRead(UMockdevIoctlBase*, UMockdevIoctlClient* pClient, void* pSelf)
{
    auto* pThis = static_cast<CUmockdevKeyboard*>(pSelf);
    std::lock_guard<std::mutex> lock(pThis->m_mutex);
    g_object_ref(pClient);
    pThis->m_vecReads.push_back(PendingRead{pClient, NowMs()});
    return TRUE; // answered by the pump
}

void CUmockdevKeyboard::PumpReads()
{
    for (;;)
    {
        // Released outside the lock: the last reference ends the client, which takes the lock.
        std::vector<UMockdevIoctlClient*> vecDone;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_bStop)
                return;
            const uint64_t nNow = NowMs();
            for (auto it = m_vecReads.begin(); it != m_vecReads.end();)
            {
                auto itClient = m_mapClients.find(it->pClient);
                CHidHandle* pFirmware = itClient != m_mapClients.end() ? itClient->second.pFirmware.get() : nullptr;
                UMockdevIoctlData* pBuffer = umockdev_ioctl_client_get_arg(it->pClient);
                int nGot = 0;
                if (pFirmware && pBuffer->data_len > 0)
                    nGot = pFirmware->Read(pBuffer->data, static_cast<size_t>(pBuffer->data_len), 0);
                if (nGot == 0 && nNow - it->nSinceMs < kReadWaitMs)
                {
                    ++it;
                    continue;
                }
                if (nGot < 0)
                    umockdev_ioctl_client_complete(it->pClient, -1, EIO);
                else
                    umockdev_ioctl_client_complete(it->pClient, nGot, 0);
                vecDone.push_back(it->pClient);
                it = m_vecReads.erase(it);
            }
        }
        for (UMockdevIoctlClient* pClient : vecDone)
            g_object_unref(pClient);
        std::this_thread::sleep_for(std::chrono::milliseconds(kPumpPeriodMs));
    }
}
