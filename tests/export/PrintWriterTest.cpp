// The print writer on a real printer: rows printed to a PDF file through QPrinter, and the
// positions of the words read back from the page with poppler's pdftotext -bbox.
#include "PrintWriter.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <map>
#include <string>
#include <vector>

namespace {

struct TWordBox {
    double XMin, YMin, XMax, YMax; // points from the top-left corner of the page
};

struct TPrintedPage {
    int Pages = 0;
    std::map<std::string, TWordBox> Words;
};

// pdftotext's bounding-box output, one <word> element per word.
TPrintedPage ReadPdf(const QString& pdfPath) {
    TPrintedPage page;
    QProcess pdftotext;
    pdftotext.start(QStringLiteral(CALVARO_PDFTOTEXT), {"-bbox", pdfPath, "-"});
    if (!pdftotext.waitForFinished(60000) || pdftotext.exitCode() != 0) {
        ADD_FAILURE() << "pdftotext (Debian package poppler-utils) could not read " << pdfPath.toStdString()
                      << ": " << pdftotext.errorString().toStdString() << " "
                      << QString::fromUtf8(pdftotext.readAllStandardError()).toStdString();
        return page;
    }
    const QString html = QString::fromUtf8(pdftotext.readAllStandardOutput());
    page.Pages = static_cast<int>(html.count(QStringLiteral("<page ")));
    static const QRegularExpression word(
        R"re(<word xMin="([-\d.]+)" yMin="([-\d.]+)" xMax="([-\d.]+)" yMax="([-\d.]+)">([^<]*)</word>)re");
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        page.Words[m.captured(5).toStdString()] = {m.captured(1).toDouble(), m.captured(2).toDouble(),
                                                   m.captured(3).toDouble(), m.captured(4).toDouble()};
    }
    return page;
}

class PrintWriter : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(FFolder.isValid()); }

    // A PDF printer at the given resolution with margins that put the printable area away from
    // the paper's corner, so the test sees that the grid starts at the printable area.
    void Configure(QPrinter& printer, int dotsPerInch) const {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(PdfPath());
        printer.setResolution(dotsPerInch);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageMargins(QMarginsF(10, 15, 10, 10), QPageLayout::Millimeter);
    }
    QString PdfPath() const { return FFolder.filePath(QStringLiteral("page.pdf")); }

    QTemporaryDir FFolder;
};

std::string Token(char column, int row) {
    return std::string(1, column) + std::to_string(row);
}

// Where the top-left corner of item `column` of row `row` lands on the paper, in points.
struct TGrid {
    QPoint Origin; // the printable area's corner in device units from the paper's corner
    int DotsPerInch;
    double X(int column) const { return (Origin.x() + 40 + 1300 * column) * 72.0 / DotsPerInch; }
    double Y(int row) const { return (Origin.y() + 120 * row) * 72.0 / DotsPerInch; }
};

TEST_F(PrintWriter, FourteenRowsLandOnTheDeviceUnitGridInCourierElevenPoint) {
    QPrinter printer(QPrinter::HighResolution);
    Configure(printer, 600);
    const TGrid grid{printer.pageRect(QPrinter::DevicePixel).topLeft().toPoint(), 600};
    {
        TPrintWriter writer("View data set", &printer);
        EXPECT_EQ(writer.LineCounter(), 0);
        for (int row = 0; row < 14; ++row)
            writer.AddRow({Token('A', row), Token('B', row), Token('C', row)});
        EXPECT_EQ(writer.LineCounter(), 14 * 120);
        EXPECT_EQ(writer.Description(), "View data set");
        EXPECT_EQ(writer.FilePath(), "");
        writer.Close();
    }

    const TPrintedPage page = ReadPdf(PdfPath());
    EXPECT_EQ(page.Pages, 1);
    ASSERT_EQ(page.Words.size(), 14u * 3u);
    for (int row = 0; row < 14; ++row)
        for (int column = 0; column < 3; ++column) {
            const std::string token = Token(static_cast<char>('A' + column), row);
            SCOPED_TRACE(token);
            const TWordBox& box = page.Words.at(token);
            EXPECT_NEAR(box.XMin, grid.X(column), 0.3);
            EXPECT_NEAR(box.YMin, grid.Y(row), 0.5) << "the top of the line, not its baseline";
            // 11 points on paper whatever the resolution: a line of the font is a little taller.
            EXPECT_GT(box.YMax - box.YMin, 11.0);
            EXPECT_LT(box.YMax - box.YMin, 14.5);
        }
}

