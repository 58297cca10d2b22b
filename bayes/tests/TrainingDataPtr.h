#pragma once
// Training data owned for the length of a test: destroyed through the exported function.

#include "BayesLibrary.h"

#include <gtest/gtest.h>

#include <memory>

namespace vltest {

struct TrainingDataDeleter {
    void operator()(ExportedData *data) const { destroyTrainingData(data); }
};
using TrainingDataPtr = std::unique_ptr<ExportedData, TrainingDataDeleter>;

inline TrainingDataPtr freshTrainingData() {
    ExportedData *data = nullptr;
    createTrainingData(&data);
    EXPECT_NE(data, nullptr);
    return TrainingDataPtr(data);
}

} // namespace vltest
