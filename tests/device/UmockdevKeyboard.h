#pragma once
// The keyboard as the operating system shows it, made of umockdev's fakes: a USB device with
// three interfaces (boot keyboard, event collection, command collection), each with its HID
// device (uevent with HID_ID/HID_NAME, report descriptor in sysfs) and hidraw node, plus an
// unrelated mouse. The nodes' ioctls (descriptor, raw info, feature reports) and reads are
// answered by the keyboard simulator's firmware through handles on its matching collections,
// so the real hidapi backend and udev monitor talk to the same firmware every other device
// test uses. Plugging and unplugging send the uevents a kernel would.
//
// Only works inside a process running under libumockdev-preload (see RunUnderUmockdev).

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/simulator/SimulatedKeyboard.h"

struct _UMockdevTestbed;
struct _UMockdevIoctlBase;
struct _UMockdevIoctlClient;
struct _GObject;

// Re-runs the current program under the umockdev preload library unless it already is; returns
// only when it is (or when re-running failed, with false).
bool RunUnderUmockdev(int argc, char** argv);

enum class EMockRole
{
    Mouse,
    Boot,     // the keyboard's ordinary key collection
    Events,   // usage page 0x000A
    Commands, // usage page 0x000B
};

class CUmockdevKeyboard
{
public:
    // firmware: the simulator with its default enumeration (mouse, boot, events, commands, each
    // on a node of its own), which this mirrors.
    explicit CUmockdevKeyboard(CSimulatedKeyboard& firmware);
    ~CUmockdevKeyboard();
    CUmockdevKeyboard(const CUmockdevKeyboard&) = delete;
    CUmockdevKeyboard& operator=(const CUmockdevKeyboard&) = delete;

    bool IsReady() const { return m_pTestbed != nullptr; }
    std::string RootDir() const { return m_strRoot; }

    // The keyboard comes: the firmware is plugged, then its sysfs entries and nodes appear with
    // an "add" uevent each. New node numbers every time, as the kernel gives.
    void PlugKeyboard();
    // The keyboard goes: the firmware is unplugged (open nodes fail from then on), a "remove"
    // uevent goes out for each node, and its entries and nodes disappear.
    void UnplugKeyboard();
    void PlugMouse();

    // Device nodes of the keyboard now present, in interface order; empty when unplugged.
    std::vector<std::string> KeyboardNodes() const;
    // Reads the pump is holding (a reader blocked in read()).
    size_t WaitingReads() const;

private:
    struct Node
    {
        EMockRole eRole = EMockRole::Mouse;
        std::string strDevNode;
        std::string strSysPath;
        std::vector<uint8_t> vecDescriptor;
        _UMockdevIoctlBase* pHandler = nullptr;
    };
    struct Client
    {
        EMockRole eRole = EMockRole::Mouse;
        std::unique_ptr<CHidHandle> pFirmware; // null for nodes the firmware does not serve
    };
    struct PendingRead
    {
        _UMockdevIoctlClient* pClient = nullptr; // referenced while pending
        uint64_t nSinceMs = 0;
    };

    Node AddNode(EMockRole eRole, const std::string& strParent, const std::string& strHidName);
    void AttachNode(Node& node);
    void DetachNode(Node& node);
    std::string FirmwarePath(EMockRole eRole) const;
    void PumpReads();

    // umockdev's handlers (its worker thread)
    static void OnConnected(_UMockdevIoctlBase* pBase, _UMockdevIoctlClient* pClient, void* pSelf);
    static void OnClientGone(void* pSelf, _GObject* pClient);
    static int OnIoctl(_UMockdevIoctlBase* pBase, _UMockdevIoctlClient* pClient, void* pSelf);
    static int OnRead(_UMockdevIoctlBase* pBase, _UMockdevIoctlClient* pClient, void* pSelf);
    bool HandleIoctl(_UMockdevIoctlClient* pClient);

    CSimulatedKeyboard& m_firmware;
    _UMockdevTestbed* m_pTestbed = nullptr;
    std::string m_strRoot;
    unsigned m_nNextHidraw = 0;
    unsigned m_nNextHid = 1;
    unsigned m_nPlugs = 0;
    std::string m_strKeyboardUsb;    // sysfs path of the keyboard's USB device; empty when away
    std::vector<Node> m_vecKeyboard; // its nodes
    std::vector<Node> m_vecOthers;   // the mouse
    std::vector<Node> m_vecRetired;  // nodes of earlier plugs, their handlers still attached

    mutable std::mutex m_mutex;                  // guards the maps below and m_bStop
    std::map<std::string, EMockRole> m_mapRoles; // device node -> role, while present
    std::map<std::string, std::vector<uint8_t>> m_mapDescriptors;
    std::map<_UMockdevIoctlClient*, Client> m_mapClients;
    std::vector<PendingRead> m_vecReads;
    bool m_bStop = false;
    std::thread m_thrPump;
};
