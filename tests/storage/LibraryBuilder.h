#pragma once
// Builds macro libraries the way the program can: recorded key presses, releases and pauses.

#include <random>
#include <string>

#include "model/Macro.h"

inline MacroKey& AddRecordedKey(MacroSet& set, const std::string& strName, unsigned nActions, std::mt19937& rng)
{
    MacroKey& key = set.AppendKey(strName);
    for (unsigned i = 0; i < nActions; ++i)
    {
        if (i % 2)
            key.InsertAction(i, MacroAction::Delay(rng() % 70000));
        else
            key.InsertAction(i, MacroAction::Key(static_cast<uint8_t>(8 + rng() % 248), rng() % 2));
    }
    key.MacroCommandActionNum = static_cast<uint8_t>(CountCommandSteps(key));
    key.LoopEnable = rng() % 2;
    key.LoopNum = static_cast<uint8_t>(1 + rng() % 255);
    return key;
}

inline MacroLibrary MakeLibrary(unsigned nSets, unsigned nKeys, unsigned nActions, unsigned nSeed)
{
    std::mt19937 rng(nSeed);
    MacroLibrary library;
    for (unsigned s = 0; s < nSets; ++s)
    {
        MacroSet& set = library.AppendSet(s == 0 ? "Keyboard Macro Set" : "Set " + std::to_string(s));
        for (unsigned k = 0; k < nKeys; ++k)
            AddRecordedKey(set, "Macro" + std::to_string(k), nActions ? nActions : rng() % 201, rng);
    }
    return library;
}
