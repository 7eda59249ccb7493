// The print writer on a real printer: rows printed to a PDF file through QPrinter, and the
// positions of the words read back from the page with poppler's pdftotext -bbox.
#include "PrintWriter.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPointF>
#include <QPrinter>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
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

// The same page on every printer: the tests below run at each of these resolutions.
class PrintWriterAtResolution : public PrintWriter, public ::testing::WithParamInterface<int> {};

std::string Token(char column, int row) {
    return std::string(1, column) + std::to_string(row);
}

// Where the top-left corner of item `column` of row `row` lands on the paper, in points: the grid
// counts in dots of a 600-dpi page from the printable area's corner, whatever the printer's own
// resolution.
struct TGrid {
    QPointF Origin; // the printable area's corner in points from the paper's corner
    double X(int column) const { return Origin.x() + (40 + 1300 * column) * 72.0 / 600; }
    double Y(int row) const { return Origin.y() + 120 * row * 72.0 / 600; }
};

TGrid GridOf(const QPrinter& printer) {
    return {printer.pageLayout().paintRect(QPageLayout::Point).topLeft()};
}

TEST_P(PrintWriterAtResolution, FourteenRowsLandOnTheSixHundredDpiGridInCourierElevenPoint) {
    QPrinter printer(QPrinter::HighResolution);
    Configure(printer, GetParam());
    const TGrid grid = GridOf(printer);
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

TEST_P(PrintWriterAtResolution, ColumnsAndRowsKeepTheirSizeOnPaper) {
    QPrinter printer(QPrinter::HighResolution);
    Configure(printer, GetParam());
    const TGrid grid = GridOf(printer);
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
    EXPECT_NEAR(page.Words.at("50.00").XMin - page.Words.at("Sodium").XMin, 156.0, 0.3)
        << "1300 dots of a 600-dpi page, 55 mm";
    EXPECT_NEAR(page.Words.at("Temperature").YMin - page.Words.at("Sodium").YMin, 14.4, 0.3)
        << "120 dots of a 600-dpi page, 5.1 mm";
    EXPECT_NEAR(page.Words
                    .at("20.00\xC2\xB0"
                        "C")
                    .YMin,
                grid.Y(1), 0.5);
    const TWordBox& sodium = page.Words.at("Sodium");
    EXPECT_GT(sodium.YMax - sodium.YMin, 11.0);
    EXPECT_LT(sodium.YMax - sodium.YMin, 14.5);
}

// The rows of a results window with their longest captions and large values. Before the grid was
// scaled, a 1200-dpi page put the 11-pt lines (183 dots high) 120 dots apart, and the columns
// 1300 dots (28 mm) apart, so "Precipitation potential" overprinted its value and the rows one
// another.
TEST_P(PrintWriterAtResolution, NoTwoWordsOverlapAndEveryRowIsOnThePage) {
    const std::vector<std::vector<std::string>> rows = {
        {"Determine water condition after blending"},
        {"pH", "7.46", ""},
        {"Temperature", "20.00", "degrees C"},
        {"Total alkalinity", "1,234,567.89", "mg/l CaCO3"},
        {"Acidity", "-23,456.78", "mg/l CaCO3"},
        {"Calcium", "100.00", "mg/l CaCO3"},
        {"Magnesium", "30.00", "mg/l CaCO3"},
        {"Sodium", "50.00", "mgNa/l"},
        {"Sulphate", "40.00", "mgSO4/l"},
        {"Chloride", "60.00", "mgCl/l"},
        {"Ionic strength", "0.0123"},
        {"TDS", "492.00", "mg/l"},
        {"Conductivity", "76.88", "mS/m"},
        {"Precipitation potential", "-3.33", "mg/l CaCO3"},
        {"Dosage", "123,456.78", "mg/l Ca(OH)2"},
    };
    QPrinter printer(QPrinter::HighResolution);
    Configure(printer, GetParam());
    const QRectF paper = printer.pageLayout().fullRect(QPageLayout::Point);
    {
        TPrintWriter writer("", &printer);
        for (const auto& row : rows) {
            std::vector<std::string> items;
            for (const auto& item : row)
                if (!item.empty()) items.push_back(item);
            writer.AddRow(items);
        }
        writer.Close();
    }

    QProcess pdftotext;
    pdftotext.start(QStringLiteral(CALVARO_PDFTOTEXT), {"-bbox", PdfPath(), "-"});
    ASSERT_TRUE(pdftotext.waitForFinished(60000));
    const QString html = QString::fromUtf8(pdftotext.readAllStandardOutput());
    EXPECT_EQ(html.count(QStringLiteral("<page ")), 1);
    struct TWord {
        QString Text;
        QRectF Box;
    };
    std::vector<TWord> words;
    static const QRegularExpression word(
        R"re(<word xMin="([-\d.]+)" yMin="([-\d.]+)" xMax="([-\d.]+)" yMax="([-\d.]+)">([^<]*)</word>)re");
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        words.push_back({m.captured(5), QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                               QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()))});
    }

    // Every word of every row came out, inside the paper.
    std::vector<QString> expected, printed;
    for (const auto& row : rows)
        for (const auto& item : row)
            for (const QString& part : QString::fromStdString(item).split(u' ', Qt::SkipEmptyParts))
                expected.push_back(part);
    for (const TWord& w : words) {
        printed.push_back(w.Text);
        EXPECT_TRUE(paper.contains(w.Box)) << w.Text.toStdString();
    }
    std::sort(expected.begin(), expected.end());
    std::sort(printed.begin(), printed.end());
    EXPECT_EQ(printed, expected) << html.toStdString();
    // No two boxes share any area; a box a tenth of a point smaller keeps touching edges apart.
    for (std::size_t i = 0; i < words.size(); ++i)
        for (std::size_t j = i + 1; j < words.size(); ++j) {
            const QRectF a = words[i].Box.adjusted(0.05, 0.05, -0.05, -0.05);
            const QRectF b = words[j].Box.adjusted(0.05, 0.05, -0.05, -0.05);
            EXPECT_FALSE(a.intersects(b)) << words[i].Text.toStdString() << " overlaps "
                                          << words[j].Text.toStdString() << " at " << GetParam() << " dpi";
        }
}

