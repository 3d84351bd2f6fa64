#include "document/FindThread.h"

#include "document/BDizaLine.h"
#include "document/BResultDiza.h"
#include "document/Diza.h"
#include "document/DizaLineModels.h"
#include "document/DizaWalk.h"
#include "document/FileParseThread.h"
#include "document/FindContext.h"
#include "document/HTimemeter.h"
#include "document/PatternMatcher.h"

#include <windows.h>

#include <algorithm>
#include <new>

using namespace diza;

// --- Line texts from the line models and the stores.

bool BFindLines::BodyText(FileParseThread* document, const DizaLinePos& line, StringW& text) {
    std::unique_ptr<BDizaLine> made;
    BDizaLine* model = nullptr;
    if (models) {
        model = models->Model(Diza{ line.address, line.line });
    } else {
        made.reset(MakeDizaLine(document, Diza{ line.address, line.line }));
        model = made.get();
    }
    BDizaBodyLine* body = model ? model->Body() : nullptr;
    if (!body)
        return false;
    body->BuildText();
    text = body->text;
    return true;
}

bool BFindLines::OnlineComment(FileParseThread* document, int64_t address, StringW& text) {
    text = document->stores.onlineComments.FirstLine(address);
    return !text.empty();
}

bool BFindLines::SubLineText(FileParseThread* document, const DizaLinePos& line, StringW& text) {
    const int index = static_cast<int>(line.line & kLineIndexMask);
    switch (KindOf(line.line)) {
    case kLineComment:
        text = document->stores.lineComments.GetLineText(line.address, index);
        break;
    case kLineName:
        text = document->stores.names.TextAt(line.address, index);
        break;
    case kLineOnlineMore:
        text = document->stores.onlineComments.GetLineText(line.address, index);
        break;
    default:
        return false;
    }
    return !text.empty();
}

// --- The walk over the segments.

void BFindThread::SetParameters(const FindParameters& p) {
    text = p.text;
    flags = p.flags;
    rangeStart = p.rangeStart;
    rangeEnd = p.rangeEnd;
}

void BFindThread::Poll() {
    if (!host)
        return;
    const uint32_t now = ::GetTickCount();
    if (polled_ && now - lastPoll_ < kPollMs)
        return;
    polled_ = true;
    lastPoll_ = now;
    host->PollStop();
}

bool BFindThread::StopAt(int64_t address) {
    position_ = address;
    if (++calls_ % kPollEvery == 0)
        Poll();
    if (!result->stop)
        return true;
    result->stopAddress = address;
    return false;
}

void BFindThread::Run() {
    HTimemeterScope scope(L"FindThread");
    result = context->GetResultByIndex(PaneNumber());
    FindParameters parameters;
    parameters.text = text;
    parameters.flags = flags;
    parameters.rangeStart = rangeStart;
    parameters.rangeEnd = rangeEnd;
    result->BeginJob(parameters);
    bool stopped = false;
    try {
        if (Prepare() && rangeEnd > rangeStart) {
            int first = -1, last = -1;
            {
                SectionLock lock(document->FileLock());
                first = document->Segments().IndexOfAddress(rangeStart);
                last = document->Segments().IndexOfAddress(rangeEnd - 1);
            }
            const bool backward = (flags & kFindBackward) != 0;
            int searched = 0;
            for (int n = 0; first >= 0 && last >= first && n <= last - first; ++n) {
                const int i = backward ? last - n : first + n;
                int64_t start = 0, end = 0;
                int32_t kind = 0;
                {
                    SectionLock lock(document->FileLock());
                    const KSegment* s = document->Segments().Get(i);
                    if (!s)
                        break;
                    start = s->address;
                    end = s->End();
                    kind = s->kind;
                }
                if (kind > 0 ? !(flags & kFindCodeSegments) : !(flags & kFindDataSegments))
                    continue;
                currentStart = std::max(start, rangeStart);
                currentEnd = std::min(end, rangeEnd);
                if (currentStart >= currentEnd)
                    continue;
                // A stop that came as a segment's last bytes were searched ends the walk before the next.
                stopped = (searched++ && !StopAt(backward ? currentEnd - 1 : currentStart)) ||
                          !(backward ? SearchBackward() : SearchForward());
                if (stopped)
                    break;
            }
        }
    } catch (const std::bad_alloc&) {
        // Out of memory ends the find like a stop: what was found stays.
        stopped = true;
        result->stop = 1;
        result->stopAddress = position_;
        document->Log().Print(L"Find%d: %s", PaneNumber(), L"not enough memory");
    }
    // A stop that came once nothing was left to search finds the find finished.
    if (!stopped)
        result->stop = 0;
    Finish();
    result->EndJob();
}

