// What the test sources read besides their subject: GoogleTest, and Qt's where the test links
// Qt (see qt.h), precompiled once per group of tests.
#pragma once
#include "qt.h"
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>
#ifdef QT_TESTLIB_LIB
#include <QtTest/QSignalSpy>
#include <QtTest/QTest>
#endif