TEST_F(PrintWriter, GridFollowsThePrinterDotsWhileTheFontKeepsItsSize) {
    QPrinter printer(QPrinter::HighResolution);
    Configure(printer, 300);
    const TGrid grid{printer.pageRect(QPrinter::DevicePixel).topLeft().toPoint(), 300};
    {
        TPrintWriter writer("", &printer);
        writer.AddRow({"Sodium", "50.00"});
        writer.AddRow({"Temperature", "20.00\xC2\xB0"
                                      "C"});
        writer.Close();
    }
    const TPrintedPage page = ReadPdf(PdfPath());
    ASSERT_EQ(page.Words.size(), 4u);
    EXPECT_NEAR(page.Words.at("Sodium").XMin, grid.X(0), 0.3);
    EXPECT_NEAR(page.Words.at("50.00").XMin, grid.X(1), 0.3);
    EXPECT_NEAR(page.Words.at("50.00").XMin - page.Words.at("Sodium").XMin, 312.0, 0.3)
        << "1300 dots at 300 dpi";
    EXPECT_NEAR(page.Words.at("Temperature").YMin - page.Words.at("Sodium").YMin, 28.8, 0.3) << "120 dots";
    EXPECT_NEAR(page.Words
                    .at("20.00\xC2\xB0"
                        "C")
                    .YMin,
                grid.Y(1), 0.5);
    const TWordBox& sodium = page.Words.at("Sodium");
    EXPECT_GT(sodium.YMax - sodium.YMin, 11.0);
    EXPECT_LT(sodium.YMax - sodium.YMin, 14.5);
}

TEST_F(PrintWriter, RowsBelowThePrintableAreaAreLostAndNoSecondPageIsStarted) {
    QPrinter printer(QPrinter::HighResolution);
    Configure(printer, 600);
    const TGrid grid{printer.pageRect(QPrinter::DevicePixel).topLeft().toPoint(), 600};
    const double paperHeight = printer.pageLayout().fullRect(QPageLayout::Point).height();
    {
        TPrintWriter writer("", &printer);
        for (int row = 0; row < 100; ++row)
            writer.AddRow({Token('R', row)});
        writer.Close();
    }
    const TPrintedPage page = ReadPdf(PdfPath());
    EXPECT_EQ(page.Pages, 1);
    int printed = 0;
    for (int row = 0; row < 100; ++row) {
        SCOPED_TRACE(Token('R', row));
        const bool onPaper = page.Words.count(Token('R', row)) == 1;
        if (grid.Y(row) + 15 < paperHeight) {
            EXPECT_TRUE(onPaper);
        } else if (grid.Y(row) > paperHeight) {
            EXPECT_FALSE(onPaper);
        }
        printed += onPaper;
    }
    EXPECT_GT(printed, 40);
    EXPECT_LT(printed, 100);
}

TEST_F(PrintWriter, PrinterThatCannotStartTheJobRaisesAnError) {
    QPrinter printer(QPrinter::HighResolution);
    Configure(printer, 600);
    printer.setOutputFileName(FFolder.filePath(QStringLiteral("missing/page.pdf")));
    EXPECT_THROW(TPrintWriter("", &printer), TExportError);
    EXPECT_THROW(TPrintWriter("", nullptr), TExportError);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
