#include "BayesLibrary.h"

#include "ExportedData_p.h"
#include "bdblib/BinaryFileStreams.h"
#include "cpp/Files.h"
#include "mailanalysis/AnalysisAlgorithm.h"
#include "mailanalysis/TraitIDs.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <memory>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// "bcsb" from the high byte down.
constexpr unsigned int HEADER_WORD = 0x62637362;
constexpr unsigned int FORMAT_VERSION = 1;

const char *const NO_DATA = "no training data given";

void clearError(ExportedData &data) {
    std::free(data.error);
    data.error = nullptr;
}

// Stores the text as the object's error text and returns it; a text that cannot be copied
// is returned as a static text instead.
const char *setError(ExportedData &data, const char *text) {
    clearError(data);
    data.error = strdup(text);
    return data.error != nullptr ? data.error : "out of memory";
}

// Creates the file empty and readable by its owner only: training data holds the words of
// the user's mail. An existing file keeps its mode.
void createPrivate(const std::string &path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        throw FileException(path, "unable to open file '" + path + "': " + std::strerror(errno));
    }
    ::close(fd);
}

// Forces the file's data to the disk before it replaces the previous one.
void syncFile(const std::string &path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) {
        const int error = errno;
        if (fd >= 0) {
            ::close(fd);
        }
        throw FileException(path, "error syncing file '" + path + "': " + std::strerror(error));
    }
    ::close(fd);
}

void writeTrainingFile(const std::string &path, const OccuranceData &data, const void *aux,
                       unsigned int auxLen) {
    BDBLib::BinaryFileOutputStream out(path, HEADER_WORD);
    out << FORMAT_VERSION;
    data.write(out);
    const unsigned int length = aux != nullptr ? auxLen : 0;
    out << length;
    if (length != 0) {
        out.write_bytes(aux, length);
    }
    // The last buffered block reaches the file only here: its failure is the save's.
    out.close();
}

} // namespace

extern "C" {

void createTrainingData(ExportedData **out) {
    if (out == nullptr) {
        std::fprintf(stderr, "createTrainingData: no place for the result given\n");
        return;
    }
    *out = nullptr;
    try {
        auto data = std::make_unique<ExportedData>();
        AnalysisAlgorithm seed;
        for (unsigned int trait : TraitIDs::getSafeTraits()) {
            seed.handleTrait(trait);
        }
        seed.train(data->data, true, 1);
        *out = data.release();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "createTrainingData: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "createTrainingData: unknown error\n");
    }
}

void destroyTrainingData(ExportedData *data) {
    if (data == nullptr) {
        return;
    }
    std::free(data->error);
    std::free(data->reserved);
    delete data;
}

const char *loadTrainedData(const char *path, ExportedData *data, void *aux, unsigned int *auxLen) {
    if (data == nullptr) {
        return NO_DATA;
    }
    clearError(*data);
    if (path == nullptr) {
        return setError(*data, "no file name given");
    }
    const unsigned int bufferSize = (aux != nullptr && auxLen != nullptr) ? *auxLen : 0;
    try {
        BDBLib::BinaryFileInputStream in(path, HEADER_WORD);
        unsigned int version = 0;
        in >> version;
        if (version != FORMAT_VERSION) {
            throw std::invalid_argument("invalid training data file serialization version");
        }
        // Into a temporary: a file that ends early or is damaged leaves the data untouched.
        OccuranceData loaded;
        loaded.read(in);
        unsigned int length = 0;
        in >> length;
        if (auxLen != nullptr) {
            *auxLen = length;
        }
        if (length > bufferSize) {
            return setError(*data,
                            "The given buffer is not big enough to store all the file's auxiliary data");
        }
        // Through a temporary: a file that ends inside the data leaves the buffer as it was.
        std::vector<char> auxData(length);
        if (length != 0) {
            in.read_bytes(auxData.data(), length);
            std::memcpy(aux, auxData.data(), length);
        }
        data->data = std::move(loaded);
        return nullptr;
    } catch (const std::exception &e) {
        return setError(*data, e.what());
    } catch (...) {
        return setError(*data, "unknown error");
    }
}

const char *saveTrainedData(const char *path, ExportedData *data, const void *aux, unsigned int auxLen) {
    if (data == nullptr) {
        return NO_DATA;
    }
    clearError(*data);
    if (path == nullptr) {
        return setError(*data, "no file name given");
    }
    const std::string target(path);
    const std::string temporary = target + ".new";
    try {
        createPrivate(temporary);
        try {
            writeTrainingFile(temporary, data->data, aux, auxLen);
            syncFile(temporary);
            File::rename(temporary, target);
        } catch (...) {
            ::unlink(temporary.c_str());
            throw;
        }
        return nullptr;
    } catch (const std::exception &e) {
        return setError(*data, e.what());
    } catch (...) {
        return setError(*data, "unknown error");
    }
}

} // extern "C"
