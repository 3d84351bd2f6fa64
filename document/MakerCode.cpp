#include "document/MakerCode.h"

#include "document/BDizaLine.h"
#include "document/FileParseThread.h"

void MakerCode::ComputeEnd() {
    if (!decoder_.Ready())
        throw EMaker(L"no decode engine");
    // Without a count the run is bounded by the code-run option: instructions after the first are
    // taken while their summed length stays below 2^n - 1 bytes.
    const bool bounded = count == kNoSize;
    const int64_t limit = bounded ? runEnd : start + static_cast<int64_t>(count);
    const uint64_t bound = (uint64_t{ 1 } << document->options.file.codeRunPower.value) - 1;
    uint64_t sum = 0;
    int64_t pos = start;
    while (pos < limit) {
        const int64_t length = decoder_.Decode(pos);
        if (length > limit - pos)
            break;
        if (bounded && pos != start && sum + static_cast<uint64_t>(length) >= bound)
            break;
        sum += static_cast<uint64_t>(length);
        pos += length;
    }
    end = pos;
}

void MakerCode::Apply() { map->AddCodeItem(start); }

void MakerDump::ComputeEnd() { end = count == kNoSize ? runEnd : start + static_cast<int64_t>(count); }

void MakerDump::Apply() {
    map->AddDumpItem(start);
    collapseWanted = end - start > document->DumpLineLength();
}

void MakerByteline::ComputeEnd() {
    // A line length of 0 has no lines; one above 0xFFFF cannot be recorded: nothing to make.
    if (lineLength == 0 || lineLength > diza::kLengthMask) {
        end = start;
        return;
    }
    end = start + static_cast<int64_t>(count / lineLength) * lineLength;
}

void MakerByteline::Apply() {
    map->AddBytelineItem(start, static_cast<int>(lineLength));
    collapseWanted = end - start > static_cast<int64_t>(lineLength);
}

bool MakerByteline::Report() {
    document->Log().Print(L"%s one line length: %u", name, lineLength);
    return true;
}
