#include "FailOnWarnings.h"
#include "style/ArthurStyle.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPixmapCache>
#include <QtEndian>
#include <QtTest>

class TestEmbeddedImages : public QObject
{
    Q_OBJECT

private slots:
    void init() { failOnUnexpectedWarnings(); }
    void imageLoadsWithItsSize_data();
    void imageLoadsWithItsSize();
    void treeHoldsExactlyTheListedImages();
    void styleAndDialogPrefixesBothResolve();
    void bitmapsAre24BitUncompressed_data();
    void bitmapsAre24BitUncompressed();
    void loaderCachesWhatItFinds();
    void loaderGivesNullForMissingImageAndCachesNothing();
};

namespace {
struct NamedSize {
    const char *name;
    int width;
    int height;
};

// Every image of the resource tree with its size in pixels.
const NamedSize Images[] = {
    {"button_normal_cap_left.png", 10, 26},
    {"button_normal_cap_right.png", 10, 26},
    {"button_normal_stretch.png", 1, 26},
    {"button_pressed_cap_left.png", 17, 25},
    {"button_pressed_cap_right.png", 17, 25},
    {"button_pressed_stretch.png", 15, 25},
    {"groupframe_topleft.png", 14, 14},
    {"groupframe_topright.png", 14, 14},
    {"groupframe_bottom_left.png", 14, 14},
    {"groupframe_bottom_right.png", 14, 14},
    {"groupframe_top_stretch.png", 1, 14},
    {"groupframe_bottom_stretch.png", 1, 14},
    {"groupframe_left_stretch.png", 14, 1},
    {"groupframe_right_stretch.png", 14, 1},
    {"radiobutton-on.png", 12, 14},
    {"radiobutton_on.png", 12, 14},
    {"radiobutton_off.png", 12, 14},
    {"slider_bar.png", 107, 9},
    {"slider_bar_vertical.png", 10, 256},
    {"slider_thumb_on.png", 13, 27},
    {"slider_thumb_on_v_red.png", 27, 13},
    {"slider_thumb_on_v_green.png", 27, 13},
    {"slider_thumb_on_v_blue.png", 27, 13},
    {"title_cap_left.png", 4, 18},
    {"title_cap_right.png", 4, 18},
    {"title_stretch.png", 1, 18},
    {"logo5.png", 32, 32},
    {"USB green 64x64.png", 64, 64},
    {"blackout.png", 32, 32},
    {"copy.png", 32, 32},
    {"cut.png", 32, 32},
    {"info.png", 32, 32},
    {"new.png", 32, 32},
    {"open.png", 32, 32},
    {"paste.png", 32, 32},
    {"player_play.png", 32, 32},
    {"read.png", 32, 32},
    {"save.png", 32, 32},
    {"synchro_green.png", 32, 32},
    {"synchro_red.png", 32, 32},
    {"write.png", 32, 32},
    {"logo2.png", 32, 32},
    {"logo3.png", 32, 32},
    {"logo4.png", 32, 32},
    {"player_stop.png", 31, 31},
    {"help.png", 18, 18},
    {"logo.bmp", 32, 32},
    {"red_slider.bmp", 12, 28},
    {"slider_blue.png", 24, 61},
    {"slider_bar_v.png", 9, 107},
    {"frame_topleft.png", 49, 49},
    {"frame_topright.png", 49, 49},
    {"frame_bottomleft.png", 49, 50},
    {"frame_bottomright.png", 49, 50},
    {"frame_top.png", 9, 49},
    {"frame_bottom.png", 9, 50},
    {"frame_left.png", 49, 10},
    {"frame_right.png", 49, 10},
    {"line_solid.png", 92, 4},
    {"line_dashed.png", 92, 4},
    {"line_dotted.png", 94, 4},
    {"line_dash_dot.png", 94, 4},
    {"line_dash_dot_dot.png", 94, 4},
};
} // namespace

