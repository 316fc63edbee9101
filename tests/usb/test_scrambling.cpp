#include "FailOnWarnings.h"
#include "usb/Scrambling.h"
#include "usb/TransferKey.h"

#include <QtTest>

#include <cstring>
#include <random>

class TestScrambling : public QObject
{
    Q_OBJECT

private:
    static QByteArray randomBytes(int length, unsigned seed)
    {
        std::mt19937 generator(seed);
        QByteArray bytes(length, '\0');
        for (char &c : bytes)
            c = char(generator() & 0xFF);
        return bytes;
    }

private slots:
    void init() { failOnUnexpectedWarnings(); }
    void roundTrip_data()
    {
        QTest::addColumn<int>("length");
        for (int length : {0, 1, 2, 3, 4, 5, 6, 7, 8, 127, 128, 129, 130, 131, 1024, 4099})
            QTest::addRow("%d bytes", length) << length;
    }

    void roundTrip()
    {
        QFETCH(int, length);
        const QByteArray plain = randomBytes(length, unsigned(length) + 1);
        QByteArray buffer = plain;
        // The pointer form, with its result; the rest use the byte-array form.
        auto *bytes = reinterpret_cast<unsigned char *>(buffer.data());
        QCOMPARE(EncodeBuffer(bytes, unsigned(length)), 0);
        const int words = length / 4;
        // The tail of 1 to 3 bytes is never touched.
        QCOMPARE(buffer.mid(words * 4), plain.mid(words * 4));
        if (words > 0)
            QVERIFY(buffer.left(words * 4) != plain.left(words * 4));
        QCOMPARE(DecodeBuffer(bytes, unsigned(length)), 0);
        QCOMPARE(buffer, plain);
    }

    void sixBytesChangeOnlyTheFirstWord()
    {
        QByteArray buffer("\x11\x22\x33\x44\x55\x66", 6);
        EncodeBuffer(buffer);
        QVERIFY(buffer.left(4) != QByteArray("\x11\x22\x33\x44", 4));
        QCOMPARE(buffer.mid(4), QByteArray("\x55\x66", 2));
    }

    // Word i of zeros becomes 2 * key[i mod 32], stored little-endian.
    void zeroWordsGiveTwiceTheKeyLittleEndian()
    {
        QByteArray buffer(4 * 33, '\0');
        EncodeBuffer(buffer);
        for (int i = 0; i < 33; ++i) {
            const uint32_t expected = 2 * TransferKey[i % 32];
            const auto *p = reinterpret_cast<const unsigned char *>(buffer.constData()) + 4 * i;
            QCOMPARE(uint32_t(p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24), expected);
        }
        // The key repeats after 32 words: word 32 scrambles like word 0.
        QCOMPARE(buffer.mid(128, 4), buffer.left(4));
    }

    // A block scrambled in one piece decodes in parts that start a multiple
    // of 128 bytes from its start.
    void blockDecodesInPartsAt128ByteSteps()
    {
        const QByteArray plain = randomBytes(512, 7);
        QByteArray block = plain;
        EncodeBuffer(block);
        QByteArray first = block.left(128);
        QByteArray rest = block.mid(128);
        DecodeBuffer(first);
        DecodeBuffer(rest);
        QCOMPARE(first + rest, plain);

        // An offset that is not a multiple of 128 does not decode.
        QByteArray shifted = block.mid(4);
        DecodeBuffer(shifted);
        QVERIFY(shifted != plain.mid(4));
    }

    void encodeAndDecodeAreInverseBothWays()
    {
        const QByteArray plain = randomBytes(256, 99);
        QByteArray buffer = plain;
        DecodeBuffer(buffer);
        EncodeBuffer(buffer);
        QCOMPARE(buffer, plain);
    }
};

QTEST_GUILESS_MAIN(TestScrambling)
#include "test_scrambling.moc"
