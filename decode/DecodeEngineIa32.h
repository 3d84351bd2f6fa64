// The x86 decode engine: one instruction record, the bytes last read and the text last built.
#pragma once

#include "decode/BDecodeEngine.h"

class DecodeEngineIa32 : public BDecodeEngine {
public:
    DecodeEngineIa32(BDecodeSource* source, uint8_t bitness);

    std::unique_ptr<BDecodeEngine> Clone() const override;
    int64_t InsnStartAt(int64_t from, int64_t address) override;
    unsigned DecodeBytes(int64_t address, const uint8_t* bytes, size_t available) override;
    unsigned DecodeAt(int64_t address) override;
    const uint8_t* GetBytes() const override { return bytes_; }
    int GetTargets(DECODE_TARGET out[2]) const override;
    const wchar_t* GetText() override;
    bool IsUndefined() const override;

    const IA32_INSN& Insn() const { return insn_; }

    // Every decoding user clones the document's engine per operation: freed engines are kept for reuse.
    static void* operator new(size_t size);
    static void operator delete(void* block, size_t size) noexcept;

private:
    IA32_INSN insn_;
    uint8_t bytes_[16];
    wchar_t text_[kInsnTextSize];    // written by GetText only
};

// The engine's name source: the first name at `target` in the document of the engine `context` (a
// BDecodeEngine), or, at an indirect jump through a slot (FF 25), the name of the slot's address: the
// 32-bit address after FF 25, or in 64-bit code the RIP-relative one; narrowed to at most 254 characters.
bool NameAtTarget(void* context, int64_t insnAddress, int64_t target, char* out, size_t capacity);