TEST_P(PrintWriterAtResolution, RowsBelowThePrintableAreaAreLostAndNoSecondPageIsStarted) {
    QPrinter printer(QPrinter::HighResolution);
    Configure(printer, GetParam());
    const TGrid grid = GridOf(printer);
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

// A cell's own word: its row and column ("r12c3"), or the row's name in the first column ("R12").
std::string CellWord(int row, int column) {
    std::string text = column == 0 ? "R" : "r";
    text += std::to_string(row);
    if (column > 0) text += 'c', text += std::to_string(column);
    return text;
}

// A table longer and wider than a page: every cell printed once, inside the printable area of its
// page, every page led by the header and every band by the first column that names the rows.
TEST_P(PrintWriterAtResolution, TablePrintPutsEveryCellOnAPageWithTheHeader) {
    constexpr int kRows = 180;
    constexpr int kColumns = 14;
    std::vector<std::vector<std::string>> header(1), rows;
    header[0].push_back("Row");
    for (int c = 1; c < kColumns; ++c)
        header[0].push_back(QStringLiteral("Heading%1%2").arg(c).arg(QString(24, u'x')).toStdString());
    for (int r = 0; r < kRows; ++r) {
        rows.emplace_back();
        for (int c = 0; c < kColumns; ++c)
            rows.back().push_back(CellWord(r, c));
    }
    QPrinter printer(QPrinter::HighResolution);
    Configure(printer, GetParam());
    printer.setPageOrientation(QPageLayout::Landscape);
    const QRectF printable = printer.pageLayout().paintRect(QPageLayout::Point);
    int pages = 0;
    int bands = 0;
    {
        TTablePrintWriter writer("Table of waters", &printer);
        writer.PrintTable(header, rows);
        writer.Close();
        pages = writer.PageCount();
        bands = writer.BandCount();
    }
    ASSERT_GE(bands, 2);
    ASSERT_GE(pages, 2 * bands);

    QProcess pdftotext;
    pdftotext.start(QStringLiteral(CALVARO_PDFTOTEXT), {"-bbox", PdfPath(), "-"});
    ASSERT_TRUE(pdftotext.waitForFinished(60000));
    const QString html = QString::fromUtf8(pdftotext.readAllStandardOutput());
    const QStringList printedPages = html.split(QStringLiteral("<page "), Qt::SkipEmptyParts).mid(1);
    ASSERT_EQ(static_cast<int>(printedPages.size()), pages);
    static const QRegularExpression word(
        R"re(<word xMin="([-\d.]+)" yMin="([-\d.]+)" xMax="([-\d.]+)" yMax="([-\d.]+)">([^<]*)</word>)re");
    std::map<std::string, int> seen;
    for (int p = 0; p < pages; ++p) {
        SCOPED_TRACE("page " + std::to_string(p + 1));
        bool hasHeader = false;
        for (auto it = word.globalMatch(printedPages[p]); it.hasNext();) {
            const auto m = it.next();
            const QRectF box(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                             QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()));
            // A tenth of a point of room for the font's measured box.
            EXPECT_TRUE(printable.adjusted(-0.1, -0.1, 0.1, 0.1).contains(box))
                << m.captured(5).toStdString();
            ++seen[m.captured(5).toStdString()];
            hasHeader = hasHeader || m.captured(5) == QStringLiteral("Row");
        }
        EXPECT_TRUE(hasHeader);
    }
    EXPECT_EQ(seen["Row"], pages);
    for (int r = 0; r < kRows; ++r) {
        EXPECT_EQ(seen[CellWord(r, 0)], bands) << "row " << r;
        for (int c = 1; c < kColumns; ++c)
            EXPECT_EQ(seen[CellWord(r, c)], 1) << "row " << r << " column " << c;
    }
}