// --- Hex find.

uint8_t* BFindThreadString::Buffer() {
    if (!buffer_)
        buffer_.reset(new uint8_t[kChunkSize]);
    return buffer_.get();
}

bool FindHexThread::ParsePattern(const wchar_t* text, uint8_t* pattern, uint8_t* mask, int& length) {
    length = 0;
    if (!text)
        return false;
    auto digit = [](wchar_t c) -> int {
        if (c >= L'0' && c <= L'9')
            return c - L'0';
        if (c >= L'A' && c <= L'F')
            return c - L'A' + 10;
        if (c >= L'a' && c <= L'f')
            return c - L'a' + 10;
        return -1;
    };
    const wchar_t* p = text;
    while (*p) {
        if (length >= ByteSearch::kMaxLength)
            return false;
        if (p[0] == L'?' && p[1] == L'?') {
            pattern[length] = 0;
            mask[length] = 1;
        } else if (digit(p[0]) >= 0 && digit(p[1]) >= 0) {
            pattern[length] = static_cast<uint8_t>(digit(p[0]) * 16 + digit(p[1]));
            mask[length] = 0;
        } else {
            return false;
        }
        ++length;
        p += 2;
        if (*p == L' ')
            ++p;
    }
    return length > 0;
}

StringW FindHexThread::HexText(const uint8_t* bytes, int count) {
    static const wchar_t kDigits[] = L"0123456789ABCDEF";
    const int n = std::min(count, 85);
    StringW text;
    text.reserve(n * 3);
    for (int i = 0; i < n; ++i) {
        if (i)
            text += L' ';
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 15];
    }
    return text;
}

bool FindHexThread::Prepare() {
    uint8_t pattern[ByteSearch::kMaxLength], mask[ByteSearch::kMaxLength];
    int length = 0;
    if (!ParsePattern(text.c_str(), pattern, mask, length))
        return false;
    search_.oem = 0;
    search_.caseSensitive = 1;
    return search_.Setup(pattern, mask, length) > 0;
}

bool FindHexThread::AddHit(int64_t address, const uint8_t* bytes) {
    const int32_t n = PatternLength();
    result->QueueHit(address, n, HexText(bytes, n).c_str());
    return StopAt(address);
}

bool FindHexThread::ScanChunkForward(int64_t address, int32_t count) {
    const uint8_t* buffer = Buffer();
    int32_t from = 0;
    for (;;) {
        const int h = search_.FindForward(buffer + from, count - from);
        if (h < 0)
            return true;
        if (!AddHit(address + from + h, buffer + from + h))
            return false;
        from += h + 1;
    }
}

bool FindHexThread::ScanChunkBackward(int64_t address, int32_t count) {
    const uint8_t* buffer = Buffer();
    int32_t end = count;
    for (;;) {
        const int h = search_.FindBackward(buffer, end);
        if (h < 0)
            return true;
        if (!AddHit(address + h, buffer + h))
            return false;
        end = h + PatternLength() - 1;   // hits may overlap
    }
}

int32_t FindHexThread::ReadChunk(int64_t address, int32_t count) {
    uint8_t* buffer = Buffer();
    position_ = address;
    SectionLock lock(document->FileLock());
    const uint32_t got = document->ReadBytes(address, static_cast<void*>(buffer), static_cast<uint32_t>(count));
    return static_cast<int32_t>(std::min<uint32_t>(got, static_cast<uint32_t>(count)));
}

