#include "document/DizaLineModels.h"

#include "document/DizaBodyLines.h"

BDizaLine* DizaLineModels::Model(const Diza& record) {
    const int slot = static_cast<int>(SlotOfLine(record.kind));
    std::unique_ptr<BDizaLine>& model = models_[slot];
    if (model) {
        model->Reset(record);
        return model.get();
    }
    model.reset(MakeDizaLine(document_, record));
    if (model && slot == static_cast<int>(DizaLineSlot::kCode))
        static_cast<DizaBodylineCode*>(model.get())->ShareDecoder(&decoder_);
    return model.get();
}
