#include "FailOnWarnings.h"
#include "usb/HexDump.h"

#include <QtTest>

// The text form of bytes in the log pane, checked character by character.
class TestHexDump : public QObject
{
    Q_OBJECT

private:
    static QByteArray header(const void *data)
    {
        return QByteArray("\n src address: 0x")
               + QByteArray::number(qulonglong(reinterpret_cast<quintptr>(data)), 16).rightJustified(8, '0');
    }

private slots:
    void init() { failOnUnexpectedWarnings(); }
    void rows_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("body");

        QTest::newRow("empty") << QByteArray() << QByteArray();

        QTest::newRow("A to T") << QByteArray("ABCDEFGHIJKLMNOPQRST")
                                << QByteArray("\n0x0000: 41 42 43 44 45 46 47 48 49 4a 4b 4c 4d 4e 4f 50"
                                              " < ABCDEFGHIJKLMNOP >"
                                              "\n0x0010: 51 52 53 54")
                                       + QByteArray(12 * 3, ' ') + " < QRST" + QByteArray(12, ' ') + " >";

        QTest::newRow("exactly one row")
            << QByteArray("0123456789abcdef")
            << QByteArray("\n0x0000: 30 31 32 33 34 35 36 37 38 39 61 62 63 64 65 66 < 0123456789abcdef >");

        QTest::newRow("one byte")
            << QByteArray("\x7e", 1)
            << QByteArray("\n0x0000: 7e") + QByteArray(15 * 3, ' ') + " < ~" + QByteArray(15, ' ') + " >";

        // Values below 0x20 and above 0x7F are dots; 0x20..0x7F show as themselves.
        QTest::newRow("printable range") << QByteArray("\x00\x1f\x80\xff\x20\x7e\x7f", 7)
                                         << QByteArray("\n0x0000: 00 1f 80 ff 20 7e 7f") + QByteArray(9 * 3, ' ')
                                                + " < .... ~\x7f" + QByteArray(9, ' ') + " >";
    }

    void rows()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, body);
        const auto *data = reinterpret_cast<const unsigned char *>(bytes.constData());
        QCOMPARE(HexDump(data, int(bytes.size())), header(data) + body);
    }

    void headerOnlyForNoData()
    {
        const unsigned char byte = 0x41;
        QCOMPARE(HexDump(&byte, 0), header(&byte));
        QCOMPARE(HexDump(&byte, -5), header(&byte));
        QCOMPARE(HexDump(nullptr, 16), header(nullptr));
    }

    void offsetsWidenPast0xFFFF()
    {
        QByteArray bytes(0x10000 + 20, 'x');
        const auto *data = reinterpret_cast<const unsigned char *>(bytes.constData());
        const QByteArray text = HexDump(data, int(bytes.size()));
        QVERIFY(text.contains("\n0xfff0: 78"));
        QVERIFY(text.contains("\n0x10000: 78"));
        QVERIFY(text.contains("\n0x10010: 78 78 78 78" + QByteArray(12 * 3, ' ') + " < xxxx"));
        QCOMPARE(text.count('\n'), 1 + 0x10000 / 16 + 2);
        QVERIFY(!text.endsWith('\n'));
    }
};

QTEST_GUILESS_MAIN(TestHexDump)
#include "test_hexdump.moc"
