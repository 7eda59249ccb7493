// The visual style "Sapphire Kamri" (and that the input check's colours show through it) and the
// compiled help file beside the executable.

#include "Dialogs.h"
#include "InputCheck.h"
#include "ShellTestSupport.h"
#include "VisualStyle.h"

#include <QDialog>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QStyle>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// How many pixels of the box's picture are close to `colour`.
int PixelsNear(const QImage& image, const QColor& colour, int tolerance = 24) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) <= tolerance &&
                std::abs(c.green() - colour.green()) <= tolerance &&
                std::abs(c.blue() - colour.blue()) <= tolerance)
                ++count;
        }
    return count;
}

QImage Picture(QLineEdit* box) {
    QApplication::processEvents();
    return box->grab().toImage();
}

} // namespace

class TestStyleAndHelp : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { ApplyVisualStyle(*qApp); }
    void cleanup() { VERIFY_NO_TOP_LEVEL_LEAK(); }

    void styleIsTheProgramsOwn() {
        QCOMPARE(VisualStyleName(), QStringLiteral("Sapphire Kamri"));
        QVERIFY(!VisualStyleSheet().isEmpty());
        QCOMPARE(qApp->styleSheet(), VisualStyleSheet());
        QVERIFY(qApp->styleSheet().contains(QStringLiteral("Sapphire Kamri")));
        QCOMPARE(qApp->property("visualStyle").toString(), VisualStyleName());
        QCOMPARE(QApplication::palette().color(QPalette::Highlight), QColor(42, 90, 166));
        QVERIFY(!qApp->windowIcon().isNull());
    }

    void inputColoursShowThroughTheStyle_data() {
        QTest::addColumn<int>("nesting");
        QTest::newRow("in a dialog") << 0;
        QTest::newRow("in a group box") << 1;
        QTest::newRow("on a tab page") << 2;
    }
    void inputColoursShowThroughTheStyle() {
        QFETCH(int, nesting);
        QDialog window;
        auto* layout = new QVBoxLayout(&window);
        QWidget* parent = &window;
        if (nesting == 1) {
            auto* group = new QGroupBox(QStringLiteral("Inputs"), &window);
            layout->addWidget(group);
            layout = new QVBoxLayout(group);
            parent = group;
        } else if (nesting == 2) {
            auto* tabs = new QTabWidget(&window);
            layout->addWidget(tabs);
            auto* page = new QWidget;
            tabs->addTab(page, QStringLiteral("Input"));
            layout = new QVBoxLayout(page);
            parent = page;
        }
        auto* box = new QLineEdit(parent);
        box->setFixedSize(195, 24);
        box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        layout->addWidget(box);
        // Even a palette of its own must not paint over the verdict.
        QPalette red = box->palette();
        red.setColor(QPalette::Base, Qt::red);
        box->setPalette(red);
        window.show();

        const QColor darkBlue(31, 70, 118);
        QVERIFY(!CheckControlRange(box, 0, 10)); // empty
        QImage picture = Picture(box);
        QCOMPARE(picture.pixelColor(12, picture.height() / 2), darkBlue);
        box->setText(QStringLiteral("99999"));
        QVERIFY(!CheckControlRange(box, 0, 10));
        picture = Picture(box);
        QVERIFY(PixelsNear(picture, darkBlue, 0) > picture.width() * picture.height() / 2);
        QVERIFY2(PixelsNear(picture, Qt::white) > 10, "no white text on the invalid box");

        box->setText(QStringLiteral("5"));
        QVERIFY(CheckControlRange(box, 0, 10));
        picture = Picture(box);
        QCOMPARE(picture.pixelColor(12, picture.height() / 2), QColor(Qt::white));
        QVERIFY2(PixelsNear(picture, Qt::black, 60) > 3, "no black text on the valid box");
        QCOMPARE(PixelsNear(picture, Qt::red, 40), 0);
    }

    void helpFileIsCompiledBesideTheProgram() {
        const QString path = QStringLiteral(CALVARO_HELP_FILE);
        if (QByteArray(CALVARO_CHMCMD).isEmpty() || QByteArray(CALVARO_CHMCMD).endsWith("NOTFOUND"))
            QSKIP("chmcmd is not installed; the build made no help file");
        QVERIFY2(QFileInfo(path).isFile(), qPrintable(path));
        QCOMPARE(ReadWholeFile(path).left(4), QByteArray("ITSF")); // the CHM signature
        QCOMPARE(QFileInfo(path).fileName(), QStringLiteral("help.chm"));
        QCOMPARE(QFileInfo(path).absolutePath(),
                 QFileInfo(QStringLiteral(CALVARO_PROGRAM_DIR)).absoluteFilePath());
    }

    void helpFileOpensInXchmWhenItIsInstalled() {
        // A desktop without a default viewer for .chm files would otherwise show nothing.
        const QByteArray savedPath = qgetenv("PATH");
        QTemporaryDir withViewer;
        QTemporaryDir withoutViewer;
        const QString viewer = withViewer.filePath(QStringLiteral("xchm"));
        QVERIFY(WriteWholeFile(viewer, "#!/bin/sh\n"));
        QVERIFY(QFile::setPermissions(viewer, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

        qputenv("PATH", QFile::encodeName(withViewer.path()));
        const QString forHelp = DocumentViewerProgram(QStringLiteral("/opt/calvaro/help.chm"));
        const QString forUpperCase = DocumentViewerProgram(QStringLiteral("/opt/calvaro/HELP.CHM"));
        const QString forOther = DocumentViewerProgram(QStringLiteral("/opt/calvaro/manual.pdf"));
        qputenv("PATH", QFile::encodeName(withoutViewer.path()));
        const QString notInstalled = DocumentViewerProgram(QStringLiteral("/opt/calvaro/help.chm"));
        qputenv("PATH", savedPath);

        QCOMPARE(QFileInfo(forHelp).canonicalFilePath(), QFileInfo(viewer).canonicalFilePath());
        QCOMPARE(forUpperCase, forHelp);
        QCOMPARE(forOther, QString()); // the desktop decides
        QCOMPARE(notInstalled, QString());
    }

    void everyHelpPageIsCompiledAndListed() {
        // A page missing from the project, the contents or a link would silently vanish from help.chm.
        const QDir html(QStringLiteral(CALVARO_HELP_SOURCE_DIR "/html"));
        const QString project =
            QString::fromUtf8(ReadWholeFile(QStringLiteral(CALVARO_HELP_SOURCE_DIR "/calvaro.hhp")));
        const QString contents =
            QString::fromUtf8(ReadWholeFile(QStringLiteral(CALVARO_HELP_SOURCE_DIR "/toc.hhc")));
        const QStringList pages = html.entryList({QStringLiteral("*.html")}, QDir::Files);
        QVERIFY(pages.size() >= 15);
        for (const QString& page : pages) {
            QVERIFY2(project.contains(QStringLiteral("html/") + page),
                     qPrintable(page + " not in calvaro.hhp"));
            QVERIFY2(contents.contains(QStringLiteral("html/") + page), qPrintable(page + " not in toc.hhc"));
            const QString text = QString::fromUtf8(ReadWholeFile(html.filePath(page)));
            static const QRegularExpression link(QStringLiteral("href=\"([^\"#]+)\""));
            for (auto match = link.globalMatch(text); match.hasNext();) {
                const QString target = match.next().captured(1);
                QVERIFY2(html.exists(target), qPrintable(page + " links to missing " + target));
            }
        }
    }
};

QTEST_MAIN(TestStyleAndHelp)
#include "tst_style_help.moc"
