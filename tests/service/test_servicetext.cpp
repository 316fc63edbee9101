#include "FailOnWarnings.h"
#include "usb/tools/ServiceText.h"

#include <QtTest>

class TestServiceText : public QObject
{
    Q_OBJECT

private slots:
    void init() { failOnUnexpectedWarnings(); }
    void parseHex_data();
    void parseHex();
    void hexEntry_data();
    void hexEntry();
    void binary32_data();
    void binary32();
    void logLines_data();
    void logLines();
};

void TestServiceText::parseHex_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<quint32>("value");

    QTest::newRow("prefixed") << "0x20" << true << 0x20u;
    QTest::newRow("upper-case prefix") << "0X1f" << true << 0x1Fu;
    QTest::newRow("bare digits") << "8000000" << true << 0x8000000u;
    QTest::newRow("mixed case digits") << "0xAbCd" << true << 0xABCDu;
    QTest::newRow("zero") << "0x0" << true << 0u;
    QTest::newRow("largest 32-bit") << "0xffffffff" << true << 0xFFFFFFFFu;
    QTest::newRow("33 bits") << "0x100000000" << false << 0u;
    QTest::newRow("not hex") << "xyz" << false << 0u;
    QTest::newRow("trailing garbage") << "0x12g" << false << 0u;
    QTest::newRow("prefix only") << "0x" << false << 0u;
    QTest::newRow("empty") << "" << false << 0u;
    QTest::newRow("negative") << "-1" << false << 0u;
    QTest::newRow("decimal point") << "1.5" << false << 0u;
}

void TestServiceText::parseHex()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(quint32, value);

    bool converted = !ok;
    QCOMPARE(ServiceText::parseHex(text, &converted), value);
    QCOMPARE(converted, ok);
}

void TestServiceText::hexEntry_data()
{
    QTest::addColumn<quint32>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("memory start") << 0x08000000u << "0x8000000";
    QTest::newRow("zero") << 0u << "0x0";
    QTest::newRow("lower case") << 0xABCDEFu << "0xabcdef";
    QTest::newRow("all bits") << 0xFFFFFFFFu << "0xffffffff";
}

void TestServiceText::hexEntry()
{
    QFETCH(quint32, value);
    QFETCH(QString, text);

    QCOMPARE(ServiceText::hexEntry(value), text);
    // What the dialog offers converts back to the same value.
    bool ok = false;
    QCOMPARE(ServiceText::parseHex(text, &ok), value);
    QVERIFY(ok);
}

void TestServiceText::binary32_data()
{
    QTest::addColumn<quint32>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("five") << 5u << QString(29, QLatin1Char('0')) + "101";
    QTest::newRow("mask 1") << 1u << QString(31, QLatin1Char('0')) + "1";
    QTest::newRow("zero") << 0u << QString(32, QLatin1Char('0'));
    QTest::newRow("top bit") << 0x80000000u << "1" + QString(31, QLatin1Char('0'));
    QTest::newRow("all bits") << 0xFFFFFFFFu << QString(32, QLatin1Char('1'));
}

void TestServiceText::binary32()
{
    QFETCH(quint32, value);
    QFETCH(QString, text);

    QCOMPARE(ServiceText::binary32(value), text);
}

void TestServiceText::logLines_data()
{
    QTest::addColumn<quint32>("value");
    QTest::addColumn<QString>("lengthLine");
    QTest::addColumn<QString>("addressLine");

    QTest::newRow("one") << 1u << "lenght:        1"
                         << "address: 0x       1";
    QTest::newRow("eight digits") << 0x12345678u << "lenght: 305419896"
                                  << "address: 0x12345678";
    QTest::newRow("hex letters") << 0xABCu << "lenght:     2748"
                                 << "address: 0x     abc";
    QTest::newRow("zero") << 0u << "lenght:        0"
                          << "address: 0x       0";
}

void TestServiceText::logLines()
{
    QFETCH(quint32, value);
    QFETCH(QString, lengthLine);
    QFETCH(QString, addressLine);

    QCOMPARE(ServiceText::lengthLine(value), lengthLine);
    QCOMPARE(ServiceText::addressLine(value), addressLine);
}

QTEST_GUILESS_MAIN(TestServiceText)
#include "test_servicetext.moc"
