// vlbayes: trains and scores message files through the Bayes library's exported functions
// only, the way the application uses it; the library's speed and quality are measured
// from outside with it.
//
//   vlbayes train-spam|train-good DATAFILE FILE...
//   vlbayes score DATAFILE FILE...
//
// Training starts from DATAFILE when it exists (fresh training data otherwise) and saves it
// back. Scoring prints one line per file: the probability, a space, the file name.

#include "bayes/BayesLibrary.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>

namespace {

int usage() {
    std::fprintf(stderr, "usage: vlbayes train-spam|train-good DATAFILE FILE...\n"
                         "       vlbayes score DATAFILE FILE...\n");
    return 2;
}

bool readFile(const char *path, std::string &text) {
    std::FILE *file = std::fopen(path, "rb");
    if (file == nullptr) {
        return false;
    }
    text.clear();
    char block[65536];
    std::size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) {
        text.append(block, got);
    }
    const bool ok = std::ferror(file) == 0;
    std::fclose(file);
    return ok;
}

bool exists(const char *path) {
    struct stat info {};
    return ::stat(path, &info) == 0;
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 4) {
        return usage();
    }
    const std::string command = argv[1];
    const bool scoring = command == "score";
    if (!scoring && command != "train-spam" && command != "train-good") {
        return usage();
    }
    const char *dataFile = argv[2];

    ExportedData *data = nullptr;
    createTrainingData(&data);
    if (data == nullptr) {
        std::fprintf(stderr, "vlbayes: cannot create training data\n");
        return 1;
    }
    if (scoring || exists(dataFile)) {
        if (const char *error = loadTrainedData(dataFile, data, nullptr, nullptr)) {
            std::fprintf(stderr, "vlbayes: %s\n", error);
            destroyTrainingData(data);
            return 1;
        }
    }

    int status = 0;
    std::string text;
    for (int i = 3; i < argc; ++i) {
        if (!readFile(argv[i], text)) {
            std::fprintf(stderr, "vlbayes: cannot read %s: %s\n", argv[i], std::strerror(errno));
            status = 1;
            continue;
        }
        if (scoring) {
            std::printf("%.6f %s\n", evaluate(data, text.c_str()), argv[i]);
        } else {
            train(data, command == "train-spam", false, text.c_str());
        }
    }
    if (!scoring) {
        if (const char *error = saveTrainedData(dataFile, data, nullptr, 0)) {
            std::fprintf(stderr, "vlbayes: %s\n", error);
            status = 1;
        }
    }
    destroyTrainingData(data);
    return status;
}
