// The failing VFS: a shim over the previous default VFS whose files count their reads, writes, syncs,
// locks, size queries and truncations and fail the armed one.
#include "tests/support/FailingVfs.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

FailingVfs* g_owner = nullptr;
sqlite3_vfs* g_base = nullptr;
sqlite3_vfs g_shim;

// The shim's file, followed in the same block by the file of the VFS underneath.
struct ShimFile
{
    sqlite3_file base;
    sqlite3_io_methods methods;
    sqlite3_file* real;
};
const int kShimBytes = (static_cast<int>(sizeof(ShimFile)) + 7) & ~7;

sqlite3_file* Real(sqlite3_file* file)
{
    return reinterpret_cast<ShimFile*>(file)->real;
}

bool Fails(VfsCall call, int* error)
{
    return g_owner && g_owner->FailsNow(call, error);
}

int Close(sqlite3_file* file)
{
    sqlite3_file* real = Real(file);
    return real->pMethods->xClose(real);
}

int Read(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset)
{
    int error;
    if (Fails(VfsCall::Read, &error))
        return error;
    sqlite3_file* real = Real(file);
    return real->pMethods->xRead(real, buffer, amount, offset);
}

int Write(sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset)
{
    int error;
    if (Fails(VfsCall::Write, &error))
        return error;
    sqlite3_file* real = Real(file);
    return real->pMethods->xWrite(real, buffer, amount, offset);
}

int Truncate(sqlite3_file* file, sqlite3_int64 size)
{
    int error;
    if (Fails(VfsCall::Truncate, &error))
        return error;
    sqlite3_file* real = Real(file);
    return real->pMethods->xTruncate(real, size);
}

int Sync(sqlite3_file* file, int flags)
{
    int error;
    if (Fails(VfsCall::Sync, &error))
        return error;
    sqlite3_file* real = Real(file);
    return real->pMethods->xSync(real, flags);
}

int FileSize(sqlite3_file* file, sqlite3_int64* size)
{
    int error;
    if (Fails(VfsCall::FileSize, &error))
        return error;
    sqlite3_file* real = Real(file);
    return real->pMethods->xFileSize(real, size);
}

int Lock(sqlite3_file* file, int level)
{
    int error;
    if (Fails(VfsCall::Lock, &error))
        return error;
    sqlite3_file* real = Real(file);
    return real->pMethods->xLock(real, level);
}

int Unlock(sqlite3_file* file, int level)
{
    sqlite3_file* real = Real(file);
    return real->pMethods->xUnlock(real, level);
}

int CheckReservedLock(sqlite3_file* file, int* reserved)
{
    sqlite3_file* real = Real(file);
    return real->pMethods->xCheckReservedLock(real, reserved);
}

int FileControl(sqlite3_file* file, int op, void* argument)
{
    sqlite3_file* real = Real(file);
    return real->pMethods->xFileControl(real, op, argument);
}

int SectorSize(sqlite3_file* file)
{
    sqlite3_file* real = Real(file);
    return real->pMethods->xSectorSize(real);
}

int DeviceCharacteristics(sqlite3_file* file)
{
    sqlite3_file* real = Real(file);
    return real->pMethods->xDeviceCharacteristics(real);
}

int ShmMap(sqlite3_file* file, int region, int size, int extend, void volatile** memory)
{
    sqlite3_file* real = Real(file);
    return real->pMethods->xShmMap(real, region, size, extend, memory);
}

int ShmLock(sqlite3_file* file, int offset, int n, int flags)
{
    sqlite3_file* real = Real(file);
    return real->pMethods->xShmLock(real, offset, n, flags);
}

void ShmBarrier(sqlite3_file* file)
{
    sqlite3_file* real = Real(file);
    real->pMethods->xShmBarrier(real);
}

int ShmUnmap(sqlite3_file* file, int deleteFlag)
{
    sqlite3_file* real = Real(file);
    return real->pMethods->xShmUnmap(real, deleteFlag);
}

int Fetch(sqlite3_file* file, sqlite3_int64 offset, int amount, void** page)
{
    sqlite3_file* real = Real(file);
    return real->pMethods->xFetch(real, offset, amount, page);
}

int Unfetch(sqlite3_file* file, sqlite3_int64 offset, void* page)
{
    sqlite3_file* real = Real(file);
    return real->pMethods->xUnfetch(real, offset, page);
}

const sqlite3_io_methods kShimMethods = {3,        Close,      Read,    Write,      Truncate,          Sync,
                                         FileSize, Lock,       Unlock,  CheckReservedLock, FileControl,
                                         SectorSize, DeviceCharacteristics, ShmMap, ShmLock, ShmBarrier,
                                         ShmUnmap, Fetch,      Unfetch};

