#pragma once

#include <QRegularExpression>
#include <QtTest>

// Makes every warning that the current test function (or data row) does not
// expect fail it; a warning a test expects is announced with
// QTest::ignoreMessage, which wins. QTest forgets the patterns after each
// function and row, so every test calls this from its init(). The one
// exception is the offscreen platform's note that it ignores size hints,
// which says nothing about the code under test.
inline void failOnUnexpectedWarnings()
{
    QTest::failOnWarning(
        QRegularExpression(QStringLiteral("^(?!This plugin does not support propagateSizeHints\\(\\)$)")));
}
