// The block pool: size classes of 8 bytes up to 96, each with a free list, carved from 256 KB
// chunks that stay for the life of the process; one short spin lock for all threads (held for a
// few instructions only, so a waiter yields its time slice rather than blocking).
#include "xml/NodePool.h"
#include <windows.h>

namespace {

const size_t kGranule = 8;
const size_t kLargest = 96;
const size_t kClasses = kLargest / kGranule;
const size_t kChunk = 256 * 1024;

class Pool
{
public:
    Pool() {}
    Pool(const Pool&) = delete;
    Pool& operator=(const Pool&) = delete;

    void* alloc(size_t size)
    {
        size_t cls = (size + kGranule - 1) / kGranule - 1;
        lock();
        void* block = m_free[cls];
        if (block) {
            m_free[cls] = *static_cast<void**>(block);
        } else {
            size_t rounded = (cls + 1) * kGranule;
            if (m_left < rounded && !newChunk()) {
                unlock();
                return nullptr;
            }
            block = m_next;
            m_next += rounded;
            m_left -= rounded;
        }
        unlock();
        return block;
    }

    void free(void* block, size_t size)
    {
        size_t cls = (size + kGranule - 1) / kGranule - 1;
        lock();
        *static_cast<void**>(block) = m_free[cls];
        m_free[cls] = block;
        unlock();
    }

private:
    void lock()
    {
        while (InterlockedExchange(&m_busy, 1) != 0)
            Sleep(0);
    }
    void unlock() { InterlockedExchange(&m_busy, 0); }

    bool newChunk()
    {
        char* chunk = new (std::nothrow) char[kChunk];
        if (!chunk)
            return false;
        m_next = chunk;
        m_left = kChunk;
        return true;
    }

    volatile LONG m_busy = 0;
    void* m_free[kClasses] = {};
    char* m_next = nullptr;
    size_t m_left = 0;
};

Pool& pool()
{
    static Pool instance;
    return instance;
}

} // namespace

void* poolAlloc(size_t size)
{
    if (size == 0 || size > kLargest)
        return ::operator new(size, std::nothrow);
    return pool().alloc(size);
}

void poolFree(void* block, size_t size)
{
    if (!block)
        return;
    if (size == 0 || size > kLargest)
        ::operator delete(block);
    else
        pool().free(block, size);
}