int Open(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags)
{
    ShimFile* shim = reinterpret_cast<ShimFile*>(file);
    shim->real = reinterpret_cast<sqlite3_file*>(reinterpret_cast<char*>(file) + kShimBytes);
    std::memset(shim->real, 0, static_cast<size_t>(g_base->szOsFile));
    const int rc = g_base->xOpen(g_base, name, shim->real, flags, outFlags);
    // SQLite closes a file whose methods are set, also after a failed open.
    if (shim->real->pMethods)
    {
        shim->methods = kShimMethods;
        shim->methods.iVersion = std::min(kShimMethods.iVersion, shim->real->pMethods->iVersion);
        file->pMethods = &shim->methods;
    }
    else
        file->pMethods = nullptr;
    return rc;
}

int Delete(sqlite3_vfs*, const char* name, int syncDir)
{
    return g_base->xDelete(g_base, name, syncDir);
}

int Access(sqlite3_vfs*, const char* name, int flags, int* result)
{
    return g_base->xAccess(g_base, name, flags, result);
}

int FullPathname(sqlite3_vfs*, const char* name, int size, char* out)
{
    return g_base->xFullPathname(g_base, name, size, out);
}

void* DlOpen(sqlite3_vfs*, const char* name)
{
    return g_base->xDlOpen(g_base, name);
}

void DlError(sqlite3_vfs*, int size, char* message)
{
    g_base->xDlError(g_base, size, message);
}

void (*DlSym(sqlite3_vfs*, void* library, const char* symbol))(void)
{
    return g_base->xDlSym(g_base, library, symbol);
}

void DlClose(sqlite3_vfs*, void* library)
{
    g_base->xDlClose(g_base, library);
}

int Randomness(sqlite3_vfs*, int size, char* out)
{
    return g_base->xRandomness(g_base, size, out);
}

int Sleep(sqlite3_vfs*, int microseconds)
{
    return g_base->xSleep(g_base, microseconds);
}

int CurrentTime(sqlite3_vfs*, double* now)
{
    return g_base->xCurrentTime(g_base, now);
}

int GetLastError(sqlite3_vfs*, int size, char* out)
{
    return g_base->xGetLastError ? g_base->xGetLastError(g_base, size, out) : 0;
}

int CurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* now)
{
    return g_base->xCurrentTimeInt64(g_base, now);
}

} // namespace

const char* VfsCallName(VfsCall call)
{
    static const char* const names[kVfsCallKinds] = {"read", "write", "sync", "lock", "file size", "truncate"};
    return names[static_cast<int>(call)];
}

FailingVfs::FailingVfs()
{
    sqlite3_initialize();
    g_base = sqlite3_vfs_find(nullptr);
    g_owner = this;
    std::memset(&g_shim, 0, sizeof g_shim);
    g_shim.iVersion = 2;
    g_shim.szOsFile = kShimBytes + g_base->szOsFile;
    g_shim.mxPathname = g_base->mxPathname;
    g_shim.zName = "failing-test-vfs";
    g_shim.xOpen = Open;
    g_shim.xDelete = Delete;
    g_shim.xAccess = Access;
    g_shim.xFullPathname = FullPathname;
    g_shim.xDlOpen = DlOpen;
    g_shim.xDlError = DlError;
    g_shim.xDlSym = DlSym;
    g_shim.xDlClose = DlClose;
    g_shim.xRandomness = Randomness;
    g_shim.xSleep = Sleep;
    g_shim.xCurrentTime = CurrentTime;
    g_shim.xGetLastError = GetLastError;
    g_shim.xCurrentTimeInt64 = CurrentTimeInt64;
    sqlite3_vfs_register(&g_shim, 1);
}

FailingVfs::~FailingVfs()
{
    sqlite3_vfs_unregister(&g_shim);
    sqlite3_vfs_register(g_base, 1);
    g_owner = nullptr;
}

void FailingVfs::Arm(VfsCall call, long nth, int error, bool persistent)
{
    std::fill(std::begin(m_counts), std::end(m_counts), 0);
    m_armed = true;
    m_call = call;
    m_nth = nth;
    m_error = error;
    m_persistent = persistent;
    m_fired = false;
}

void FailingVfs::Disarm()
{
    m_armed = false;
}

bool FailingVfs::FailsNow(VfsCall call, int* error)
{
    const long count = ++m_counts[static_cast<int>(call)];
    if (!m_armed || call != m_call || !(count == m_nth || (m_persistent && count > m_nth)))
        return false;
    m_fired = true;
    *error = m_error;
    return true;
}
