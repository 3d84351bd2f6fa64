#include "document/FindContext.h"

#include "document/DocumentHost.h"
#include "document/FileParseThread.h"
#include "document/HTimemeter.h"


// --- History.

void FindParametersList::Push(const FindParameters& p) {
    if (p.text.empty())
        return;
    if (Count() > 0 && StringEquals(p.text.c_str(), At(0))) {
        *sets_[0] = p;
        return;
    }
    PushFront(p.text.c_str());
    sets_.insert(sets_.begin(), std::unique_ptr<FindParameters>(new FindParameters(p)));
}

const FindParameters* FindParametersList::ParametersAt(int index) const {
    return index >= 0 && index < static_cast<int>(sets_.size()) ? sets_[index].get() : nullptr;
}

void FindParametersList::OnRemove(int index) {
    if (index >= 0 && index < static_cast<int>(sets_.size()))
        sets_.erase(sets_.begin() + index);
}

void FindParametersList::AddToControl(HWND combo, int index) {
    const LRESULT item = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(At(index).c_str()));
    if (item >= 0)
        SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(ParametersAt(index)));
}

// --- The find state.

FindContext::FindContext(FileParseThread* document) : document(document) {
    for (int i = 0; i < 2; ++i) {
        matchers_[i].reset(new PatternMatcher);
        results_[i].reset(new FindResult(document, i));
        results_[i]->matcher = matchers_[i].get();
        document->stores.findResults[i] = results_[i].get();
    }
    parameters.flags = kFindLineMode | (1u << kFindPaneShift) | kFindCodeSegments | kFindDataSegments |
                       kFindCodeLines | kFindOtherLines | kFindComments;
}

FindContext::~FindContext() {
    for (int i = 0; i < 2; ++i)
        if (document->stores.findResults[i] == results_[i].get())
            document->stores.findResults[i] = nullptr;
}

bool FindContext::Start(BFindHost* host) {
    if (!host)
        return false;
    const StringW own = host->WindowSearchText();
    if (!own.empty()) {
        parameters.text = own;
        parameters.flags &= ~kFindModeMask;
    }
    if (document->options.file.stringCodepage.index == 1)
        parameters.flags |= kFindOem;
    else
        parameters.flags &= ~kFindOem;
    int64_t selectionStart = -1, selectionEnd = -1;
    if (host->BlockSelection(selectionStart, selectionEnd))
        parameters.flags |= kFindSelection;
    else
        parameters.flags &= ~kFindSelection;
    openDialog = host;
    const bool ok = host->RunDialog(*this);
    openDialog = nullptr;
    if (!ok)
        return false;
    RunFind(host);
    return true;
}

bool FindContext::RunFind(BFindHost* host) {
    history.Push(parameters);
    const uint32_t flags = parameters.flags;
    int64_t start = -1, end = -1;
    if (flags & kFindSelection) {
        if (!host || !host->BlockSelection(start, end))
            start = end = -1;
    } else {
        SectionLock lock(document->FileLock());
        start = document->Segments().lowestAddress;
        end = document->Segments().highestEnd;
    }
    if (!(flags & kFindSelection) && (flags & kFindFromCursor) && host) {
        const int64_t cursor = host->CursorAddress((flags & kFindModeMask) == kFindHexMode);
        if (cursor != -1) {
            if (flags & kFindBackward)
                end = cursor;
            else
                start = cursor;
        }
    }
    parameters.rangeStart = start;
    parameters.rangeEnd = end;

    const int number = static_cast<int>((flags & kFindPaneMask) >> kFindPaneShift);
    if (host)
        host->ShowResultPane(number == 1 ? kFind1Pane : kFind2Pane);
    std::unique_ptr<BFindThread> job = NewFindThread(host);
    job->SetParameters(parameters);
    job->host = host;
    document->Log().Print(L"Find%d for '%s' is starting ...", number, parameters.text.c_str());
    job->Run();
    return start != -1 && end > start;
}

std::unique_ptr<BFindThread> FindContext::NewFindThread(BFindHost* host) {
    if ((parameters.flags & kFindModeMask) == kFindHexMode)
        return std::unique_ptr<BFindThread>(new FindHexThread(document, this));
    BFindLines* lines = host && host->Lines() ? host->Lines() : &ownLines_;
    return std::unique_ptr<BFindThread>(new FindLineThread(document, this, lines));
}

FindResult* FindContext::ActiveResult() {
    return activePane == kFind1Pane || activePane == kFind2Pane ? GetResult(activePane) : nullptr;
}

void FindContext::SetActivePane(int paneId, BFindHost* host) {
    const int old = activePane;
    activePane = paneId;
    if (host)
        host->ActivePaneChanged(old, paneId);
}

bool FindContext::IsHexResultActive() {
    FindResult* r = ActiveResult();
    return r && !r->SearchesLines();
}

bool FindContext::IsTextResultActive() {
    FindResult* r = ActiveResult();
    return r && r->SearchesLines();
}

bool FindContext::IsHexHitAt(int64_t address) { return IsHexResultActive() && ActiveResult()->Contains(address); }

void FindContext::OnFindDone(FindResult* result) {
    if (!result)
        return;
    if (openDialog)
        openDialog->DialogFindDone(result);
    const int number = result == results_[0].get() ? 1 : 2;
    FileLog& log = document->Log();
    {
        SectionLock lock(log.Lock());
        log.Print(L"Find%d for '%s' is ", number, result->parameters.text.c_str());
        log.SetContinue();
        if (result->stop) {
            log.Print(L"canceled at %s.", document->AddressText(result->stopAddress).c_str());
        } else {
            wchar_t elapsed[32];
            HTimemeter::FormatElapsed(result->elapsed, elapsed);
            log.Print(L"finished in %s.", elapsed);
        }
    }
    if (results_[0]->runningJobs == 0 && results_[1]->runningJobs == 0 && document->Host())
        document->Host()->CloseCancelQuestion();
}

bool FindContext::AnyRunning() const {
    for (const auto& r : results_)
        if (r && r->runningJobs > 0)
            return true;
    return false;
}

void FindContext::StopAll() {
    for (auto& r : results_)
        r->stop = 1;
}
