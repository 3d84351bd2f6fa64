#include "document/MakerStringz.h"

#include "document/BlockSelection.h"
#include "document/CodePageChars.h"
#include "document/ItemStores.h"

bool BMakerStringz::Make(int64_t at, uint32_t size) {
    // Counted from the first piece, so that a start near the top of the address space cannot overflow.
    const int64_t longest = static_cast<int64_t>(MaxLength() - 1) * characterSize;
    int64_t taken = 0;
    bool made = false;
    for (;;) {
        characterCount = 0;
        terminatorFound = false;
        // A refused piece ends the make; the pieces made before it stand.
        if (!BMaker::Make(at, size) || characterCount == 0)
            return made;
        made = true;
        const int64_t consumed = static_cast<int64_t>(characterCount) * characterSize;
        at += consumed;
        taken += consumed;
        if (taken >= longest) {
            document->Log().Print(L"%s", L"Break, stringz too long");
            return true;
        }
        if (size != kNoSize)
            size = static_cast<int64_t>(size) > consumed ? static_cast<uint32_t>(size - consumed) : 0;
        if (terminatorFound || size == 0)
            return true;
    }
}

bool BMakerStringz::MakeAtCursor(BDizaView* pane) { return BMaker::MakeAtCursor(pane); }

void MakerAsciiz::Apply() {
    const int page = document->options.file.stringCodepage.index;
    map->AddStringItem(start, characterCount, page + 1);
    static const uint32_t kKinds[] = { kStringzAnsi, kStringzOem, kStringzUtf8 };
    document->strings.Insert(start, static_cast<uint32_t>(characterCount), page >= 0 && page < 3 ? kKinds[page] : 0);
}

void MakerUnicode::Apply() {
    map->AddUnicodeItem(start, characterCount);
    document->strings.Insert(start, static_cast<uint32_t>(characterCount), kStringzWide);
}

bool MakerUnicode::CheckPrintable(uint32_t c) const {
    return count != kNoSize || CodePageChars::IsPrintableWide(static_cast<uint16_t>(c));
}
