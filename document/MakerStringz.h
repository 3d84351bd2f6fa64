#pragma once
// Makers of zero-terminated strings, one-byte (in the document's string code page) or UTF-16. A make
// cuts the text after each run of line breaks, makes each piece an item and goes on until a zero or the
// length limit; every piece is also entered in the document's strings table.

#include "document/BMaker.h"
#include "document/FileParseThread.h"

#include <algorithm>
#include <vector>

class BMakerStringz : public BMaker {
public:
    BMakerStringz(FileParseThread* document, int32_t characterSize)
        : BMaker(document), characterSize(characterSize) {}
    bool MakeAtCursor(BDizaView* pane) override;
    bool Make(int64_t start, uint32_t count) override;

    int32_t characterSize;
    int32_t characterCount = 0;
    bool terminatorFound = false;

protected:
    int64_t MaxLength() const { return document->options.file.maxStringLength.value; }
    // Whether each character before the terminator must be printable text.
    virtual bool CheckPrintable(uint32_t c) const { (void)c; return true; }
};

template <class C>
class TMakerStringz : public BMakerStringz {
public:
    explicit TMakerStringz(FileParseThread* document) : BMakerStringz(document, sizeof(C)) {}

    void ComputeEnd() override {
        characterCount = 0;
        const int64_t limit = count == kNoSize ? runEnd : start + static_cast<int64_t>(count);
        if (limit - start < static_cast<int64_t>(sizeof(C))) {
            end = start;
            return;
        }
        int64_t window = std::min<int64_t>(limit - start, (MaxLength() - 1) * static_cast<int64_t>(sizeof(C)));
        window -= window % static_cast<int64_t>(sizeof(C));
        const int64_t units = window / static_cast<int64_t>(sizeof(C));
        // The bytes and a zero after them (bytes that cannot be read stay zero).
        buffer_.assign(static_cast<size_t>(window) + sizeof(C), 0);
        document->ReadBytes(start, static_cast<void*>(buffer_.data()), static_cast<uint32_t>(window));
        bool lineBreak = false;
        for (int64_t i = 0;; ++i) {
            const uint32_t c = Unit(i);
            if (c == 0) {
                terminatorFound = true;
                if (characterCount < units)
                    ++characterCount;
                break;
            }
            if (c == 13 || c == 10) {
                ++characterCount;
                lineBreak = true;
                continue;
            }
            if (lineBreak)
                break;
            if (!CheckPrintable(c))
                throw EMaker(L"no valid unicode stringz");
            ++characterCount;
        }
        end = start + static_cast<int64_t>(characterCount) * static_cast<int64_t>(sizeof(C));
    }

private:
    uint32_t Unit(int64_t i) const {
        const uint8_t* p = buffer_.data() + i * static_cast<int64_t>(sizeof(C));
        return sizeof(C) == 1 ? p[0] : static_cast<uint32_t>(p[0] | (p[1] << 8));
    }

    std::vector<uint8_t> buffer_;
};

class MakerAsciiz : public TMakerStringz<unsigned char> {
public:
    explicit MakerAsciiz(FileParseThread* document) : TMakerStringz(document) { name = L"Asciiz"; }
    void Apply() override;
};

class MakerUnicode : public TMakerStringz<wchar_t> {
public:
    explicit MakerUnicode(FileParseThread* document) : TMakerStringz(document) { name = L"Unicode"; }
    void Apply() override;

protected:
    // At the cursor (no size) only printable text is taken.
    bool CheckPrintable(uint32_t c) const override;
};
