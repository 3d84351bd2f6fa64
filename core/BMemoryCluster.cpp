#include "core/BMemoryCluster.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <limits>
#include <new>

BMemoryCluster::BMemoryCluster(int blockSize) : blockSize_(std::max(blockSize, 1)) { Append(NewBlock(blockSize_)); }

BMemoryCluster::~BMemoryCluster() { FreeBlocks(); }

BMemoryCluster::Block* BMemoryCluster::NewBlock(int size) {
    void* memory = ::operator new(sizeof(Block) + static_cast<size_t>(size));
    Block* block = static_cast<Block*>(memory);
    block->next = nullptr;
    block->free = size;
    block->size = size;
    return block;
}

void BMemoryCluster::Append(Block* block) {
    if (last_) last_->next = block;
    else first_ = block;
    last_ = block;
}

BMemoryCluster::Block* BMemoryCluster::FindBlock(int n) {
    for (Block* b = first_; b; b = b->next) {
        if (b->free >= n) return b;
    }
    return nullptr;
}

void* BMemoryCluster::Alloc(int n) {
    if (n < 0) return nullptr;
    Block* block = FindBlock(n);
    if (!block) {
        block = NewBlock(std::max(n, blockSize_));
        Append(block);
    }
    void* p = block->Data() + (block->size - block->free);
    block->free -= n;
    return p;
}

BMemoryCluster::Block* BMemoryCluster::AddBlock() {
    Block* block = NewBlock(blockSize_);
    Append(block);
    return block;
}

void BMemoryCluster::FreeBlocks() {
    for (Block* b = first_; b;) {
        Block* next = b->next;
        ::operator delete(b);
        b = next;
    }
    first_ = last_ = nullptr;
}

void BMemoryCluster::Reset() {
    FreeBlocks();
    AddBlock();
}

int BMemoryCluster::UsedBytes() const {
    int64_t used = 0;
    for (const Block* b = first_; b; b = b->next) used += b->size - b->free;
    return static_cast<int>(std::min<int64_t>(used, std::numeric_limits<int>::max()));
}

wchar_t* HStringMemory::AddString(const wchar_t* text) {
    if (!text) text = L"";
    const size_t length = std::wcslen(text);
    const size_t bytes = static_cast<size_t>(prefix_) + 2 * length + 2;
    if (bytes > static_cast<size_t>(std::numeric_limits<int>::max())) throw std::bad_alloc();
    unsigned char* p = static_cast<unsigned char*>(Alloc(static_cast<int>(bytes)));
    wchar_t* copy = reinterpret_cast<wchar_t*>(p + prefix_);
    std::memcpy(copy, text, 2 * length + 2);
    return copy;
}

FixsizeMemoryCluster::FixsizeMemoryCluster(int itemSize, int itemsPerBlock)
    : BMemoryCluster(std::max(itemSize, 1) * std::max(itemsPerBlock, 1)),
      itemSize_(std::max(itemSize, 1)),
      perBlock_(std::max(itemsPerBlock, 1)) {}

BMemoryCluster::Block* FixsizeMemoryCluster::FindBlock(int n) { return last_ && last_->free >= n ? last_ : nullptr; }

void FixsizeMemoryCluster::Reset() {
    BMemoryCluster::Reset();
    count_ = 0;
}

void* FixsizeMemoryCluster::AddItem() {
    void* p = Alloc(itemSize_);
    ++count_;
    return p;
}

void* FixsizeMemoryCluster::ItemAt(int i) const {
    if (i < 0 || i >= count_) return nullptr;
    Block* b = first_;
    for (int k = i / perBlock_; k > 0 && b; --k) b = b->next;
    return b ? b->Data() + (i % perBlock_) * itemSize_ : nullptr;
}
