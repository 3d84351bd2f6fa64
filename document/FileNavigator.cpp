#include "document/FileNavigator.h"

#include "document/BFileParser.h"
#include "document/DizaWalk.h"
#include "document/FileParseThread.h"
#include "document/DocumentHost.h"
#include "document/ItemStores.h"

void FileNavigator::GotoAddress(int64_t address) {
    BDizaView* view = ViewOf(document);
    if (view)
        view->SetMarkedAddress(address);
    if (address == -1) {
        if (view)
            view->Repaint();
        return;
    }
    DizaWalk walk(document);
    walk.SetItemAddress(address);
    // The cursor stays on the address asked for, which may lie inside the item shown.
    ShowWalkPosition(walk, address);
}

void FileNavigator::GotoLinePosition(const DizaLinePos& position) {
    DizaWalk walk(document);
    walk.SetPosition(position);
    const DizaLinePos target = walk.current;
    ShowWalkPosition(walk, target.address);
    // A comment, name or continuation line is the row to stand on, not its item's line.
    if (BDizaView* view = ViewOf(document))
        view->SetCurrentLine(target);
}

bool FileNavigator::ResolveAddress(int64_t address) {
    int64_t target = address;
    if (!document->InSegment(target)) {
        BFileParser* parser = document->Parser(0);
        const int64_t translated =
            parser ? parser->TranslateAddress(document->Request(), static_cast<uint32_t>(address),
                                              static_cast<uint32_t>(static_cast<uint64_t>(address) >> 32))
                   : address;
        target = translated != address ? translated
                                       : static_cast<int64_t>(static_cast<uint64_t>(address) +
                                                              static_cast<uint64_t>(document->ImageBase()));
    }
    return document->PostGotoAddress(target);
}

void FileNavigator::ShowWalkPosition(BBDizaWalk& walk, int64_t cursor) {
    const DizaLinePos target = walk.current;
    StoresOf(document).ExpandAround(target.address);
    BDizaView* view = ViewOf(document);
    if (!view)
        return;
    // Asked after the folds opened: a page that showed the fold as one line may not reach the target now.
    if (!view->PageShows(target)) {
        walk.StepBack(view->RowCount() / 3);
        view->SetTop(walk.current);
    }
    view->Repaint();
    document->NotifyWindows(kMsgSelectionChanged, 0, view->PaneParam(), true);
    view->SetCursorAddress(cursor);
}
