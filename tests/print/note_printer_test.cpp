#include "print/qt/note_printer.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPrintDialog>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <pwd.h>
#include <set>
#include <unistd.h>

#include "editor/qt/memo.h"
#include "files/string_list.h"
#include "print/printer.h"
#include "runtime/errors.h"
#include "runtime/messages.h"
#include "runtime/qt/qt_shift_jis.h"
#include "support/list_memo_lines.h"
#include "support/temp_folder.h"

namespace virevi {
namespace {

QString Tool(const char* name) {
    return QStandardPaths::findExecutable(name, {"/usr/sbin", "/usr/bin", "/sbin", "/bin"});
}

// What a program printed, or "" when it failed or did not finish in time.
QString Run(const char* tool, const QStringList& arguments, int timeoutMs = 30000) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(Tool(tool), arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
        return {};
    }
    const QString output = QString::fromUtf8(process.readAll());
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 ? output
                                                                                   : QString();
}

int PageCount(const QString& pdf) {
    const QRegularExpressionMatch pages =
        QRegularExpression("Pages:\\s*(\\d+)").match(Run("pdfinfo", {pdf}));
    return pages.hasMatch() ? pages.captured(1).toInt() : -1;
}

// The non-empty lines of the text of `pdf` from page `first` to `last`.
QStringList TextLines(const QString& pdf, int first, int last) {
    QStringList lines;
    const QString text =
        Run("pdftotext", {"-f", QString::number(first), "-l", QString::number(last), pdf, "-"});
    for (const QString& line : text.split(QRegularExpression("[\\n\\f]"))) {
        if (!line.trimmed().isEmpty()) {
            lines << line.trimmed();
        }
    }
    return lines;
}

// The top-left corner of the ink on page 1 of `pdf`, in points.
QPoint InkCorner(const QString& pdf) {
    const QTemporaryDir folder;
    const QString prefix = folder.filePath("page");
    Run("pdftoppm",
        {"-r", "72", "-f", "1", "-l", "1", "-gray", "-png", "-singlefile", pdf, prefix});
    const QImage page(prefix + ".png");
    QPoint corner(page.width(), page.height());
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            if (qGray(page.pixel(x, y)) < 128) {
                corner = {std::min(corner.x(), x), std::min(corner.y(), y)};
            }
        }
    }
    return corner;
}

std::string ShiftJis(const QString& text) {
    return ToShiftJis(text);
}

std::string Raised(const std::function<void()>& action) {
    try {
        action();
    } catch (const Exception& error) {
        return error.Message();
    }
    return "";
}

// Presses OK in the real dialog as soon as it runs.
int PressOk(QPrintDialog& dialog) {
    QTimer::singleShot(0, &dialog, &QDialog::accept);
    return dialog.exec();
}

class NotePrinterTest : public testing::Test {
protected:
    // Prints `note` to a PDF file of the test folder, and returns the file's path.
    QString PrintToPdf(const TMemoLines& note, const std::string& name) {
        const QString pdf = QString::fromStdString(Folder.File(name));
        NotePrinter.Service().OutputFileName = pdf.toStdString();
        NotePrinter.Print(note);
        return pdf;
    }
    test::TTempFolder Folder;
    TNotePrinter NotePrinter;
    void SetUp() override {
        if (Tool("pdftotext").isEmpty() || Tool("pdfinfo").isEmpty()) {
            GTEST_SKIP() << "poppler-utils (pdftotext, pdfinfo) is not installed";
        }
        NotePrinter.RunDialog = PressOk;
        NotePrinter.Printer().SetPrinter({"PDF", "", ""}, TDeviceSettings());
    }
};

