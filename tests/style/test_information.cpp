#include "FailOnWarnings.h"
#include "app/Information.h"
#include "app/Version.h"
#include "app/Vt410_bootloader.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <QTranslator>
#include <QtTest>

namespace {
// Answers for two translation contexts and records every lookup, so a test
// can see in which context each text is asked for.
class RecordingTranslator : public QTranslator
{
public:
    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        lookups << QString::fromLatin1(context) + QLatin1Char('|') + QString::fromUtf8(sourceText);
        const QString key = QString::fromLatin1(context) + QLatin1Char('|') + QString::fromUtf8(sourceText);
        if (key == QLatin1String("QDialog|Vt520 ver. "))
            return QStringLiteral("Wersja Vt520 ");
        if (key == QLatin1String("DialogInfo|Vt520 Information"))
            return QStringLiteral("Informacje o Vt520");
        return QString();
    }
    bool isEmpty() const override { return false; }

    mutable QStringList lookups;
};

// Paragraph texts of the rich text, in order; the image shows as U+FFFC.
QStringList paragraphs(const QString &html, QList<Qt::Alignment> *alignments = nullptr)
{
    QTextDocument document;
    document.setHtml(html);
    QStringList texts;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        texts << block.text();
        if (alignments)
            alignments->append(block.blockFormat().alignment());
    }
    return texts;
}
} // namespace

class TestInformation : public QObject
{
    Q_OBJECT

private slots:
    void init() { failOnUnexpectedWarnings(); }
    void showsVersionAndForm();
    void richTextParagraphs();
    void logoComesFromTheResources();
    void makerIsFictional();
    void closes_data();
    void closes();
    void textsUseTheirTranslationContexts();
    void windowShowsDialogWithSameVersionAsTitle();
};

