#include "app/StringzFilterTexts.h"

#include "core/SectionLock.h"
#include "document/FileParseThread.h"
#include "document/ScanStringz.h"

#include <emmintrin.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cwchar>
#include <new>
#include <stdexcept>

// 96 MB: the texts never take the memory the rest of the program needs.
size_t StringzFilterTexts::maxBytes = 96u << 20;
bool StringzFilterTexts::vectors = __builtin_cpu_supports("sse2") != 0;

template <class T>
T* StringzFilterTexts::Counted<T>::allocate(size_t n) {
    if (n > maxBytes / sizeof(T) || account->held + n * sizeof(T) > maxBytes)
        throw std::bad_alloc();
    T* p = std::allocator<T>().allocate(n);
    account->held += n * sizeof(T);
    account->peak = std::max(account->peak, account->held);
    return p;
}

namespace {

// Empties a vector and gives its memory back.
template <class V>
void Release(V& v) {
    V none(v.get_allocator());
    v.swap(none);
}

}  // namespace

void StringzFilterTexts::Texts::Clear() {
    Release(records);
    Release(starts);
    Release(chars);
    Release(sets);
}

size_t StringzFilterTexts::Texts::Bytes(size_t count, size_t characters) {
    return count * (sizeof(STRINGZ_DATA) + sizeof(uint32_t) + sizeof(CharSet)) + sizeof(uint32_t) +
           characters * sizeof(wchar_t);
}

void StringzFilterTexts::Texts::Reserve(size_t count, size_t characters) {
    // Once: a vector that grew would hold its old block beside the new one.
    records.reserve(count);
    starts.reserve(count + 1);
    sets.reserve(count);
    chars.reserve(characters);
}

void StringzFilterTexts::CharSet::Add(wchar_t c) {
    const unsigned bit = c & 0x7F;
    (bit < 64 ? low : high) |= uint64_t{1} << (bit & 63);
    if (c >= 0x80)
        low |= 1;
}

StringzFilterTexts::CharSet StringzFilterTexts::SetOf(const wchar_t* text, size_t length) {
    CharSet set;
    for (size_t i = 0; i < length; ++i)
        set.Add(text[i]);
    return set;
}

void StringzFilterTexts::Texts::Append(const STRINGZ_DATA& record, const wchar_t* text, size_t length, bool lower,
                                       const CharSet* set) {
    if (starts.empty())
        starts.push_back(0);
    const size_t at = chars.size();
    chars.insert(chars.end(), text, text + length);
    if (lower && length != 0)
        ::CharLowerBuffW(&chars[at], static_cast<DWORD>(length));
    starts.push_back(static_cast<uint32_t>(chars.size()));
    records.push_back(record);
    sets.push_back(set ? *set : SetOf(chars.data() + at, length));
}

void StringzFilterTexts::Forget() {
    done_.Clear();
    next_.Clear();
    doneValid_ = false;
    building_ = false;
    reuse_ = 0;
    failed_ = false;
}

bool StringzFilterTexts::Current(FileParseThread* document) {
    SectionLock lock(document->strings.Lock());
    return doneValid_ && doneChanges_ == document->strings.Changes();
}

bool StringzFilterTexts::Failed(FileParseThread* document) {
    SectionLock lock(document->strings.Lock());
    return failed_ && document->strings.Count() >= failedCount_;
}

bool StringzFilterTexts::Build(FileParseThread* document, int budgetMs) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    SectionLock file(document->FileLock());
    StringzTable& table = document->strings;
    SectionLock lock(table.Lock());
    const uint32_t changes = table.Changes();
    if (doneValid_ && doneChanges_ == changes) {
        building_ = false;
        return true;
    }
    const int count = table.Count();
    if (failed_ && count >= failedCount_)
        return false;
    failed_ = false;
    STRINGZ_DATA record{};
    try {
        if (!building_ || nextChanges_ != changes) {
            next_.Clear();
            building_ = true;
            nextChanges_ = changes;
            reuse_ = 0;
            ++buildsBegun;
            // The most characters the shown texts can have: the quotes, an L, and no more
            // characters than bytes.
            uint64_t characters = 0;
            int n = 0;
            for (int i = 0; i < count; i += n) {
                const STRINGZ_DATA* run = table.Run(i, n);
                if (!run)
                    break;
                for (int k = 0; k < n; ++k)
                    characters += std::min<uint32_t>(run[k].Length(), kMaxShownCharacters) + 3;
            }
            if (characters > maxBytes / sizeof(wchar_t))
                throw std::length_error("filter texts");   // more than the ceiling holds
            const size_t bytes = Texts::Bytes(static_cast<size_t>(count), static_cast<size_t>(characters));
            // The old texts beside the new ones would not fit: the new ones are made without them.
            if (account_.held + bytes > maxBytes) {
                done_.Clear();
                doneValid_ = false;
            }
            next_.Reserve(static_cast<size_t>(count), static_cast<size_t>(characters));
        }
        const int first = static_cast<int>(next_.records.size());
        for (int i = first; i < count && table.Get(i, record); ++i) {
            // Each slice makes some texts, however short its time.
            if (budgetMs >= 0 && i != first && i % 256 == 0 &&
                Clock::now() - start >= std::chrono::milliseconds(budgetMs))
                return false;
            // A record that stayed keeps its text: both lists run by address.
            const auto& old = done_.records;
            while (doneValid_ && reuse_ < old.size() && old[reuse_].address < record.address)
                ++reuse_;
            if (doneValid_ && reuse_ < old.size() && old[reuse_].address == record.address &&
                old[reuse_].word == record.word) {
                const uint32_t from = done_.starts[reuse_];
                next_.Append(record, done_.chars.data() + from, done_.starts[reuse_ + 1] - from, false,
                             &done_.sets[reuse_]);
            } else {
                // As its row shows it: up to a character 0 (the UTF-8 bytes C0 80 give one).
                const StringW text = FormatStringz(document, record);
                next_.Append(record, text.c_str(), std::wcslen(text.c_str()), true);
            }
        }
    } catch (const std::exception&) {
        // No room for them (over the ceiling, no memory, more than a vector holds): the filter reads
        // the strings' bytes instead.
        Forget();
        failed_ = true;
        failedCount_ = count;
        return false;
    }
    std::swap(done_, next_);
    next_.Clear();
    doneValid_ = true;
    doneChanges_ = changes;
    building_ = false;
    reuse_ = 0;
    return true;
}

