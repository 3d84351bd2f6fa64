// Pools that hand out memory by bumping through large blocks and free it only all at once:
//   BMemoryCluster        block allocator (a request may go into any earlier block with room)
//   HStringMemory         copies wide texts into a cluster, with a few owner bytes in front of each
//   FixsizeMemoryCluster  fixed-size items addressed by index; TMemoryCluster<T> its typed form
// A request larger than the block size gets a block of its own, so no text is ever cut.
#pragma once

#include <cstdint>

class BMemoryCluster {
public:
    struct alignas(8) Block {
        Block* next;
        int32_t free;    // bytes left at the end of the data area
        int32_t size;    // bytes of the data area
        unsigned char* Data() { return reinterpret_cast<unsigned char*>(this + 1); }
    };

    explicit BMemoryCluster(int blockSize);
    virtual ~BMemoryCluster();
    BMemoryCluster(const BMemoryCluster&) = delete;
    BMemoryCluster& operator=(const BMemoryCluster&) = delete;

    // The block that serves a request of n bytes, or null when a new one is needed.
    virtual Block* FindBlock(int n);

    // n bytes (n >= 0) that live until the cluster is reset or destroyed; null for a negative n.
    void* Alloc(int n);
    // Appends an empty block of the block size and makes it the last one.
    Block* AddBlock();
    void FreeBlocks();
    // Frees every block and starts again with one empty block.
    virtual void Reset();
    // Bytes handed out over all blocks.
    int UsedBytes() const;

    int BlockSize() const { return blockSize_; }
    Block* FirstBlock() const { return first_; }
    Block* LastBlock() const { return last_; }

protected:
    Block* NewBlock(int size);
    void Append(Block* block);

    Block* first_ = nullptr;
    Block* last_ = nullptr;
    int blockSize_;
};

class HStringMemory : public BMemoryCluster {
public:
    HStringMemory(int blockSize, int prefixBytes) : BMemoryCluster(blockSize), prefix_(prefixBytes) {}

    // Copies the text (null as "") with its terminator after `prefix` free bytes; returns the copy.
    wchar_t* AddString(const wchar_t* text);
    int PrefixBytes() const { return prefix_; }

private:
    int prefix_;
};

class FixsizeMemoryCluster : public BMemoryCluster {
public:
    FixsizeMemoryCluster(int itemSize, int itemsPerBlock);

    // Only the last block: items never go back into an earlier one, so item i is found by arithmetic.
    Block* FindBlock(int n) override;
    void Reset() override;

    // A new item of the item size; the count grows only once the memory is there.
    void* AddItem();
    // Item i, or null when i is not below the item count.
    void* ItemAt(int i) const;
    int ItemCount() const { return count_; }

private:
    int itemSize_;
    int perBlock_;
    int count_ = 0;
};

template <class T>
class TMemoryCluster : public FixsizeMemoryCluster {
public:
    explicit TMemoryCluster(int itemsPerBlock) : FixsizeMemoryCluster(sizeof(T), itemsPerBlock) {}
    T* Add() { return static_cast<T*>(AddItem()); }
    T* At(int i) const { return static_cast<T*>(ItemAt(i)); }
};
