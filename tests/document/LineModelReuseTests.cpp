// Walks that step from their own line starts and reuse their line models give the lines and texts
// that the map's searches and a fresh model for every line give.

#include "MakerFakes.h"

#include "document/BDizaLine.h"
#include "document/DizaBodyLines.h"
#include "document/DizaLineModels.h"
#include "document/DizaWalk.h"
#include "document/MakerCode.h"
#include "document/MakerData.h"
#include "document/MakerStringz.h"

#include <memory>
#include <string>
#include <vector>

namespace {

struct Line {
    int64_t address;
    uint32_t word;
    std::wstring text;
    bool operator==(const Line& o) const { return address == o.address && word == o.word && text == o.text; }
};

std::ostream& operator<<(std::ostream& out, const Line& l) {
    return out << std::hex << l.address << " " << l.word << " " << std::string(l.text.begin(), l.text.end());
}

// Instructions of one to ten bytes.
const char kCode[] = "\x55\x8B\xEC\x83\xEC\x10\x8B\x45\x08\x03\xC1\x89\x45\xFC\x85\xC0\x74\x07\xE8\x10\x20\x00\x00"
                     "\x33\xC9\xC7\x05\x00\x10\x40\x00\x01\x00\x00\x00\x8B\xE5\x5D\xC3";

// Code 0x1000..0x1800 and data 0x2000..0x2100 (file bytes 0..0x900) with every item kind: a run of
// code longer than a walk decodes back at once, single instructions, dwords four a line cut short by the next item, a byte line, one-byte and
// UTF-16 strings and dumps.
class LineModelReuse : public MakerTest {
protected:
    void SetUp() override {
        std::string bytes;
        while (bytes.size() < 0x800)
            bytes.append(kCode, sizeof kCode - 1);
        bytes.resize(0x800);
        std::string data(0x100, '\x7F');
        data.replace(0x80, 7, std::string("Hello\r\n", 7));
        data.replace(0x87, 4, std::string("ab\0\0", 4));
        data.replace(0xA0, 6, std::string("H\0i\0\0\0", 6));
        Open(bytes + data);
        ASSERT_TRUE(doc->AddCodeSegment(0x1000, 0, 0x800, 0));
        ASSERT_TRUE(doc->AddDataSegment(0x2000, 0x800, 0x100, 0));
        MakerCode run(doc);
        run.logWanted = false;
        ASSERT_TRUE(run.Make(0x1000, 0x600));
        for (int64_t at = run.end, i = 0; i < 6; ++i) {
            MakerCode one(doc);
            one.logWanted = false;
            ASSERT_TRUE(one.Make(at, BMaker::kNoSize));
            at = one.end;
        }
        MakerDword dwords(doc);
        dwords.logWanted = false;
        dwords.dataFormat = (dwords.dataFormat & ~0xFFu) | 4;
        ASSERT_TRUE(dwords.Make(0x2000, 0x28));
        MakerByte bytesItem(doc);
        bytesItem.logWanted = false;
        ASSERT_TRUE(bytesItem.Make(0x2024, 1));   // cuts the last dword line short
        MakerByteline byteline(doc, 8);
        byteline.logWanted = false;
        ASSERT_TRUE(byteline.Make(0x2040, 0x14));
        MakerAsciiz ascii(doc);
        ascii.logWanted = false;
        ASSERT_TRUE(ascii.Make(0x2080, BMaker::kNoSize));
        MakerUnicode wide(doc);
        wide.logWanted = false;
        ASSERT_TRUE(wide.Make(0x20A0, BMaker::kNoSize));
    }

    // The lines by the map's own searches, each text from a model of its own.
    std::vector<Line> ByTheMap() {
        SectionLock lock(doc->FileLock());
        std::vector<Line> lines;
        for (Diza item = doc->Map().ItemAtOrNext(0x1000); item.address != -1;) {
            std::unique_ptr<BDizaLine> model(MakeDizaLine(doc, item));
            BDizaBodyLine* body = model->Body();
            if (body)
                body->BuildText();
            lines.push_back({ item.address, item.kind, body ? body->text : L"<plain>" });
            const int64_t next = doc->Map().NextItemAddress(item.address);
            if (next == -1)
                break;
            item = doc->Map().ItemAtOrNext(next);
        }
        return lines;
    }

