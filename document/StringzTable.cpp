#include "document/StringzTable.h"

bool StringzTable::Insert(int64_t address, uint32_t length, uint32_t kind) {
    SectionLock lock(lock_.Get());
    if (records_.Find(address) >= 0)
        return false;
    records_.Insert(STRINGZ_DATA{ address, (kind << 28) | (length & 0x0FFFFFFF) });
    ++changes_;
    return true;
}

int StringzTable::Find(int64_t address) {
    SectionLock lock(lock_.Get());
    return records_.Find(address);
}

bool StringzTable::Get(int i, STRINGZ_DATA& record) {
    SectionLock lock(lock_.Get());
    const STRINGZ_DATA* r = records_.Get(i);
    if (!r)
        return false;
    record = *r;
    return true;
}

void StringzTable::Remove(int i, int n) {
    SectionLock lock(lock_.Get());
    if (i >= 0 && n > 0 && i < records_.count) {
        records_.Erase(i, n);
        ++changes_;
    }
}

int StringzTable::Count() {
    SectionLock lock(lock_.Get());
    return records_.count;
}

uint32_t StringzTable::Changes() {
    SectionLock lock(lock_.Get());
    return changes_;
}