TEST_F(NotePrinterTest, JapaneseAndAsciiLinesOnThreePages) {
    TMemo memo;
    memo.resize(900, 600);
    memo.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&memo));
    QStringList text;
    TStringList lines;
    const auto fill = [&](int count) {
        text.clear();
        lines.Clear();
        for (int i = 1; i <= count; ++i) {
            text << (i % 2 == 0 ? QString("日本語の行 %1 です").arg(i)
                                : QString("ASCII %1").arg(i));
            lines.Add(ShiftJis(text.back()));
        }
        memo.Assign(lines);
    };
    NotePrinter.RunDialog = [](QPrintDialog& dialog) {
        EXPECT_EQ(dialog.objectName(), "diaPrint");
        EXPECT_FALSE(dialog.testOption(QAbstractPrintDialog::PrintToFile));
        EXPECT_FALSE(dialog.testOption(QAbstractPrintDialog::PrintPageRange));
        EXPECT_FALSE(dialog.testOption(QAbstractPrintDialog::PrintSelection));
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        EXPECT_EQ(dialog.pos(), QPoint((screen.width() - dialog.width()) / 2,
                                       (screen.height() - dialog.height()) / 3));
        return PressOk(dialog);
    };
    // How many lines a page takes, from a printout.
    fill(200);
    const int perPage = static_cast<int>(TextLines(PrintToPdf(memo, "probe.pdf"), 1, 1).size());
    ASSERT_GT(perPage, 10);

    fill(2 * perPage + perPage / 2);
    const QString pdf = PrintToPdf(memo, "note.pdf");
    EXPECT_EQ(PageCount(pdf), 3);
    EXPECT_EQ(TextLines(pdf, 1, 3), text);
    // A PDF printer prints to the paper's edge: the text starts at its corner,
    // apart from the letters' own bearings.
    const QPoint ink = InkCorner(pdf);
    EXPECT_LE(ink.x(), 4) << ink.x() << "," << ink.y();
    EXPECT_LE(ink.y(), 6) << ink.x() << "," << ink.y();
}

TEST_F(NotePrinterTest, PrintWhileAJobSpoolsIsRefusedAndTheJobGoesOn) {
    test::TListMemoLines note;
    note.Lines = {"first", "\fsecond"};
    // The user chooses Print again once the first job has started.
    std::string nested = "not run";
    int dialogs = 0;
    NotePrinter.RunDialog = [&](QPrintDialog& dialog) {
        const int result = PressOk(dialog);
        if (++dialogs == 1) {
            QTimer::singleShot(0, [&] { nested = Raised([&] { NotePrinter.Print(note); }); });
        }
        return result;
    };
    EXPECT_EQ(PageCount(PrintToPdf(note, "note.pdf")), 2);
    EXPECT_EQ(dialogs, 2);
    EXPECT_EQ(nested, msg::SPrinting);
}

// The CUPS scheduler that runs, or one started here (as root) and stopped at the end.
class TCupsScheduler {
public:
    TCupsScheduler() {
        if (Running()) {
            return;
        }
        if (::geteuid() != 0) {
            WhyNot = "the CUPS scheduler is not running and only root may start it";
            return;
        }
        Started_.start(Tool("cupsd"), {"-f"});
        for (int i = 0; i < 100 && !Running(); ++i) {
            QTest::qWait(100);
        }
        if (!Running()) {
            WhyNot = "cupsd did not start within 10 s: " + Started_.readAll().toStdString();
        }
    }
    ~TCupsScheduler() {
        Started_.terminate();
        if (!Started_.waitForFinished(10000)) {
            Started_.kill();
            Started_.waitForFinished(5000);
        }
    }
    static bool Running() { return Run("lpstat", {"-r"}, 5000).contains("scheduler is running"); }
    std::string WhyNot;

private:
    QProcess Started_;
};

// A cups-pdf printer made the default; the previous default comes back after it.
class TCupsPdfPrinter {
public:
    const QString Name = QString("virevi-test-%1").arg(::getpid());
    TCupsPdfPrinter() {
        Previous_ = Run("lpstat", {"-d"}).section(':', 1).trimmed();
        QStringList arguments = {"-p", Name, "-E", "-v", "cups-pdf:/"};
        const QString model = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd";
        if (QFile::exists(model)) {
            arguments << "-P" << model;
        }
        Added_ = Tool("lpadmin").size() > 0 && QProcess::execute(Tool("lpadmin"), arguments) == 0;
        Made_ = Added_ && QProcess::execute(Tool("lpadmin"), {"-d", Name}) == 0;
    }
    ~TCupsPdfPrinter() {
        if (Added_) {
            QProcess::execute(Tool("lpadmin"), {"-x", Name});
        }
        if (!Previous_.isEmpty()) {
            QProcess::execute(Tool("lpadmin"), {"-d", Previous_});
        }
    }
    bool Ready() const { return Made_; }

private:
    QString Previous_;
    bool Added_ = false;
    bool Made_ = false;
};