void TestInformation::showsVersionAndForm()
{
    Information dialog;
    QCOMPARE(dialog.objectName(), QStringLiteral("DialogInfo"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Vt520 Information"));
    QCOMPARE(dialog.size(), QSize(258, 253));
    QCOMPARE(dialog.labelVersion->text(), QStringLiteral("Vt520 ver. 1.03"));
    QCOMPARE(dialog.labelVersion->alignment(), Qt::AlignCenter);
    QCOMPARE(dialog.label->textFormat(), Qt::RichText);
    QVERIFY(dialog.label->hasScaledContents());
    QCOMPARE(dialog.label->alignment(), Qt::AlignCenter);
    QCOMPARE(dialog.label->textInteractionFlags(), Qt::TextSelectableByMouse | Qt::LinksAccessibleByMouse);
    QCOMPARE(dialog.buttonBox->standardButtons(), QDialogButtonBox::Ok);
    QVERIFY(dialog.buttonBox->centerButtons());
    QCOMPARE(dialog.buttonBox->orientation(), Qt::Horizontal);
    QCOMPARE(dialog.verticalLayout->count(), 3);
    QCOMPARE(dialog.verticalLayout->itemAt(0)->widget(), dialog.label);
    QCOMPARE(dialog.verticalLayout->itemAt(1)->widget(), dialog.labelVersion);
    QCOMPARE(dialog.verticalLayout->itemAt(2)->widget(), dialog.buttonBox);
}

void TestInformation::richTextParagraphs()
{
    Information dialog;
    const QString html = dialog.label->text();
    QVERIFY(html.contains(QLatin1String("font-family:'MS Shell Dlg 2'; font-size:8.25pt")));
    QList<Qt::Alignment> alignments;
    const QStringList texts = paragraphs(html, &alignments);
    const QStringList expected = {
        QStringLiteral("Vt520 driver configuration software"),
        QString(QChar::ObjectReplacementCharacter),
        QStringLiteral("www.example.com"),
        QString(),
        QStringLiteral("Example Lighting Works Ltd."),
        QStringLiteral("12 Sample Street"),
        QStringLiteral("00-000 Exampleton"),
        QStringLiteral("Examplestan"),
        QString(),
        QStringLiteral("tel. +1 555 0100"),
        QStringLiteral("fax +1 555 0101"),
        QString(),
        QStringLiteral("e-mail: info@example.com"),
    };
    QCOMPARE(texts, expected);
    for (Qt::Alignment alignment : alignments)
        QCOMPARE(alignment & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
}

void TestInformation::logoComesFromTheResources()
{
    Information dialog;
    QVERIFY(dialog.label->text().contains(QLatin1String("<img src=\":/res/images/logo5.png\"")));
    QTextDocument document;
    document.setHtml(dialog.label->text());
    const QVariant logo =
        document.resource(QTextDocument::ImageResource, QUrl(QStringLiteral(":/res/images/logo5.png")));
    QCOMPARE(logo.value<QImage>().size(), QSize(32, 32));
}

void TestInformation::makerIsFictional()
{
    Information dialog;
    const QString text = paragraphs(dialog.label->text()).join(QLatin1Char('\n'));
    // Reserved example domain and 555 numbers only.
    QVERIFY(text.contains(QLatin1String("www.example.com")));
    QVERIFY(text.contains(QLatin1String("info@example.com")));
    static const QRegularExpression domain(QStringLiteral("[\\w-]+\\.(com|pl|net|org|eu)\\b"));
    for (auto match = domain.globalMatch(text); match.hasNext();)
        QCOMPARE(match.next().captured(0), QStringLiteral("example.com"));
}

void TestInformation::closes_data()
{
    QTest::addColumn<bool>("withEscape");
    QTest::addColumn<int>("result");
    QTest::newRow("OK") << false << int(QDialog::Accepted);
    QTest::newRow("Escape") << true << int(QDialog::Rejected);
}

void TestInformation::closes()
{
    QFETCH(bool, withEscape);
    QFETCH(int, result);
    Information dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTimer::singleShot(0, &dialog, [&dialog, withEscape] {
        if (withEscape)
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else
            QTest::mouseClick(dialog.buttonBox->button(QDialogButtonBox::Ok), Qt::LeftButton);
    });
    QCOMPARE(dialog.exec(), result);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.labelVersion->text(), QStringLiteral("Vt520 ver. 1.03"));
}

void TestInformation::textsUseTheirTranslationContexts()
{
    RecordingTranslator translator;
    QCoreApplication::installTranslator(&translator);
    Information dialog;
    QCoreApplication::removeTranslator(&translator);

    QCOMPARE(dialog.labelVersion->text(), QStringLiteral("Wersja Vt520 1.03"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Informacje o Vt520"));
    QVERIFY(translator.lookups.contains(QStringLiteral("QDialog|Vt520 ver. ")));
    // The version number itself is never passed to a translator.
    for (const QString &lookup : std::as_const(translator.lookups))
        QVERIFY2(!lookup.contains(QLatin1String(Vt520VersionText)), qPrintable(lookup));
    // The description is looked up whole, in the form's context.
    const bool descriptionAsked =
        std::any_of(translator.lookups.cbegin(), translator.lookups.cend(), [](const QString &lookup) {
            return lookup.startsWith(QLatin1String("DialogInfo|<!DOCTYPE"))
                   && lookup.contains(QLatin1String("logo5.png"));
        });
    QVERIFY(descriptionAsked);
}

void TestInformation::windowShowsDialogWithSameVersionAsTitle()
{
    Vt410_bootloader window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *action = window.findChild<QAction *>(QStringLiteral("actionVt410_info"));
    QVERIFY(action);

    QString shownVersion;
    QWidget *shownParent = nullptr;
    QTimer::singleShot(0, &window, [&] {
        auto *dialog = dynamic_cast<Information *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        shownVersion = dialog->labelVersion->text();
        shownParent = dialog->parentWidget();
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    action->trigger(); // returns once the dialog is closed
    QCOMPARE(shownVersion, window.windowTitle());
    QCOMPARE(shownParent, &window);
    // The dialog is gone once the slot returns.
    QVERIFY(window.findChildren<QDialog *>().isEmpty());
    QVERIFY(window.isVisible());
}

QTEST_MAIN(TestInformation)
#include "test_information.moc"
