// Position of one display line of a disassembly page: a 64-bit address (all ones: none) and a line
// word whose top four bits are the line kind (0 no line, 1 comment line, 2 name line, 6-14 the item's
// own line, 15 on-line comment continuation; kinds 1, 2 and 15 keep an index in the low 8 bits).
#pragma once

#include <cstdint>

struct DizaLinePos {
    int64_t address;
    uint32_t line;
};
static_assert(sizeof(DizaLinePos) == 16, "line position: 64-bit address, line word, padding");