void TestEmbeddedImages::imageLoadsWithItsSize_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    for (const NamedSize &image : Images)
        QTest::newRow(image.name) << QString::fromLatin1(image.name) << QSize(image.width, image.height);
}

void TestEmbeddedImages::imageLoadsWithItsSize()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    const QImage image(QStringLiteral(":/res/images/") + name);
    QVERIFY2(!image.isNull(), qPrintable(name));
    QCOMPARE(image.size(), size);
}

void TestEmbeddedImages::treeHoldsExactlyTheListedImages()
{
    QStringList expected;
    for (const NamedSize &image : Images)
        expected << QString::fromLatin1(image.name);
    expected.sort();
    QCOMPARE(expected.size(), 63);
    QCOMPARE(expected.removeDuplicates(), 0);
    QStringList present = QDir(QStringLiteral(":/res/images")).entryList(QDir::Files);
    present.sort();
    QCOMPARE(present, expected);
}

void TestEmbeddedImages::styleAndDialogPrefixesBothResolve()
{
    // The style names its images without the slash after the colon.
    const QImage styleForm(QStringLiteral(":res/images/slider_bar.png"));
    const QImage dialogForm(QStringLiteral(":/res/images/slider_bar.png"));
    QVERIFY(!styleForm.isNull());
    QCOMPARE(styleForm, dialogForm);
}

void TestEmbeddedImages::bitmapsAre24BitUncompressed_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("logo") << "logo.bmp" << 32 << 32;
    QTest::newRow("red slider") << "red_slider.bmp" << 12 << 28;
}

void TestEmbeddedImages::bitmapsAre24BitUncompressed()
{
    QFETCH(QString, name);
    QFETCH(int, width);
    QFETCH(int, height);
    QFile file(QStringLiteral(":/res/images/") + name);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray data = file.readAll();
    QVERIFY(data.size() >= 54);
    const auto *bytes = reinterpret_cast<const uchar *>(data.constData());
    QCOMPARE(data.left(2), QByteArray("BM"));
    QCOMPARE(qFromLittleEndian<quint32>(bytes + 2), quint32(data.size()));
    QCOMPARE(qFromLittleEndian<qint32>(bytes + 18), width);
    QCOMPARE(qFromLittleEndian<qint32>(bytes + 22), height); // positive: rows stored bottom up
    QCOMPARE(qFromLittleEndian<quint16>(bytes + 28), quint16(24));
    QCOMPARE(qFromLittleEndian<quint32>(bytes + 30), quint32(0)); // no compression
    // 24-bit rows are padded to a multiple of 4 bytes.
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    const quint32 pixelOffset = qFromLittleEndian<quint32>(bytes + 10);
    QCOMPARE(quint32(data.size()), pixelOffset + quint32(rowBytes * height));
}

void TestEmbeddedImages::loaderCachesWhatItFinds()
{
    QPixmapCache::clear();
    const QString path = QStringLiteral(":res/images/title_stretch.png");
    QPixmap found;
    QVERIFY(!QPixmapCache::find(path, &found));
    const QPixmap loaded = ArthurStyle::cachedPixmap(path);
    QCOMPARE(loaded.size(), QSize(1, 18));
    QVERIFY(QPixmapCache::find(path, &found));
    QCOMPARE(found.cacheKey(), loaded.cacheKey());
    // A second request is served from the cache.
    QCOMPARE(ArthurStyle::cachedPixmap(path).cacheKey(), loaded.cacheKey());
}

void TestEmbeddedImages::loaderGivesNullForMissingImageAndCachesNothing()
{
    QPixmapCache::clear();
    const QString path = QStringLiteral(":res/images/no_such_image.png");
    QVERIFY(ArthurStyle::cachedPixmap(path).isNull());
    QPixmap found;
    QVERIFY(!QPixmapCache::find(path, &found));
}

QTEST_MAIN(TestEmbeddedImages)
#include "test_embeddedimages.moc"
