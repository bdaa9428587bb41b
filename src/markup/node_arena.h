#pragma once
// Bump allocator for the nodes of one page and their child and attribute lists. A page of tag soup makes a node
// for nearly every tag and every run of text, so nodes are carved out of large blocks and all released at once
// when the parser is reset; nothing is freed node by node and no walk over the tree is needed to free it.
#include <cstddef>
#include <memory>
#include <vector>

// Under AddressSanitizer, memory of the blocks that is not handed out is poisoned, so a node used after the reset
// that released it is reported even though its memory stays with the parser.
#if defined(__SANITIZE_ADDRESS__)
#define DEALSCOPE_ARENA_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define DEALSCOPE_ARENA_ASAN 1
#endif
#endif
#ifdef DEALSCOPE_ARENA_ASAN
#include <sanitizer/asan_interface.h>
#define DEALSCOPE_ARENA_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define DEALSCOPE_ARENA_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#else
#define DEALSCOPE_ARENA_POISON(p, n) ((void)(p), (void)(n))
#define DEALSCOPE_ARENA_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

namespace NKXML {

class CNodeArena {
public:
    CNodeArena() = default;
    ~CNodeArena();
    CNodeArena(const CNodeArena &) = delete;
    CNodeArena &operator=(const CNodeArena &) = delete;

    // Uninitialised memory aligned for pointers; throws std::bad_alloc when memory runs out.
    void *Allocate(size_t bytes) {
        bytes = (bytes + ALIGN - 1) & ~(ALIGN - 1);
        if (size_t(m_pEnd - m_pNext) < bytes)
            return AllocateSlow(bytes);
        void *result = m_pNext;
        m_pNext += bytes;
        DEALSCOPE_ARENA_UNPOISON(result, bytes);
        return result;
    }

    // Gives back everything allocated. The blocks the last page used, and others up to RETAINED_BYTES, are kept
    // for the next page.
    void Release();

private:
    static constexpr size_t ALIGN = alignof(void *);
    static constexpr size_t FIRST_BLOCK = 64 * 1024;
    static constexpr size_t LARGEST_BLOCK = 4 * 1024 * 1024;
    static constexpr size_t RETAINED_BYTES = 32 * 1024 * 1024;

    struct FreeBlock {
        void operator()(std::byte *p) const;
    };
    struct Block {
        std::unique_ptr<std::byte[], FreeBlock> m_data;
        size_t m_size;
    };
    static Block NewBlock(size_t size);

    void *AllocateSlow(size_t bytes);
    void Enter(size_t index);

    std::vector<Block> m_blocks;
    size_t m_current = 0; // index of the block m_pNext points into (meaningless while m_blocks is empty)
    std::byte *m_pNext = nullptr;
    std::byte *m_pEnd = nullptr;
};

} // namespace NKXML