void StringzFilterTexts::FindAll(const StringW& filter, const std::function<void(int)>& add) const {
    if (!doneValid_ || filter.empty())
        return;
    if (filter.size() > 1 && vectors) {
        FindAllInBlocks(filter, add);
        return;
    }
    const CharSet wanted = SetOf(filter.data(), filter.size());
    // One ASCII character: the sets of the texts that hold nothing else say it all.
    const bool one = filter.size() == 1 && filter[0] < 0x80;
    const size_t count = done_.records.size();
    for (size_t i = 0; i < count; ++i) {
        const CharSet& set = done_.sets[i];
        if (set.Holds(wanted) && ((one && set.AsciiOnly()) || Holds(static_cast<int>(i), filter)))
            add(static_cast<int>(i));
    }
}

// All the texts, one after another, looked through 8 characters at a time for the places where the
// filter's first two characters stand; each is compared with the text it lies in, and once a text
// holds the filter the rest of it is passed over.
__attribute__((target("sse2"), force_align_arg_pointer)) void StringzFilterTexts::FindAllInBlocks(
    const StringW& filter, const std::function<void(int)>& add) const {
    const wchar_t* const chars = done_.chars.data();
    const size_t total = done_.chars.size();
    const uint32_t* const starts = done_.starts.data();
    const wchar_t* const wanted = filter.data();
    const size_t n = filter.size();
    size_t text = 0;   // the text that holds the place looked at
    // Whether the filter stands at p inside its text; the place after that text when it does.
    const auto at = [&](size_t p, size_t& next) {
        while (starts[text + 1] <= p)
            ++text;
        if (p + n > starts[text + 1] || std::wmemcmp(chars + p + 2, wanted + 2, n - 2) != 0)
            return false;
        add(static_cast<int>(text));
        next = starts[text + 1];
        return true;
    };
    const __m128i first = _mm_set1_epi16(static_cast<short>(wanted[0]));
    const __m128i second = _mm_set1_epi16(static_cast<short>(wanted[1]));
    size_t i = 0;
    while (i + 9 <= total) {
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(chars + i));
        const __m128i after = _mm_loadu_si128(reinterpret_cast<const __m128i*>(chars + i + 1));
        unsigned places = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi16(here, first), _mm_cmpeq_epi16(after, second))));
        size_t next = i + 8;
        for (places &= 0x5555; places; places &= places - 1)
            if (at(i + static_cast<size_t>(__builtin_ctz(places)) / 2, next))
                break;
        i = next;
    }
    for (size_t next = i; i + 1 < total; i = std::max(i + 1, next))
        if (chars[i] == wanted[0] && chars[i + 1] == wanted[1])
            at(i, next);
}

bool StringzFilterTexts::Holds(int i, const StringW& filter) const {
    if (!doneValid_ || i < 0 || static_cast<size_t>(i) >= done_.records.size())
        return false;
    const uint32_t from = done_.starts[static_cast<size_t>(i)];
    return TextHolds(done_.chars.data() + from, done_.starts[static_cast<size_t>(i) + 1] - from, filter.data(),
                     filter.size());
}

bool TextHolds(const wchar_t* text, size_t length, const wchar_t* filter, size_t n) {
    if (n == 0 || n > length)
        return n == 0;
    const wchar_t first = filter[0];
    const wchar_t* const last = text + (length - n);
    for (const wchar_t* p = text; p <= last; ++p) {
        if (*p != first)
            continue;
        size_t k = 1;
        while (k < n && p[k] == filter[k])
            ++k;
        if (k == n)
            return true;
    }
    return false;
}
