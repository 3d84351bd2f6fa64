// Counting agreements between our decoder and objdump, and sorting disagreements into classes: a
// convention our text is meant to follow, or an unexplained difference (a decoder bug to chase).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tests/decode/diff/InsnForm.h"

struct DiffCase {
    const uint8_t* bytes;                // the instruction's bytes (at least 16 readable)
    size_t available;
    uint64_t address;
    ByteFacts facts;
    InsnForm ours, theirs;
    unsigned ourLength, theirLength;
    uint8_t ourError;
    bool branch = false;                 // ours has a relative target operand
    int targetCount = 0;                 // DecodeTargets of our record
    int64_t firstTarget = 0;
};

// Name of the convention that explains the difference, or null when none does.
const char* ConventionOf(const DiffCase& c, const FormDifference& d);

struct DiffClass {
    uint64_t count = 0;
    bool convention = false;
    std::vector<std::string> examples;
};

struct Tally {
    uint64_t cases = 0;
    uint64_t lengthAgree = 0;
    uint64_t agree = 0;                  // same after normalisation
    uint64_t convention = 0;             // differ as a convention of ours requires
    uint64_t unexplained = 0;
    std::map<std::string, DiffClass> classes;

    void Add(const DiffCase& c);
    void Merge(const Tally& other);
    double Rate(uint64_t n) const { return cases ? 100.0 * double(n) / double(cases) : 100.0; }
    // The rates, then the classes (most frequent first, up to `maxClasses` of each kind).
    std::string Report(const std::string& title, size_t maxClasses) const;
};
