#include "device/DeviceProtocol.h"

#include <algorithm>
#include <cstdio>

#include "model/KeyTables.h"
#include "model/Macro.h"

bool IsKnownBrightnessCode(int nCode)
{
    return nCode == 1 || nCode == 2 || nCode == 4 || nCode == 8 || nCode == 24;
}

std::string MadeUpMacroName(int nProfile, int nKey)
{
    char szName[48];
    std::snprintf(szName, sizeof szName, "Profile%u_G%u", static_cast<unsigned>(nProfile + 1),
                  static_cast<unsigned>(nKey + 1));
    return szName;
}

namespace
{
// Length of the UTF-8 sequence that starts at p (at most nLeft bytes), 0 when it is not valid.
size_t Utf8SequenceLength(const uint8_t* p, size_t nLeft)
{
    const uint8_t b = p[0];
    size_t nLength = 0;
    uint32_t nMin = 0;
    uint32_t nCode = 0;
    if (b < 0x80)
        return 1;
    if ((b & 0xE0) == 0xC0)
    {
        nLength = 2;
        nMin = 0x80;
        nCode = b & 0x1F;
    }
    else if ((b & 0xF0) == 0xE0)
    {
        nLength = 3;
        nMin = 0x800;
        nCode = b & 0x0F;
    }
    else if ((b & 0xF8) == 0xF0)
    {
        nLength = 4;
        nMin = 0x10000;
        nCode = b & 0x07;
    }
    else
        return 0;
    if (nLength > nLeft)
        return 0;
    for (size_t i = 1; i < nLength; ++i)
    {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        nCode = (nCode << 6) | (p[i] & 0x3F);
    }
    if (nCode < nMin || nCode > 0x10FFFF || (nCode >= 0xD800 && nCode <= 0xDFFF))
        return 0;
    return nLength;
}
} // namespace

std::string MacroNameFromReply(const uint8_t* pReply)
{
    const uint8_t* pName = pReply + MacroNameOffset;
    if (pName[0] == 0xFF && pName[1] == 0xFF)
        return std::string();
    const size_t nLength = std::find(pName, pName + MacroNameLength, uint8_t{0}) - pName;
    std::string strName;
    for (size_t i = 0; i < nLength;)
    {
        const uint8_t b = pName[i];
        if (b < 0x20 || b == 0x7F)
        {
            ++i; // a line break or other control byte would split a data file's line
            continue;
        }
        const size_t nSeq = Utf8SequenceLength(pName + i, nLength - i);
        if (nSeq == 0)
        {
            strName += '?';
            ++i;
            continue;
        }
        strName.append(reinterpret_cast<const char*>(pName + i), nSeq);
        i += nSeq;
    }
    return strName;
}

void PutMacroName(uint8_t* pReport, const std::string& strName)
{
    uint8_t* pName = pReport + MacroNameOffset;
    std::fill(pName, pName + MacroNameLength, uint8_t{0});
    size_t nLength = std::min(strName.size(), MacroNameLength);
    // Never leave half a character at the end: step back over continuation bytes.
    if (nLength < strName.size())
    {
        while (nLength > 0 && (static_cast<uint8_t>(strName[nLength]) & 0xC0) == 0x80)
            --nLength;
    }
    std::copy(strName.begin(), strName.begin() + static_cast<std::ptrdiff_t>(nLength), pName);
}

