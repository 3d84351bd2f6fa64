#include "document/MakerData.h"

#include "document/BlockSelection.h"
#include "document/FileParseThread.h"
#include "document/ItemStores.h"

#include <algorithm>

using namespace diza;

BMakerData::BMakerData(FileParseThread* document, int elementSize) : BMaker(document), elementSize(elementSize) {
    dataFormat = 1;
    if (document->options.file.dataOrder.index == 1)
        dataFormat |= kFormatBigEndian;
    if (document->options.file.dataDecimal.value)
        dataFormat |= kFormatDecimal;
    if (document->options.file.dataSigned.value)
        dataFormat |= kFormatSigned;
}

void BMakerData::ComputeEnd() {
    if (count == kNoSize)
        end = AddressPlus(start, elementSize);   // past the top: below the start, so "no space"
    else
        end = start + static_cast<int64_t>(count - count % static_cast<uint32_t>(elementSize));
}

void BMakerData::Apply() {
    const uint32_t most = count == static_cast<uint32_t>(elementSize) ? 1u : (elementSize + 254u) / elementSize;
    // At least one item a line: a line of none would have no length.
    const uint32_t items = std::max(1u, std::min(dataFormat & kFormatPerLineMask, most));
    uint32_t word = DataWord(elementSize, static_cast<int>(items));
    if (dataFormat & kFormatBigEndian)
        word |= kDataBigEndian;
    map->Put({ start, word });
    map->SetItemRadix(start, dataFormat);
}

bool BMakerData::MakeAtCursor(BDizaView* pane) {
    if (!pane)
        return false;
    BlockSelection& block = pane->Selection();
    if (block.state == BlockSelection::kMarked) {
        ArrayChoice choice;
        choice.itemsPerLine = 16 / elementSize;
        const int64_t length = block.Length(document);
        if (!pane->RunArrayDialog(elementSize, length, choice))
            return false;
        const uint32_t perLine = static_cast<uint32_t>(std::max(1, std::min(choice.itemsPerLine, 255)));
        dataFormat = (dataFormat & ~(kFormatPerLineMask | kFormatDecimal | kFormatSigned)) | kFormatRadixChosen | perLine;
        if (choice.decimal)
            dataFormat |= kFormatDecimal;
        if (choice.isSigned)
            dataFormat |= kFormatSigned;
        if (length / elementSize > static_cast<int64_t>(perLine)) {
            collapseWanted = true;
            collapseClosed = choice.closed;
        }
    }
    return BMaker::MakeAtCursor(pane);
}
