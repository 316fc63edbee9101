// Every translatable text that the code uses must have a finished entry in
// both catalogues, and the compiled catalogues must load.

#include "FailOnWarnings.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

struct Entry {
    QString translation;
    bool finished = false;
};

using Catalogue = QHash<QPair<QString, QString>, Entry>; // (context, source) -> entry

Catalogue readCatalogue(const QString &path, QString *error)
{
    Catalogue result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot open ") + path;
        return result;
    }
    QXmlStreamReader xml(&file);
    QString context;
    QString source;
    Entry entry;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == QLatin1String("name")) {
                context = xml.readElementText();
            } else if (xml.name() == QLatin1String("message")) {
                source.clear();
                entry = Entry();
            } else if (xml.name() == QLatin1String("source")) {
                source = xml.readElementText();
            } else if (xml.name() == QLatin1String("translation")) {
                const QString type = xml.attributes().value(QLatin1String("type")).toString();
                entry.finished = type.isEmpty();
                entry.translation = xml.readElementText();
                // Obsolete and vanished entries are not in use.
                if (type == QLatin1String("obsolete") || type == QLatin1String("vanished"))
                    continue;
                result.insert({context, source}, entry);
            }
        }
    }
    if (xml.hasError())
        *error = path + QStringLiteral(": ") + xml.errorString();
    return result;
}

} // namespace

class TestCatalogues : public QObject
{
    Q_OBJECT

private slots:
    void init() { failOnUnexpectedWarnings(); }
    void initTestCase();
    void everyUsedTextIsTranslated_data();
    void everyUsedTextIsTranslated();
    void compiledCataloguesLoad_data();
    void compiledCataloguesLoad();

private:
    QTemporaryDir scratch;
    Catalogue used;
};

void TestCatalogues::initTestCase()
{
    QVERIFY(scratch.isValid());
    const QString source = QStringLiteral(VT520_SOURCE_DIR);
    const QString extracted = scratch.filePath(QStringLiteral("used.ts"));
    QStringList args;
    for (const char *dir : {"app", "usb", "firmware", "lighting", "widgets", "style"})
        args << source + QLatin1Char('/') + QLatin1String(dir);
    args << QStringLiteral("-extensions") << QStringLiteral("cpp,h,ui") << QStringLiteral("-silent")
         << QStringLiteral("-ts") << extracted;
    QProcess lupdate;
    lupdate.start(QStringLiteral(LUPDATE_PROGRAM), args);
    QVERIFY(lupdate.waitForFinished(120000));
    QCOMPARE(lupdate.exitCode(), 0);
    QString error;
    used = readCatalogue(extracted, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY2(used.size() > 50, "the code's translatable texts were not found");
}

void TestCatalogues::everyUsedTextIsTranslated_data()
{
    QTest::addColumn<QString>("catalogue");
    QTest::newRow("Polish") << "vt410_pl.ts";
    QTest::newRow("English") << "vt410_en.ts";
}

void TestCatalogues::everyUsedTextIsTranslated()
{
    QFETCH(QString, catalogue);
    QString error;
    const Catalogue shipped = readCatalogue(QStringLiteral(VT520_SOURCE_DIR "/translations/") + catalogue, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));

    QStringList missing;
    for (auto it = used.cbegin(); it != used.cend(); ++it) {
        const auto found = shipped.constFind(it.key());
        if (found == shipped.cend() || !found->finished || found->translation.isEmpty())
            missing << it.key().first + QStringLiteral(": \"") + it.key().second + QLatin1Char('"');
    }
    missing.sort();
    QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("untranslated:\n") + missing.join(QLatin1Char('\n'))));
}

void TestCatalogues::compiledCataloguesLoad_data()
{
    QTest::addColumn<QString>("baseName");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Polish") << "vt410_pl"
                            << "Settings" << QString::fromUtf8("Ustawienia");
    QTest::newRow("English") << "vt410_en"
                             << "Settings"
                             << "Settings";
    // The system locale's full name falls back to the language's catalogue.
    QTest::newRow("pl_PL falls back") << "vt410_pl_PL"
                                      << "Settings" << QString::fromUtf8("Ustawienia");
}

void TestCatalogues::compiledCataloguesLoad()
{
    QFETCH(QString, baseName);
    QFETCH(QString, source);
    QFETCH(QString, expected);
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(QStringLiteral(VT520_BINARY_DIR "/bin")));
    QTranslator translator;
    const bool loaded = translator.load(baseName);
    QDir::setCurrent(previous);
    QVERIFY(loaded);
    const QString translated = translator.translate("Vt410_bootloaderClass", source.toUtf8().constData());
    QCOMPARE(translated.isEmpty() ? source : translated, expected);
}

QTEST_GUILESS_MAIN(TestCatalogues)
#include "test_catalogues.moc"
