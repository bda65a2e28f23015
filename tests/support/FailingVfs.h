// A VFS for tests that makes SQLite's file calls fail, as SQLite's own tests do: while an object
// lives it is the default VFS (so every sqlite3_open of the program goes through it), passes each
// call on to the VFS that was the default before, counts the calls of each kind and, when armed,
// answers the n-th call of one kind (and, when persistent, every later one) with an error code.
//
// Use:
//     FailingVfs vfs;
//     vfs.Arm(VfsCall::Write, 3, SQLITE_FULL);   // the third write reports a full disk
//     RunOperation();
//     vfs.Disarm();
//     if (vfs.Fired()) ...                       // the operation met the fault
#pragma once

enum class VfsCall { Read, Write, Sync, Lock, FileSize, Truncate };
const int kVfsCallKinds = 6;

const char* VfsCallName(VfsCall call);

class FailingVfs
{
public:
    // Registers the shim as the default VFS over the current default.
    FailingVfs();
    // Puts the previous default back.
    ~FailingVfs();
    FailingVfs(const FailingVfs&) = delete;
    FailingVfs& operator=(const FailingVfs&) = delete;

    // Starts counting from zero; the nth call (from 1) of that kind answers error instead of being
    // made, and with persistent so does every later call of that kind until Disarm. A lock call
    // fails only when it asks for a stronger lock; unlocking always goes through.
    void Arm(VfsCall call, long nth, int error, bool persistent = false);
    // Every call goes through again; the counts and Fired() stay as they were.
    void Disarm();

    bool Fired() const { return m_fired; }
    long Count(VfsCall call) const { return m_counts[static_cast<int>(call)]; }

    // Whether a call of that kind fails now; counts the call. Used by the shim's file methods.
    bool FailsNow(VfsCall call, int* error);

private:
    bool m_armed = false;
    VfsCall m_call = VfsCall::Read;
    long m_nth = 0;
    int m_error = 0;
    bool m_persistent = false;
    bool m_fired = false;
    long m_counts[kVfsCallKinds] = {};
};
