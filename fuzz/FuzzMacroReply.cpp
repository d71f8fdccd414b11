// A report 8 reply from a hostile keyboard: its name can never break a data file and survives
// being sent back, its steps decode within the model's limits, and a macro nobody edited goes
// back to the keyboard with exactly the steps it came with.

#include <algorithm>
#include <string_view>

#include "FuzzSupport.h"
#include "device/DeviceProtocol.h"
#include "model/Macro.h"

namespace
{
bool IsCleanUtf8(std::string_view text)
{
    for (size_t i = 0; i < text.size();)
    {
        const auto b = static_cast<uint8_t>(text[i]);
        if (b < 0x20 || b == 0x7F)
            return false;
        size_t n = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
        if (n == 0 || i + n > text.size())
            return false;
        for (size_t k = 1; k < n; ++k)
            if ((static_cast<uint8_t>(text[i + k]) & 0xC0) != 0x80)
                return false;
        i += n;
    }
    return true;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    ReportBuffer reply{};
    std::copy(pData, pData + std::min(nSize, MacroReportLength), reply.begin());

    const std::string strName = MacroNameFromReply(reply.data());
    Require(strName.size() <= MacroNameLength, "name longer than its field");
    Require(IsCleanUtf8(strName), "name with a control byte or broken UTF-8");
    ReportBuffer report{};
    PutMacroName(report.data(), strName);
    Require(MacroNameFromReply(report.data()) == strName, "name changed on its way back");

    MacroKey macro;
    DecodeMacroSteps(reply.data(), macro);
    Require(macro.MacroCommandActionNum <= MaxMacroSteps, "more steps than a report holds");
    Require(macro.m_nActionCount <= 2 * MaxMacroSteps, "more actions than the steps give");

    // Unedited: back byte for byte.
    const KeyboardMacroSteps kept = KeyboardStepsOfReply(reply.data());
    report.fill(0);
    const size_t nSteps = PutMacroSteps(macro, &kept, report.data());
    Require(nSteps == kept[0], "step count changed on the way back");
    Require(std::equal(kept.begin(), kept.end(), report.begin() + MacroStepCountOffset),
            "an unedited macro went back with other steps");

    // Edited: encoded from its actions, never beyond the report.
    if (macro.m_nActionCount > 0)
    {
        macro.RemoveAction(0);
        ReportBuffer encoded{};
        report.fill(0);
        const size_t nEdited = PutMacroSteps(macro, &kept, report.data());
        Require(nEdited == EncodeMacroSteps(macro, encoded.data()) && report == encoded,
                "an edited macro went back with the keyboard's old steps");
        Require(nEdited <= MaxMacroSteps, "more steps than a report holds");
    }
    return 0;
}
