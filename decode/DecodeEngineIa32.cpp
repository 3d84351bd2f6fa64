#include "decode/DecodeEngineIa32.h"

#include <atomic>
#include <cstring>
#include <new>

namespace {

constexpr size_t kWindowLimit = 256;     // InsnStartAt never decodes more than this
constexpr int64_t kWindowBack = 241;     // ... and then starts this far before the address
constexpr size_t kNameChars = 254;

// Freed engine blocks kept for the next clone; a spin lock guards the few instructions that use it.
class EnginePool {
public:
    void* Take(size_t size) {
        if (size == sizeof(DecodeEngineIa32)) {
            Lock lock(busy_);
            if (count_)
                return blocks_[--count_];
        }
        return ::operator new(size);
    }
    void Give(void* block, size_t size) noexcept {
        if (size == sizeof(DecodeEngineIa32)) {
            Lock lock(busy_);
            if (count_ < kKept) {
                blocks_[count_++] = block;
                return;
            }
        }
        ::operator delete(block);
    }
private:
    class Lock {
    public:
        explicit Lock(std::atomic_flag& flag) : flag_(flag) {
            while (flag_.test_and_set(std::memory_order_acquire)) {
            }
        }
        ~Lock() { flag_.clear(std::memory_order_release); }
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        std::atomic_flag& flag_;
    };
    static constexpr size_t kKept = 16;
    std::atomic_flag busy_ = ATOMIC_FLAG_INIT;
    void* blocks_[kKept] = {};
    size_t count_ = 0;
};

// Never destroyed: an engine may be freed during static destruction.
EnginePool& Pool() {
    static EnginePool& pool = *new EnginePool;
    return pool;
}

}  // namespace

void* DecodeEngineIa32::operator new(size_t size) { return Pool().Take(size); }

void DecodeEngineIa32::operator delete(void* block, size_t size) noexcept { Pool().Give(block, size); }

// The text buffer is left as it is: GetText writes and terminates what it returns.
DecodeEngineIa32::DecodeEngineIa32(BDecodeSource* source, uint8_t bitness)
    : BDecodeEngine(source, bitness), insn_(), bytes_() {}

std::unique_ptr<BDecodeEngine> DecodeEngineIa32::Clone() const {
    return std::make_unique<DecodeEngineIa32>(source_, bitness_);
}

int64_t DecodeEngineIa32::InsnStartAt(int64_t from, int64_t address) {
    if (from >= address || !source_)
        return from >= address ? from : address;
    // The window runs from `from` to 15 bytes past the address, unless that is too long.
    uint64_t span = static_cast<uint64_t>(address) - static_cast<uint64_t>(from) + kMaxInsnLength;
    uint64_t start = static_cast<uint64_t>(from);
    if (span > kWindowLimit || span < kMaxInsnLength) {
        start = static_cast<uint64_t>(address) - kWindowBack;
        span = kWindowLimit;
    }
    // A window reaching back before the segment starts where the segment does.
    while (static_cast<int64_t>(start) < address && !source_->IsInSegment(static_cast<int64_t>(start))) {
        ++start;
        --span;
    }
    uint8_t window[kWindowLimit + 1] = {};
    size_t size = static_cast<size_t>(span);
    // Unread bytes stay zero: they decode as something, and the walk still ends past the address.
    source_->ReadBytes(static_cast<int64_t>(start), window, size);
    // Offsets from the window's start, so that addresses near the ends of the range cannot overflow.
    const uint64_t target = static_cast<uint64_t>(address) - start;
    IA32_INSN insn;
    size_t pos = 0;
    while (pos < size) {
        const int64_t at = static_cast<int64_t>(start + pos);
        unsigned len = DecodeInstruction(insn, bitness_, at, window + pos, size - pos, DecodeOptions());
        const uint64_t end = pos + len;
        if (end == target)
            return address;
        if (end > target)
            return at;
        pos += len;
    }
    return address;
}

unsigned DecodeEngineIa32::DecodeBytes(int64_t address, const uint8_t* bytes, size_t available) {
    return DecodeInstruction(insn_, bitness_, address, bytes, available, DecodeOptions());
}

unsigned DecodeEngineIa32::DecodeAt(int64_t address) {
    std::memset(&insn_, 0, sizeof insn_);
    std::memset(bytes_, 0, sizeof bytes_);
    size_t got = source_ ? source_->ReadBytes(address, bytes_, kMaxInsnLength) : 0;
    if (got == 0)
        return 1;
    if (got > kMaxInsnLength)
        got = kMaxInsnLength;
    return DecodeInstruction(insn_, bitness_, address, bytes_, got, DecodeOptions());
}

int DecodeEngineIa32::GetTargets(DECODE_TARGET out[2]) const {
    return DecodeTargets(insn_, out);
}

const wchar_t* DecodeEngineIa32::GetText() {
    char narrow[kInsnTextSize];
    FormatInstruction(insn_, narrow, sizeof narrow, source_ ? NameAtTarget : nullptr, this);
    size_t i = 0;
    for (; narrow[i] && i + 1 < kInsnTextSize; ++i)
        text_[i] = static_cast<wchar_t>(static_cast<unsigned char>(narrow[i]));
    text_[i] = 0;
    return text_;
}

bool DecodeEngineIa32::IsUndefined() const {
    return InsnMnemonic(insn_) == 0;
}

bool NameAtTarget(void* context, int64_t, int64_t target, char* out, size_t capacity) {
    auto* engine = static_cast<const BDecodeEngine*>(context);
    BDecodeSource* source = engine ? engine->Source() : nullptr;
    if (!source || capacity == 0 || !source->IsInSegment(target))
        return false;
    char16_t name[kNameChars + 2];
    bool found = source->FirstNameAt(target, name, kNameChars + 1);
    if (!found) {
        // An import thunk: jmp [slot] takes the name of the slot.
        uint8_t thunk[6] = {};
        if (source->ReadBytes(target, thunk, 6) == 6 && thunk[0] == 0xFF && thunk[1] == 0x25) {
            const uint32_t field = thunk[2] | thunk[3] << 8 | thunk[4] << 16 | static_cast<uint32_t>(thunk[5]) << 24;
            // In 64-bit code the field is relative to the thunk's end; the sum wraps like the CPU's.
            const int64_t slot = engine->Bitness() == 64
                                     ? static_cast<int64_t>(static_cast<uint64_t>(target) + 6 +
                                                            static_cast<uint64_t>(static_cast<int64_t>(static_cast<int32_t>(field))))
                                     : static_cast<int64_t>(field);
            found = source->FirstNameAt(slot, name, kNameChars + 1);
        }
    }
    if (!found)
        return false;
    name[kNameChars + 1] = 0;
    size_t limit = capacity - 1 < kNameChars ? capacity - 1 : kNameChars;
    size_t i = 0;
    for (; i < limit && name[i]; ++i)
        out[i] = static_cast<char>(name[i] & 0xFF);
    out[i] = 0;
    return true;
}
