#pragma once
// Text views of the keyboard simulator shared by its front ends (the command-line simulator and
// the demo program): bytes in hexadecimal, the firmware state, the exchange log, and the parsing
// of numbers and recorded steps typed by a user.

#include "platform/simulator/SimulatedKeyboard.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

// "0D 01 ..."; longer lists are cut after nMax bytes with their length added.
std::string HexBytes(const std::vector<uint8_t>& vecBytes, size_t nMax = 64);
// The words of a command line, up to a word that starts with '#' (a comment).
std::vector<std::string> CommandWords(const std::string& strLine);
// A whole word as a number 0..0xFFFF in nBase; false for anything else.
bool ParseNumber(const std::string& strText, int nBase, int& nValue);
// Steps written "S0:S1" in hexadecimal, from vecWords[nFirst] on. False, with the offending word
// in strBad, when one is not of that form.
bool ParseSteps(const std::vector<std::string>& vecWords, size_t nFirst, std::vector<SimStep>& vecSteps,
                std::string& strBad);
// The active profile, the locks and the three profiles as the keyboard holds them; every line
// starts with two spaces.
void PrintSimState(std::ostream& out, const CSimulatedKeyboard& kb);
// One line per exchange: time, direction, path, the first bytes, and FAILED for a failed call.
void PrintSimLog(std::ostream& out, const CSimulatedKeyboard& kb);
