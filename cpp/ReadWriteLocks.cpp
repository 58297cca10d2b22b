#include "ReadWriteLocks.h"

#include "Errors.h"

#include <cerrno>
#include <cstdio>
#include <exception>

namespace {

// The result of a pthread try-lock call: false when another holder has the lock, true when
// taken; any other failure raises.
bool tryLockResult(int result, const char *call) {
    if (result == EBUSY)
        return false;
    return Errors::checkResult(result, call, 0);
}

} // namespace

ReadWriteLock::ReadWriteLock() : m_uncaught(std::uncaught_exceptions()) {
    Errors::checkResult(pthread_rwlock_init(&m_lock, nullptr), "pthread_rwlock_init", 0);
}

ReadWriteLock::~ReadWriteLock() noexcept(false) {
    const int result = pthread_rwlock_destroy(&m_lock);
    if (result != 0 && std::uncaught_exceptions() > m_uncaught) {
        std::fprintf(stderr, "ReadWriteLock::~ReadWriteLock: pthread_rwlock_destroy returned %d\n", result);
        return;
    }
    Errors::checkResult(result, "pthread_rwlock_destroy", 0);
}

void ReadWriteLock::readLock() {
    Errors::checkResult(pthread_rwlock_rdlock(&m_lock), "pthread_rwlock_rdlock", 0);
}

bool ReadWriteLock::tryReadLock() {
    return tryLockResult(pthread_rwlock_tryrdlock(&m_lock), "pthread_rwlock_tryrdlock");
}

void ReadWriteLock::writeLock() {
    Errors::checkResult(pthread_rwlock_wrlock(&m_lock), "pthread_rwlock_wrlock", 0);
}

bool ReadWriteLock::tryWriteLock() {
    return tryLockResult(pthread_rwlock_trywrlock(&m_lock), "pthread_rwlock_trywrlock");
}

void ReadWriteLock::unlock() {
    Errors::checkResult(pthread_rwlock_unlock(&m_lock), "pthread_rwlock_unlock", 0);
}
