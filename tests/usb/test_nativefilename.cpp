#include "FailOnWarnings.h"
#include "usb/NativeFileName.h"

#include <QtTest>

// File names of bytes that are not UTF-8: kept whole from the command line
// to the file system, shown with the odd bytes escaped, and any UTF-8 name
// decoded exactly as Qt decodes it.
class TestNativeFileName : public QObject
{
    Q_OBJECT

private slots:
    void init() { failOnUnexpectedWarnings(); }

    void bytesKept_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("keepsBytes");

        QTest::newRow("ASCII") << QByteArray("fw/new.upg") << "fw/new.upg" << false;
        QTest::newRow("UTF-8") << QByteArray("caf\xC3\xA9.upg") << QString::fromUtf8("caf\xC3\xA9.upg") << false;
        QTest::newRow("Latin-1") << QByteArray("caf\xE9.upg") << "caf\\xE9.upg" << true;
        QTest::newRow("Latin-1 folder and name") << QByteArray("d\xE9/\xFF") << "d\\xE9/\\xFF" << true;
        // U+10080: its second half is a low surrogate in the range that
        // stands for a kept byte.
        QTest::newRow("beyond the BMP")
            << QByteArray("\xF0\x90\x82\x80") << QString::fromUtf8("\xF0\x90\x82\x80") << false;
        QTest::newRow("beyond the BMP, then a byte")
            << QByteArray("\xF0\x90\x82\x80\x80") << QString::fromUtf8("\xF0\x90\x82\x80") + "\\x80" << true;
        QTest::newRow("overlong slash") << QByteArray("\xC0\xAF") << "\\xC0\\xAF" << true;
        QTest::newRow("surrogate in UTF-8") << QByteArray("\xED\xA0\x80") << "\\xED\\xA0\\x80" << true;
        QTest::newRow("past U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << "\\xF4\\x90\\x80\\x80" << true;
        QTest::newRow("cut short at the end") << QByteArray("ab\xE2\x82") << "ab\\xE2\\x82" << true;
        QTest::newRow("lead byte before ASCII") << QByteArray("\xC3x") << "\\xC3x" << true;
    }

    void bytesKept()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        QFETCH(bool, keepsBytes);
        const QString name = NativeFileName::fromBytes(bytes);
        QCOMPARE(NativeFileName::toBytes(name), bytes);
        QCOMPARE(NativeFileName::shown(name), shown);
        QCOMPARE(NativeFileName::keepsBytes(name), keepsBytes);
        // A name Qt can decode is Qt's own, as a file dialog gives it.
        if (!keepsBytes) {
            QCOMPARE(name, QString::fromUtf8(bytes));
            QCOMPARE(NativeFileName::toBytes(name), name.toUtf8());
        }
    }
};

QTEST_GUILESS_MAIN(TestNativeFileName)
#include "test_nativefilename.moc"
