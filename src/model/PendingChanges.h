#pragma once
// Edits of one profile slot that the keyboard has not taken yet: its lighting, its key table
// (the remap table and the five programmable-key values) and the macro of each programmable key.

#include <array>

#include "model/Profile.h"

struct PendingChanges
{
    bool LightingPending = false;
    bool KeyTablePending = false;
    std::array<bool, ProgrammableKeyCount> MacroPending{};

    bool Any() const
    {
        if (LightingPending || KeyTablePending)
            return true;
        for (bool bPending : MacroPending)
            if (bPending)
                return true;
        return false;
    }
    void Clear() { *this = PendingChanges{}; }
    bool operator==(const PendingChanges&) const = default;
};

using PendingChangesPerSlot = std::array<PendingChanges, ProfileSlotCount>;

// Applied edits the keyboard has not taken yet: the parts of each slot, and the choice of the
// active profile (told to the keyboard at Apply).
struct AwaitingEdits
{
    PendingChangesPerSlot m_slots{};
    bool m_bActiveProfile = false;

    bool Any() const
    {
        if (m_bActiveProfile)
            return true;
        for (const PendingChanges& slot : m_slots)
            if (slot.Any())
                return true;
        return false;
    }
    bool operator==(const AwaitingEdits&) const = default;
};
