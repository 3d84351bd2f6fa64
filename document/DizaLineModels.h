#pragma once
// Line models reused along a walk: one model of each kind, made once and reset for every line, and one
// decoder shared by the code model and the walk's own steps, so that stepping through code and building
// the lines' texts decodes each instruction once and allocates nothing per line. Used under the
// document's file lock, like the models themselves.
//
//   DizaLineModels models(document);
//   if (BDizaBodyLine* body = models.Body({ address, word })) { body->BuildText(); use(body->text); }

#include "document/BDizaLine.h"

#include <memory>

class DizaLineModels {
public:
    explicit DizaLineModels(FileParseThread* document) : document_(document), decoder_(document) {}
    DizaLineModels(const DizaLineModels&) = delete;
    DizaLineModels& operator=(const DizaLineModels&) = delete;

    // The model of the record's line, as MakeDizaLine would make it; it stays valid until the next call.
    // Null when memory runs out.
    BDizaLine* Model(const Diza& record);
    BDizaBodyLine* Body(const Diza& record) {
        BDizaLine* line = Model(record);
        return line ? line->Body() : nullptr;
    }
    LineDecoder& Decoder() { return decoder_; }

private:
    // One slot for each DizaLineSlot.
    static constexpr int kSlots = 7;

    FileParseThread* document_;
    LineDecoder decoder_;
    std::unique_ptr<BDizaLine> models_[kSlots];
};