size_t EncodeMacroSteps(const MacroKey& macro, uint8_t* pReport)
{
    uint8_t* pSteps = pReport + MacroStepsOffset;
    size_t nSteps = 0;
    uint32_t nPendingMs = 0; // pauses since the last key event
    const unsigned nCount = std::min(macro.m_nActionCount, MacroActionSlots);

    for (unsigned i = 0; i < nCount; ++i)
    {
        const MacroAction& action = macro.m_actions[i];
        if (action.IsDelay())
        {
            nPendingMs = std::min<uint32_t>(nPendingMs + action.DelayMs(), 0xFFFFFF);
            continue;
        }
        const uint8_t nCode = VkToDeviceCode[action.Vk()];
        if (nCode < 4)
            continue; // the keyboard would take codes 0..3 for pauses; its pause stays pending

        // The pause before the key: whole steps of 64, 128 or 256 ms for what does not fit in
        // the key step's 7-bit field of 8 ms units.
        std::array<uint8_t, 2 * MaxMacroSteps> pauseSteps{};
        size_t nPauseSteps = 0;
        uint32_t nLeft = nPendingMs;
        while (nLeft >= DelayOwnStepMs && nPauseSteps < MaxMacroSteps)
        {
            uint8_t s0, s1;
            if (nLeft < 0x3FC0)
            {
                s0 = 1;
                s1 = static_cast<uint8_t>(nLeft / 64);
                nLeft %= 64;
            }
            else if (nLeft < 0x7F80)
            {
                s0 = 2;
                s1 = static_cast<uint8_t>(nLeft / 128);
                nLeft %= 128;
            }
            else
            {
                const uint32_t nUnits = std::min<uint32_t>(nLeft / 256, 255);
                s0 = 3;
                s1 = static_cast<uint8_t>(nUnits);
                nLeft -= nUnits * 256;
            }
            pauseSteps[2 * nPauseSteps] = s0;
            pauseSteps[2 * nPauseSteps + 1] = s1;
            ++nPauseSteps;
        }
        if (nSteps + nPauseSteps + 1 > MaxMacroSteps)
            break; // the rest of the macro does not fit in one report
        std::copy(pauseSteps.begin(), pauseSteps.begin() + 2 * nPauseSteps, pSteps + 2 * nSteps);
        nSteps += nPauseSteps;
        pSteps[2 * nSteps] = nCode;
        pSteps[2 * nSteps + 1] = static_cast<uint8_t>((action.m_bytes[1] & 0x80) | ((nLeft / 8) & 0x7F));
        ++nSteps;
        nPendingMs = 0;
    }
    pReport[MacroStepCountOffset] = static_cast<uint8_t>(nSteps);
    return nSteps;
}

void DecodeMacroSteps(const uint8_t* pReply, MacroKey& macro)
{
    macro.ClearActions();
    const uint8_t nLoop = pReply[MacroLoopOffset];
    macro.LoopNum = nLoop;
    macro.LoopEnable = nLoop != 0 ? 1 : 0;
    const size_t nSteps = std::min<size_t>(pReply[MacroStepCountOffset], MaxMacroSteps);
    macro.MacroCommandActionNum = static_cast<uint8_t>(nSteps);

    uint32_t nPauseMs = 0;
    const uint8_t* pSteps = pReply + MacroStepsOffset;
    for (size_t i = 0; i < nSteps; ++i)
    {
        const uint8_t s0 = pSteps[2 * i];
        const uint8_t s1 = pSteps[2 * i + 1];
        uint32_t nStepMs;
        switch (s0)
        {
        case 3: nStepMs = s1 * 256u; break;
        case 2: nStepMs = s1 * 128u; break;
        case 1: nStepMs = s1 * 64u; break;
        default: nStepMs = (s1 & 0x7Fu) * 8u; break;
        }
        nPauseMs = std::min<uint32_t>(nPauseMs + nStepMs, 0xFFFF);
        if (s0 <= 3)
            continue;
        const uint8_t nVk = DeviceCodeToVk[s0];
        if (nVk < 8)
            continue; // no key the program can name: keep its pause for the next key
        if (nPauseMs != 0)
            macro.InsertAction(macro.m_nActionCount, MacroAction::Delay(nPauseMs));
        macro.InsertAction(macro.m_nActionCount, MacroAction::Key(nVk, (s1 & 0x80) != 0));
        nPauseMs = 0;
    }
}

KeyboardMacroSteps KeyboardStepsOfReply(const uint8_t* pReply)
{
    KeyboardMacroSteps steps{};
    const size_t nSteps = std::min<size_t>(pReply[MacroStepCountOffset], MaxMacroSteps);
    steps[0] = static_cast<uint8_t>(nSteps);
    std::copy(pReply + MacroStepsOffset, pReply + MacroStepsOffset + 2 * nSteps, steps.begin() + 1);
    return steps;
}

bool StepsMatchMacro(const KeyboardMacroSteps& steps, const MacroKey& macro)
{
    ReportBuffer reply{};
    std::copy(steps.begin(), steps.end(), reply.begin() + MacroStepCountOffset);
    MacroKey decoded;
    DecodeMacroSteps(reply.data(), decoded);
    const unsigned nCount = std::min(macro.m_nActionCount, MacroActionSlots);
    return decoded.m_nActionCount == nCount &&
           std::equal(decoded.m_actions.begin(), decoded.m_actions.begin() + nCount, macro.m_actions.begin());
}

size_t PutMacroSteps(const MacroKey& macro, const KeyboardMacroSteps* pKept, uint8_t* pReport)
{
    if (!pKept || !StepsMatchMacro(*pKept, macro))
        return EncodeMacroSteps(macro, pReport);
    std::copy(pKept->begin(), pKept->end(), pReport + MacroStepCountOffset);
    return (*pKept)[0];
}