bool FindHexThread::SearchForward() {
    const int32_t n = PatternLength();
    // Chunks overlap by the pattern's length - 1, so a hit across a border is found once.
    for (int64_t at = currentStart; currentEnd - at >= n;) {
        const int32_t chunk = static_cast<int32_t>(std::min<int64_t>(currentEnd - at, kChunkSize));
        if (!ScanChunkForward(at, ReadChunk(at, chunk)))
            return false;
        at += chunk - n + 1;   // at least one byte: the chunk holds the pattern
        // A find with few hits is stopped between chunks too, where the next chunk would start.
        Poll();
        if (currentEnd - at >= n && !StopAt(at))
            return false;
    }
    return true;
}

bool FindHexThread::SearchBackward() {
    const int32_t n = PatternLength();
    for (int64_t end = currentEnd; end - currentStart >= n;) {
        const int32_t chunk = static_cast<int32_t>(std::min<int64_t>(end - currentStart, kChunkSize));
        const int64_t at = end - chunk;
        if (!ScanChunkBackward(at, ReadChunk(at, chunk)))
            return false;
        Poll();
        end = at + n - 1;
        if (end - currentStart >= n && !StopAt(at))
            return false;
    }
    return true;
}

// --- Line find.

bool FindLineThread::Prepare() {
    PatternMatcher* matcher = result->matcher;
    if (!matcher || !lines)
        return false;
    matcher->caseSensitive = (flags & kFindCase) ? 1 : 0;
    return matcher->Compile(text.c_str());
}

class FindLineThread::ModelsLent {
public:
    ModelsLent(BFindLines* lines, DizaLineModels* models) : lines_(lines) { lines_->models = models; }
    ~ModelsLent() { lines_->models = nullptr; }
    ModelsLent(const ModelsLent&) = delete;
    ModelsLent& operator=(const ModelsLent&) = delete;

private:
    BFindLines* lines_;
};

bool FindLineThread::MatchLine(const DizaLinePos& line) {
    PatternMatcher& matcher = *result->matcher;
    const uint32_t kind = KindOf(line.line);
    StringW& lineText = lineText_;
    bool hit = false;
    if (IsItemLine(line.line)) {
        const uint32_t wanted = kind == kCode ? kFindCodeLines : kFindOtherLines;
        if ((flags & wanted) && lines->BodyText(document, line, lineText))
            hit = matcher.Match(lineText.c_str()) == PatternMatcher::kHit;
        if (!hit && (flags & kFindComments) && lines->OnlineComment(document, line.address, lineText))
            hit = matcher.Match(lineText.c_str()) == PatternMatcher::kHit;
    } else if ((flags & kFindComments) && (kind == kLineComment || kind == kLineName || kind == kLineOnlineMore)) {
        if (lines->SubLineText(document, line, lineText))
            hit = matcher.Match(lineText.c_str()) == PatternMatcher::kHit;
    }
    if (hit) {
        const bool negated = matcher.IsNegated();
        result->QueueValues(line, negated ? 0 : matcher.start, negated ? 0 : matcher.length, lineText.c_str());
        result->OnFound(line.address);
    }
    return StopAt(line.address);
}

bool FindLineThread::SearchForward() {
    BDizaWalk walk(document);   // holds the file lock while it walks
    ModelsLent lent(lines, &walk.models);
    walk.SetAddress(currentStart);
    for (; walk.IsLine() && walk.current.address < currentEnd; walk.NextLine()) {
        if (walk.current.address >= currentStart && !MatchLine(walk.current))
            return false;
    }
    return true;
}

bool FindLineThread::SearchBackward() {
    BDizaWalk walk(document);
    ModelsLent lent(lines, &walk.models);
    walk.SetAddress(currentEnd - 1);
    if (walk.IsLine())
        walk.current.line = walk.subLines.Last();
    for (; walk.IsLine() && walk.current.address >= currentStart; walk.PrevLine()) {
        if (walk.current.address < currentEnd && !MatchLine(walk.current))
            return false;
    }
    return true;
}
