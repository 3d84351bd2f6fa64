#include "document/DizaLineModels.h"

#include "document/DizaBodyLines.h"

using namespace diza;

int DizaLineModels::SlotOf(uint32_t word) {
    if (!IsItemLine(word))
        return kPlain;
    switch (KindOf(word)) {
    case kCode:
        return kCodeSlot;
    case kData:
        return kDataSlot;
    case kBytes:
        return (word & kLengthMask) ? kBytelineSlot : kDumpSlot;
    case kString:
        if ((word & kStringWidthMask) == 0)
            return kAsciizSlot;
        if ((word & kStringWidthMask) == kStringWide)
            return kUnicodeSlot;
        return kPlain;
    default:
        return kPlain;
    }
}

BDizaLine* DizaLineModels::Model(const Diza& record) {
    const int slot = SlotOf(record.kind);
    std::unique_ptr<BDizaLine>& model = models_[slot];
    if (model) {
        model->Reset(record);
        return model.get();
    }
    model.reset(MakeDizaLine(document_, record));
    if (model && slot == kCodeSlot)
        static_cast<DizaBodylineCode*>(model.get())->ShareDecoder(&decoder_);
    return model.get();
}
