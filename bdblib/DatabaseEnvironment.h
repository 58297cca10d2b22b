#pragma once
// A Berkeley DB environment (concurrent data store) shared by several processes, and a
// database file in it.

#include <memory>
#include <set>
#include <string>

struct __db_env;
class File;

namespace BDBLib {

class BaseTable;

class DatabaseEnvironment {
public:
    // With useLockFile, the file "env_lock" in home decides which process recreates the
    // environment: the first that can take its exclusive lock removes any old environment
    // and makes a fresh one; every process then holds a shared lock on it for as long as
    // this object lives. cacheSize: bytes of cache, 0 for the library's default.
    DatabaseEnvironment(const std::string &home, const std::string &dataDir, bool useLockFile,
                        unsigned int cacheSize);
    // Closes what close() did not; a failure then is traced, not thrown.
    ~DatabaseEnvironment() noexcept;
    DatabaseEnvironment(const DatabaseEnvironment &) = delete;
    DatabaseEnvironment &operator=(const DatabaseEnvironment &) = delete;

    // Closes the tables still open in it (Berkeley DB would leave their handles unusable),
    // then the environment, and releases the lock file; failures raise.
    void close();

    // name made absolute against the home folder ("." when empty), and against the data
    // folder first when inDataDir is set.
    [[nodiscard]] std::string expandFilename(const std::string &name, bool inDataDir = false) const;

    [[nodiscard]] bool wasRecreated() const { return m_recreated; }
    [[nodiscard]] const std::string &home() const { return m_home; }
    [[nodiscard]] const std::string &dataDir() const { return m_dataDir; }
    [[nodiscard]] __db_env *handle() const { return m_env; }

private:
    __db_env *openHandle(unsigned int cacheSize);
    void recreate(unsigned int cacheSize);
    void releaseLockFile();

    friend class BaseTable;

    std::string m_home;
    std::string m_dataDir;
    std::unique_ptr<File> m_lockFile;
    bool m_locked = false;
    __db_env *m_env = nullptr;
    bool m_recreated = false;
    std::set<BaseTable *> m_tables; // open tables of this environment
};

// One database file of an environment; its tables open (and create) it with mode.
class Database {
public:
    Database(DatabaseEnvironment &environment, const std::string &fileName, int mode)
        : m_environment(environment), m_fileName(fileName), m_mode(mode) {}

    [[nodiscard]] DatabaseEnvironment &environment() const { return m_environment; }
    // Relative to the environment.
    [[nodiscard]] const std::string &fileName() const { return m_fileName; }
    [[nodiscard]] int mode() const { return m_mode; }

private:
    DatabaseEnvironment &m_environment;
    std::string m_fileName;
    int m_mode;
};

} // namespace BDBLib