    static Line Current(BBDizaWalk& walk) {
        BDizaBodyLine* body = walk.models.Body({ walk.current.address, walk.current.line });
        if (body)
            body->BuildText();
        return { walk.current.address, walk.current.line, body ? body->text : L"<plain>" };
    }
};

}  // namespace

TEST_F(LineModelReuse, WalkForwardAndBackMatchesTheMap) {
    const std::vector<Line> expected = ByTheMap();
    ASSERT_GT(expected.size(), 600u);
    BDizaWalk walk(doc);
    std::vector<Line> forward;
    for (walk.SetAddress(0x1000); walk.IsLine(); walk.NextLine())
        forward.push_back(Current(walk));
    EXPECT_EQ(forward, expected);

    std::vector<Line> backward;
    walk.SetAddress(expected.back().address);
    for (; walk.IsLine(); walk.PrevLine())
        backward.insert(backward.begin(), Current(walk));
    EXPECT_EQ(backward, expected);
}

// Sub-lines and a closed collapse inside the code run; the steps from the walk's line starts agree with
// steps that search every line's start.
TEST_F(LineModelReuse, SubLinesAndCollapsesInACodeRun) {
    const std::vector<Line> lines = ByTheMap();
    stores.comments[lines[3].address] = 2;
    stores.names[lines[5].address] = 1;
    stores.collapses.push_back({ lines[8].address, lines[20].address, true });
    DizaWalk walk(doc);
    walk.SetAddress(0x1000);
    std::vector<DizaLinePos> forward;
    for (int i = 0; i < 40 && walk.IsLine(); ++i, walk.NextLine())
        forward.push_back(walk.current);
    ASSERT_EQ(forward.size(), 40u);
    EXPECT_EQ(forward[3].line, diza::LineWord(diza::kLineComment, 0));
    EXPECT_EQ(forward[5].address, lines[3].address);
    EXPECT_EQ(forward[11].address, lines[8].address);
    EXPECT_EQ(forward[12].address, lines[20].address);   // over the folded range
    walk.SetPosition(forward[39]);
    for (int i = 39; i >= 0; --i, walk.PrevLine()) {
        EXPECT_EQ(walk.current.address, forward[static_cast<size_t>(i)].address) << i;
        EXPECT_EQ(walk.current.line, forward[static_cast<size_t>(i)].line) << i;
    }
}

// A position given inside an instruction is no line start of the walk's own: the next line is found as
// the map finds it.
TEST_F(LineModelReuse, PositionInsideAnInstruction) {
    const std::vector<Line> lines = ByTheMap();
    const int64_t inside = lines[2].address + 1;
    int64_t expected = -1;
    {
        SectionLock lock(doc->FileLock());
        expected = doc->Map().ItemAtOrNext(doc->Map().NextItemAddress(inside)).address;
    }
    BDizaWalk walk(doc);
    walk.SetPosition({ inside, lines[2].word });
    EXPECT_EQ(walk.current.address, inside);
    ASSERT_TRUE(walk.NextLine());
    EXPECT_EQ(walk.current.address, expected);
}

// A reused model starts afresh: a data model whose show-as rows dropped the prefix shows it again, and
// a clipped line reads only its bytes.
TEST_F(LineModelReuse, ReusedModelsStartAfresh) {
    SectionLock lock(doc->FileLock());
    DizaLineModels models(doc);
    const Diza dwords = { 0x2000, doc->Map().ItemAt(0x2000).kind };
    DizaPropertyList rows;
    ASSERT_NE(models.Body(dwords), nullptr);
    models.Body(dwords)->Properties(rows);
    BDizaBodyLine* again = models.Body({ 0x2020, dwords.kind });
    again->BuildText();
    std::unique_ptr<BDizaLine> fresh(MakeDizaLine(doc, { 0x2020, dwords.kind }));
    fresh->Body()->BuildText();
    EXPECT_EQ(again->text, fresh->Body()->text);
    EXPECT_EQ(again->text.substr(0, 4), L"dd  ");
    EXPECT_EQ(again->GetByteCount(), 4);
    // The same slot serves the next code line; a plain word gives a plain line.
    BDizaBodyLine* code = models.Body({ 0x1000, doc->Map().ItemAt(0x1000).kind });
    code->BuildText();
    EXPECT_EQ(code->text.substr(0, 4), L"push");
    EXPECT_EQ(code->LineLength(), 1);
    EXPECT_EQ(models.Body({ 0x1000, 0x50000000 }), nullptr);
    EXPECT_NE(models.Model({ 0x1000, 0x50000000 }), nullptr);
}
