#include "FailOnWarnings.h"
#include "usb/SerialStringDecoder.h"

#include <QtTest>

class TestSerialStringDecoder : public QObject
{
    Q_OBJECT

private slots:
    void init() { failOnUnexpectedWarnings(); }
    void decodes_data();
    void decodes();
    void neverReadsPastTheBytesReceived();
};

namespace {

// A string descriptor: length byte, type 3, then the text as UTF-16LE.
QByteArray descriptor(const QString &text, int lengthByte = -1)
{
    QByteArray bytes;
    bytes.append(char(lengthByte >= 0 ? lengthByte : 2 + 2 * text.size()));
    bytes.append(char(3));
    for (const QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

} // namespace

void TestSerialStringDecoder::decodes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("received");
    QTest::addColumn<QByteArray>("serial");

    const QByteArray nine = descriptor(QStringLiteral("VT5200001"));
    QTest::newRow("nine ASCII characters") << nine << int(nine.size()) << QByteArray("VT5200001");
    QTest::newRow("nothing received") << nine << 0 << QByteArray();
    QTest::newRow("failed read") << nine << -1 << QByteArray();
    QTest::newRow("one byte") << nine << 1 << QByteArray();
    QTest::newRow("header only") << nine << 2 << QByteArray();
    QTest::newRow("cut inside a unit") << nine << 5 << QByteArray("V");
    QTest::newRow("fewer bytes received than the length byte") << nine << 8 << QByteArray("VT5");
    const QByteArray shortLength = descriptor(QStringLiteral("VT5200001"), 8);
    QTest::newRow("length byte shorter than received") << shortLength << int(shortLength.size()) << QByteArray("VT5");
    const QByteArray oddLength = descriptor(QStringLiteral("VT5200001"), 9);
    QTest::newRow("odd length byte drops the half unit") << oddLength << int(oddLength.size()) << QByteArray("VT5");
    const QByteArray zeroLength = descriptor(QStringLiteral("VT5200001"), 0);
    QTest::newRow("length byte zero") << zeroLength << int(zeroLength.size()) << QByteArray();
    const QByteArray zeroInside = descriptor(QString::fromUtf16(u"VT52\u00000001", 9));
    QTest::newRow("stops at the first zero unit") << zeroInside << int(zeroInside.size()) << QByteArray("VT52");
    const QByteArray wide = descriptor(QString::fromUtf16(u"A\u0141\u2116", 3));
    QTest::newRow("low byte of each unit") << wide << int(wide.size()) << QByteArray("A\x41\x16");
    const QByteArray highOnly = descriptor(QString::fromUtf16(u"\u0100B", 2));
    QTest::newRow("unit with a zero low byte is kept") << highOnly << int(highOnly.size()) << QByteArray("\0B", 2);
}

void TestSerialStringDecoder::decodes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, received);
    QFETCH(QByteArray, serial);
    QCOMPARE(decodeSerialStringDescriptor(reinterpret_cast<const unsigned char *>(bytes.constData()), received),
             serial);
}

void TestSerialStringDecoder::neverReadsPastTheBytesReceived()
{
    // The bytes after the ones received are poisoned with text that would
    // show in the result if they were read.
    QByteArray bytes = descriptor(QStringLiteral("AB"), 254);
    bytes.append(descriptor(QStringLiteral("XYZXYZ")).mid(2));
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.constData());
    QCOMPARE(decodeSerialStringDescriptor(data, 6), QByteArray("AB"));
    QCOMPARE(decodeSerialStringDescriptor(data, int(bytes.size())), QByteArray("ABXYZXYZ"));
    QCOMPARE(decodeSerialStringDescriptor(nullptr, 20), QByteArray());
}

QTEST_APPLESS_MAIN(TestSerialStringDecoder)
#include "test_serialstringdecoder.moc"