// A carried note longer than the page, and a long sample name in the first column: before, the
// note ran off the paper's edge and the sample name pushed every other column to the right of it.
TEST_P(PrintWriterAtResolution, ACellWiderThanThePageIsCutWithAnEllipsisOnThePage) {
    std::string note = "NoteBegins";
    for (int i = 0; i < 60; ++i)
        note += " word" + std::to_string(i);
    note += " NoteEnds";
    const std::string sample = "Sample" + std::string(200, 'x') + "End";
    const std::vector<std::vector<std::string>> header = {{"Sample", "Notes", "pH"}};
    const std::vector<std::vector<std::string>> rows = {{sample, note, "7.25"}, {"Short", "ok", "8.10"}};
    QPrinter printer(QPrinter::HighResolution);
    Configure(printer, GetParam());
    const QRectF printable = printer.pageLayout().paintRect(QPageLayout::Point);
    {
        TTablePrintWriter writer("Table of waters", &printer);
        writer.PrintTable(header, rows);
        writer.Close();
    }
    const TPrintedPage page = ReadPdf(PdfPath());
    ASSERT_GE(page.Pages, 1);
    for (const auto& [text, box] : page.Words)
        EXPECT_TRUE(printable.adjusted(-0.1, -0.1, 0.1, 0.1)
                        .contains(QRectF(QPointF(box.XMin, box.YMin), QPointF(box.XMax, box.YMax))))
            << text;
    EXPECT_TRUE(page.Words.count("NoteBegins"));
    EXPECT_FALSE(page.Words.count("NoteEnds"));
    EXPECT_TRUE(page.Words.count("7.25"));
    EXPECT_TRUE(page.Words.count("ok"));
    const auto cut = std::find_if(page.Words.begin(), page.Words.end(), [](const auto& word) {
        return word.first.rfind("Sample", 0) == 0 && word.first != "Sample";
    });
    ASSERT_NE(cut, page.Words.end());
    EXPECT_EQ(cut->first.find("End"), std::string::npos);
    EXPECT_NE(cut->first.find("\u2026"), std::string::npos) << cut->first;
}

INSTANTIATE_TEST_SUITE_P(Printers, PrintWriterAtResolution, ::testing::Values(300, 600, 1200),
                         [](const auto& info) { return std::to_string(info.param) + "dpi"; });

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