// The PDF files where cups-pdf may put the job of this user: the folders its
// configuration names, then the usual places.
std::set<QString> CupsPdfFiles() {
    const passwd* user = ::getpwuid(::geteuid());
    const QString home = user ? QString::fromLocal8Bit(user->pw_dir) : QDir::homePath();
    const QString name = user ? QString::fromLocal8Bit(user->pw_name) : QString();
    QStringList folders = {home + "/PDF", "/var/spool/cups-pdf/" + name,
                           "/var/spool/cups-pdf/ANONYMOUS"};
    QFile config("/etc/cups/cups-pdf.conf");
    if (config.open(QIODevice::ReadOnly)) {
        const QRegularExpression setting("^\\s*(Out|AnonDirName)\\s+(\\S+)",
                                         QRegularExpression::MultilineOption);
        for (const auto& match : setting.globalMatch(QString::fromUtf8(config.readAll()))) {
            folders << match.captured(2).replace("${HOME}", home).replace("${USER}", name);
        }
    }
    std::set<QString> files;
    for (const QString& folder : folders) {
        for (const QString& file : QDir(folder).entryList({"*.pdf"}, QDir::Files)) {
            files.insert(QDir(folder).absoluteFilePath(file));
        }
    }
    return files;
}

TEST(NotePrinterCupsTest, PrintsOnTheDefaultCupsPrinter) {
    for (const char* tool : {"cupsd", "lpadmin", "lpstat", "pdfinfo"}) {
        if (Tool(tool).isEmpty()) {
            GTEST_SKIP() << tool << " is not installed";
        }
    }
    if (!QFile::exists("/usr/lib/cups/backend/cups-pdf")) {
        GTEST_SKIP() << "the cups-pdf backend (printer-driver-cups-pdf) is not installed";
    }
    TCupsScheduler scheduler;
    if (!scheduler.WhyNot.empty()) {
        GTEST_SKIP() << scheduler.WhyNot;
    }
    test::TListMemoLines note;
    note.Lines = {"virevi CUPS page one", "\fvirevi CUPS page two", ShiftJis("日本語")};
    {
        // A default that CUPS does not list is no default.
        qputenv("PRINTER", "virevi-no-such-printer");
        TNotePrinter notePrinter;
        bool opened = false;
        notePrinter.RunDialog = [&](QPrintDialog&) {
            return opened = true, int(QDialog::Accepted);
        };
        EXPECT_EQ(Raised([&] { notePrinter.Print(note); }), msg::SNoDefaultPrinter);
        EXPECT_FALSE(opened);
        qunsetenv("PRINTER");
    }

    TCupsPdfPrinter printer;
    ASSERT_TRUE(printer.Ready()) << "lpadmin could not add a cups-pdf printer as the default";
    const std::set<QString> before = CupsPdfFiles();
    TNotePrinter notePrinter;
    notePrinter.RunDialog = PressOk;
    notePrinter.Print(note);
    EXPECT_EQ(notePrinter.Printer().Current().Device, printer.Name.toStdString());

    QString produced;
    for (int i = 0; i < 600 && produced.isEmpty(); ++i) {
        QTest::qWait(100);
        for (const QString& file : CupsPdfFiles()) {
            // cups-pdf writes the file in place: wait until it reads as a whole PDF.
            if (before.count(file) == 0 && PageCount(file) > 0) {
                produced = file;
            }
        }
    }
    ASSERT_FALSE(produced.isEmpty()) << "cups-pdf wrote no PDF within 60 s";
    // The driver turns the text into drawings, so only the pages and the ink
    // can be checked. The queue can print the whole page: no margins.
    EXPECT_EQ(PageCount(produced), 2);
    const QPoint ink = InkCorner(produced);
    EXPECT_LE(ink.x(), 4) << ink.x() << "," << ink.y();
    EXPECT_LE(ink.y(), 6) << ink.x() << "," << ink.y();
    QFile::remove(produced);
}

} // namespace
} // namespace virevi
