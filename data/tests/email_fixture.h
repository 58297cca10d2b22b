#pragma once
// Messages for the mail record tests: the fixture files and loading bytes as fetched.

#include "data_email.h"

#include "testsupport/TempDir.h"

#include <QByteArray>

#include <string>

namespace vltest {

// The bytes of a message file in the test data's "email" folder.
inline std::string emailFixture(const std::string &name) {
    return readFile(std::string(VL_TEST_DATA_DIR) + "/email/" + name);
}

// A message record filled by loadEmail from the bytes, as the fetchers hand them over.
inline DataEmailMessage loadMessage(const std::string &bytes) {
    DataEmailMessage m;
    m.loadEmail(SODataArray(QByteArray(bytes.data(), qsizetype(bytes.size()))));
    return m;
}

} // namespace vltest
