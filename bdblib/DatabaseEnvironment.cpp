#include "DatabaseEnvironment.h"

#include "CloseAll_p.h"
#include "DatabaseException.h"
#include "Tables.h"
#include "cpp/Files.h"

#include <cerrno>
#include <cstdio>
#include <db.h>
#include <exception>

namespace BDBLib {

namespace {

constexpr u_int32_t OPEN_FLAGS = DB_CREATE | DB_THREAD | DB_INIT_CDB | DB_INIT_MPOOL;

// Berkeley DB's own explanations of its failures, as trace lines.
void traceLibraryMessage(const DB_ENV *, const char *, const char *message) {
    std::fprintf(stderr, "DatabaseEnvironment::traceLibraryMessage: %s\n", message);
}

const char *homeOrNull(const std::string &home) {
    return home.empty() ? nullptr : home.c_str();
}

} // namespace

DatabaseEnvironment::DatabaseEnvironment(const std::string &home, const std::string &dataDir,
                                         bool useLockFile, unsigned int cacheSize)
    : m_home(home), m_dataDir(dataDir) {
    if (useLockFile) {
        m_lockFile = std::make_unique<File>(File::expandFilename(home.empty() ? "." : home, "env_lock"), true,
                                            true, true);
        // Locks owned by this open file, not by the process: a second environment object
        // in this process neither passes the exclusive test nor releases our shared lock.
        m_lockFile->setLockMode(File::LockMode::OpenFileDescription);
        if (m_lockFile->tryWriteLock()) {
            recreate(cacheSize);
            m_recreated = true;
        }
        // Taking the shared lock while holding the exclusive one turns it into a shared
        // one in a single step, so no other process can slip in between.
        m_lockFile->readLock();
        m_locked = true;
    }
    m_env = openHandle(cacheSize);
    m_env->app_private = this;
}

DatabaseEnvironment::~DatabaseEnvironment() noexcept {
    try {
        close();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "DatabaseEnvironment::~DatabaseEnvironment: %s\n", e.what());
    }
}

void DatabaseEnvironment::close() {
    // The lock is released even when closing fails.
    struct Release {
        DatabaseEnvironment *self;
        ~Release() { self->releaseLockFile(); }
    } release{this};
    const std::exception_ptr failure = closeAll(m_tables);
    DB_ENV *env = m_env;
    m_env = nullptr;
    const int result = env != nullptr ? env->close(env, 0) : 0;
    if (failure) {
        std::rethrow_exception(failure);
    }
    DatabaseException::checkResult(result, "env->close");
}

void DatabaseEnvironment::releaseLockFile() {
    if (!m_lockFile) {
        return;
    }
    try {
        if (m_locked) {
            m_locked = false;
            m_lockFile->unlock();
        }
        m_lockFile->close();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "DatabaseEnvironment::releaseLockFile: %s\n", e.what());
    }
    m_lockFile.reset();
}

DB_ENV *DatabaseEnvironment::openHandle(unsigned int cacheSize) {
    DB_ENV *env = nullptr;
    DatabaseException::checkResult(db_env_create(&env, 0), "db_env_create");
    env->set_errcall(env, traceLibraryMessage);
    try {
        if (cacheSize > 0) {
            DatabaseException::checkResult(env->set_cachesize(env, 0, cacheSize, 1), "env->set_cachesize");
        }
        if (!m_dataDir.empty()) {
            DatabaseException::checkResult(env->set_data_dir(env, m_dataDir.c_str()), "env->set_data_dir");
        }
        DatabaseException::checkResult(env->open(env, homeOrNull(m_home), OPEN_FLAGS, 0), "env->open");
    } catch (...) {
        env->close(env, 0);
        throw;
    }
    return env;
}

void DatabaseEnvironment::recreate(unsigned int cacheSize) {
    DB_ENV *old = nullptr;
    DatabaseException::checkResult(db_env_create(&old, 0), "db_env_create");
    // remove() frees the handle whatever it returns; no environment there is no failure.
    const int removed = old->remove(old, homeOrNull(m_home), DB_FORCE);
    if (removed != ENOENT) {
        DatabaseException::checkResult(removed, "env->remove");
    }
    DB_ENV *fresh = openHandle(cacheSize);
    DatabaseException::checkResult(fresh->close(fresh, 0), "env->close");
}

std::string DatabaseEnvironment::expandFilename(const std::string &name, bool inDataDir) const {
    std::string path = name;
    if (inDataDir && !m_dataDir.empty()) {
        path = File::expandFilename(m_dataDir, path);
    }
    return File::expandFilename(m_home.empty() ? "." : m_home, path);
}

} // namespace BDBLib
