#include "markup/node_arena.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace NKXML {

namespace {

constexpr size_t HUGE_PAGE = 2 * 1024 * 1024;

} // namespace

void CNodeArena::FreeBlock::operator()(std::byte *p) const {
    std::free(p);
}

CNodeArena::Block CNodeArena::NewBlock(size_t size) {
    // Large blocks are aligned to and asked for as huge pages: a big page's tree then costs a few page faults
    // instead of one per 4 KB, which keeps parse time proportional to the page's size.
    const bool huge = size >= HUGE_PAGE;
    if (huge)
        size = (size + HUGE_PAGE - 1) & ~(HUGE_PAGE - 1);
    void *p = std::aligned_alloc(huge ? HUGE_PAGE : 64, (size + 63) & ~size_t(63));
    if (!p)
        throw std::bad_alloc();
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (huge)
        madvise(p, size, MADV_HUGEPAGE); // only advice: without huge pages the block works the same
#endif
    DEALSCOPE_ARENA_POISON(p, size); // handed out piece by piece
    return Block{std::unique_ptr<std::byte[], FreeBlock>(static_cast<std::byte *>(p)), size};
}

CNodeArena::~CNodeArena() {
    for (Block &block : m_blocks)
        DEALSCOPE_ARENA_UNPOISON(block.m_data.get(), block.m_size);
}

void CNodeArena::Enter(size_t index) {
    m_current = index;
    m_pNext = m_blocks[index].m_data.get();
    m_pEnd = m_pNext + m_blocks[index].m_size;
}

void *CNodeArena::AllocateSlow(size_t bytes) {
    // The next kept block when it is big enough, else a new block in its place (the kept ones stay for later).
    size_t next = m_blocks.empty() ? 0 : m_current + 1;
    if (next >= m_blocks.size() || m_blocks[next].m_size < bytes) {
        size_t size = next == 0 ? FIRST_BLOCK : std::min(m_blocks[next - 1].m_size * 2, LARGEST_BLOCK);
        size = std::max(size, bytes);
        m_blocks.insert(m_blocks.begin() + ptrdiff_t(next), NewBlock(size));
    }
    Enter(next);
    void *result = m_pNext;
    m_pNext += bytes;
    DEALSCOPE_ARENA_UNPOISON(result, bytes);
    return result;
}

void CNodeArena::Release() {
    // Keep the blocks this page used, so that the next page of the same kind reuses them without page faults,
    // and unused ones while the total stays small. A big page's blocks go once a smaller page has been read.
    size_t used = m_pNext ? m_current + 1 : 0;
    size_t kept = 0, keptBytes = 0;
    while (kept < m_blocks.size() && (kept < used || keptBytes + m_blocks[kept].m_size <= RETAINED_BYTES))
        keptBytes += m_blocks[kept++].m_size;
    m_blocks.resize(kept);
    for (Block &block : m_blocks)
        DEALSCOPE_ARENA_POISON(block.m_data.get(), block.m_size);
    m_current = 0;
    m_pNext = m_pEnd = nullptr;
    if (!m_blocks.empty()) {
        Enter(0);
    }
}

} // namespace NKXML
