#pragma once

// main() for QtTest suites that use the real browser engine: the engine must
// be prepared before the application object exists.
#include <QApplication>
#include <QTest>

#include "WebEngineSetup.h"

#define QUORVEL_WEB_TEST_MAIN(TestClass)              \
    int main(int argc, char* argv[]) {                \
        quorvel::PrepareWebEngine();                  \
        QApplication app(argc, argv);                 \
        TestClass test;                               \
        return QTest::qExec(&test, argc, argv);       \
    }
