// The device link's pending edits: what waits for the keyboard, its upload, and the file that
// keeps what was applied but not taken across a restart.

#include <string>

#include "device/DeviceLink.h"
#include "storage/DataFiles.h"

namespace
{
std::string ProfileWords(int nProfile)
{
    return "profile " + std::to_string(nProfile + 1);
}
} // namespace

bool CDeviceLink::FlushPending(bool bAwaitingOnly)
{
    m_strLastFailedWrite.clear();
    bool bOk = true;
    // One part: sent when flagged (and, for a connection, applied); its flags clear only when
    // the keyboard took it, otherwise it waits as applied.
    auto flush = [&](bool& bPending, bool& bAwaiting, auto&& fnWrite, auto&& fnWhat)
    {
        if (!bPending || (bAwaitingOnly && !bAwaiting))
            return;
        if (fnWrite())
        {
            bPending = false;
            bAwaiting = false;
            return;
        }
        bAwaiting = true;
        if (bOk)
            m_strLastFailedWrite = fnWhat();
        bOk = false;
    };
    for (int p = 0; p < DeviceProfileCount; ++p)
        flush(
            m_PendingChanges[p].LightingPending, m_awaiting.m_slots[p].LightingPending,
            [&] { return WriteLighting(p); }, [&] { return "the lighting of " + ProfileWords(p); });
    for (int p = 0; p < DeviceProfileCount; ++p)
        flush(
            m_PendingChanges[p].KeyTablePending, m_awaiting.m_slots[p].KeyTablePending,
            [&] { return WriteKeyTable(p); }, [&] { return "the keys of " + ProfileWords(p); });
    for (int p = 0; p < DeviceProfileCount; ++p)
    {
        for (int k = 0; k < ProgrammableKeyCount; ++k)
        {
            bool& bPending = m_PendingChanges[p].MacroPending[k];
            bool& bAwaiting = m_awaiting.m_slots[p].MacroPending[k];
            // A key whose macro is not in the library has nothing to send, now or later.
            if (bPending && !FindMacroKeyByName(m_profiles[p].m_keys[static_cast<size_t>(k)].m_strName))
            {
                bPending = bAwaiting = false;
                continue;
            }
            flush(
                bPending, bAwaiting, [&] { return WriteKeyMacro(p, k); },
                [&] { return "the macro of G" + std::to_string(k + 1) + " in " + ProfileWords(p); });
        }
    }
    SaveAwaiting();
    return bOk;
}

bool CDeviceLink::FlushPendingChanges()
{
    return FlushPending(false);
}

bool CDeviceLink::FlushAwaitingChanges()
{
    return FlushPending(true);
}

bool CDeviceLink::SendActiveProfile(int nSlot)
{
    const bool bOk = SetDeviceProfile(nSlot);
    if (bOk == m_awaiting.m_bActiveProfile)
    {
        m_awaiting.m_bActiveProfile = !bOk;
        SaveAwaiting();
    }
    if (!bOk && m_strLastFailedWrite.empty())
        m_strLastFailedWrite = "the choice of the active profile";
    return bOk;
}

void CDeviceLink::RestoreAwaitingEdits()
{
    m_awaiting = m_files.LoadPendingEdits();
    for (int p = 0; p < ProfileSlotCount; ++p)
    {
        const PendingChanges& awaiting = m_awaiting.m_slots[p];
        PendingChanges& pending = m_PendingChanges[p];
        pending.LightingPending = pending.LightingPending || awaiting.LightingPending;
        pending.KeyTablePending = pending.KeyTablePending || awaiting.KeyTablePending;
        for (int k = 0; k < ProgrammableKeyCount; ++k)
            pending.MacroPending[k] = pending.MacroPending[k] || awaiting.MacroPending[k];
    }
    m_savedAwaiting = m_awaiting;
}

void CDeviceLink::SaveAwaiting()
{
    // Written only when it changed: most flushes leave nothing waiting, as before.
    if (m_awaiting == m_savedAwaiting)
        return;
    if (m_files.SavePendingEdits(m_awaiting))
        m_savedAwaiting = m_awaiting;
}

void CDeviceLink::KeepUnsent(int nSlot, const PendingChanges& unsent)
{
    const size_t nIndex = static_cast<size_t>(ProfileStore::ClampSlot(nSlot));
    PendingChanges& pending = m_PendingChanges[nIndex];
    PendingChanges& awaiting = m_awaiting.m_slots[nIndex];
    if (unsent.LightingPending)
        pending.LightingPending = awaiting.LightingPending = true;
    if (unsent.KeyTablePending)
        pending.KeyTablePending = awaiting.KeyTablePending = true;
    for (size_t k = 0; k < unsent.MacroPending.size(); ++k)
        if (unsent.MacroPending[k])
            pending.MacroPending[k] = awaiting.MacroPending[k] = true;
    SaveAwaiting();
}

bool CDeviceLink::HasUnappliedEdits() const
{
    if (m_bMacroLibraryChanged)
        return true;
    for (int p = 0; p < ProfileSlotCount; ++p)
    {
        const PendingChanges& pending = m_PendingChanges[p];
        const PendingChanges& awaiting = m_awaiting.m_slots[p];
        if ((pending.LightingPending && !awaiting.LightingPending) ||
            (pending.KeyTablePending && !awaiting.KeyTablePending))
            return true;
        for (int k = 0; k < ProgrammableKeyCount; ++k)
            if (pending.MacroPending[k] && !awaiting.MacroPending[k])
                return true;
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// Pending edits

void CDeviceLink::MarkLightingPending(int nSlot)
{
    m_PendingChanges[ProfileStore::ClampSlot(nSlot)].LightingPending = true;
}

void CDeviceLink::MarkKeyTablePending(int nSlot)
{
    m_PendingChanges[ProfileStore::ClampSlot(nSlot)].KeyTablePending = true;
}

void CDeviceLink::MarkMacroPending(int nSlot, int nKey)
{
    if (nKey >= 0 && nKey < ProgrammableKeyCount)
        m_PendingChanges[ProfileStore::ClampSlot(nSlot)].MacroPending[static_cast<size_t>(nKey)] = true;
}

void CDeviceLink::ClearPending(int nSlot)
{
    m_PendingChanges[ProfileStore::ClampSlot(nSlot)].Clear();
    m_awaiting.m_slots[ProfileStore::ClampSlot(nSlot)].Clear();
    SaveAwaiting();
}

void CDeviceLink::ClearAllPending()
{
    for (PendingChanges& pending : m_PendingChanges)
        pending.Clear();
    m_awaiting.m_slots = {};
    SaveAwaiting();
}
