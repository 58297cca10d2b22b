#pragma once
// A lock with shared (read) and exclusive (write) modes, and scope guards holding one.

class IReadWriteLock {
public:
    // Implementations may raise from their destructors (close or destroy failures).
    virtual ~IReadWriteLock() noexcept(false);
    // Return once the shared or exclusive lock is held.
    virtual void readLock() = 0;
    // True when the lock was taken; false at once when another holder prevents it.
    virtual bool tryReadLock() = 0;
    virtual void writeLock() = 0;
    virtual bool tryWriteLock() = 0;
    virtual void unlock() = 0;
};

// Holds a shared lock from construction to destruction. An unlock failure raises from the
// destructor, except while an exception is unwinding (then it is traced to standard error).
class ReadLocker {
public:
    explicit ReadLocker(IReadWriteLock &lock);
    ~ReadLocker() noexcept(false);
    ReadLocker(const ReadLocker &) = delete;
    ReadLocker &operator=(const ReadLocker &) = delete;

private:
    IReadWriteLock &m_lock;
    int m_uncaught; // exceptions in flight at construction (destruction while unwinding)
};

// Holds an exclusive lock from construction to destruction.
class WriteLocker {
public:
    explicit WriteLocker(IReadWriteLock &lock);
    ~WriteLocker() noexcept(false);
    WriteLocker(const WriteLocker &) = delete;
    WriteLocker &operator=(const WriteLocker &) = delete;

private:
    IReadWriteLock &m_lock;
    int m_uncaught; // exceptions in flight at construction (destruction while unwinding)
};
