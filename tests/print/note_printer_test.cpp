#include "print/note_printer.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPrintDialog>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <pwd.h>
#include <set>
#include <unistd.h>

#include "editor/memo.h"
#include "files/string_list.h"
#include "print/printer.h"
#include "runtime/errors.h"
#include "runtime/messages.h"
#include "runtime/shift_jis.h"
#include "support/list_memo_lines.h"
#include "support/temp_folder.h"

namespace virevi {
namespace {

// Output and exit code of a program, or exit code -1 when it did not finish in time.
struct TRun {
    int ExitCode = -1;
    QString Output;
};

TRun Run(const QString& program, const QStringList& arguments, int timeoutMs = 30000) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    TRun run;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
        return run;
    }
    run.Output = QString::fromUtf8(process.readAll());
    run.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return run;
}

QString Tool(const char* name) {
    return QStandardPaths::findExecutable(
        QString::fromLatin1(name),
        {"/usr/sbin", "/usr/bin", "/sbin", "/bin", "/usr/local/sbin", "/usr/local/bin"});
}

int PageCount(const QString& pdf) {
    const TRun info = Run(Tool("pdfinfo"), {pdf});
    for (const QString& line : info.Output.split('\n')) {
        if (line.startsWith("Pages:")) {
            return line.mid(6).trimmed().toInt();
        }
    }
    return -1;
}

// The non-empty lines of the text of `pdf`, pages from `first` to `last` (0: to the end).
QStringList TextLines(const QString& pdf, int first = 1, int last = 0) {
    QStringList arguments = {"-f", QString::number(first)};
    if (last > 0) {
        arguments << "-l" << QString::number(last);
    }
    arguments << pdf << "-";
    QStringList lines;
    for (const QString& line : Run(Tool("pdftotext"), arguments).Output.split('\n')) {
        const QString text = QString(line).remove('\f').trimmed();
        if (!text.isEmpty()) {
            lines << text;
        }
    }
    return lines;
}

std::string ShiftJis(const QString& text) {
    return EncodeShiftJis(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), text.size()));
}

// Presses OK in the real dialog as soon as it runs.
int PressOk(QPrintDialog& dialog) {
    QTimer::singleShot(0, &dialog, &QDialog::accept);
    return dialog.exec();
}

std::string Raised(const std::function<void()>& action) {
    try {
        action();
    } catch (const Exception& error) {
        return error.Message();
    }
    return "";
}

QStringList NoteText(int count) {
    QStringList lines;
    for (int i = 1; i <= count; ++i) {
        lines << (i % 2 == 0 ? QString("日本語の行 %1 です").arg(i)
                             : QString("ASCII line %1").arg(i));
    }
    return lines;
}

TEST(NotePrinterTest, JapaneseAndAsciiLinesToPdfOnThreePages) {
    if (Tool("pdftotext").isEmpty() || Tool("pdfinfo").isEmpty()) {
        GTEST_SKIP() << "poppler-utils (pdftotext, pdfinfo) is not installed";
    }
    test::TTempFolder folder;
    TNotePrinter notePrinter;
    notePrinter.RunDialog = PressOk;
    notePrinter.Printer().SetPrinter({"PDF", "", ""}, TDeviceSettings());
    TMemo memo;
    memo.resize(900, 600);
    memo.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&memo));

    // How many lines the first page takes, from the printout itself.
    TStringList probe;
    for (const QString& line : NoteText(200)) {
        probe.Add(ShiftJis(line));
    }
    memo.Assign(probe);
    const QString probePdf = QString::fromStdString(folder.File("probe.pdf"));
    notePrinter.Service().OutputFileName = probePdf.toStdString();
    notePrinter.Print(memo);
    const int perPage = static_cast<int>(TextLines(probePdf, 1, 1).size());
    ASSERT_GT(perPage, 10);

    const QStringList text = NoteText(2 * perPage + perPage / 2);
    TStringList lines;
    for (const QString& line : text) {
        lines.Add(ShiftJis(line));
    }
    memo.Assign(lines);
    const QString pdf = QString::fromStdString(folder.File("note.pdf"));
    notePrinter.Service().OutputFileName = pdf.toStdString();
    notePrinter.Print(memo);
    EXPECT_EQ(PageCount(pdf), 3);
    EXPECT_EQ(TextLines(pdf), text);
    EXPECT_EQ(notePrinter.Printer().Canvas().Font().Name, memo.font().family().toStdString());
}

TEST(NotePrinterTest, DialogPlacedWithItsChoicesAndCancelPrintsNothing) {
    test::TTempFolder folder;
    TNotePrinter notePrinter;
    notePrinter.Printer().SetPrinter({"PDF", "", ""}, TDeviceSettings());
    notePrinter.Service().OutputFileName = folder.File("none.pdf");
    notePrinter.RunDialog = [](QPrintDialog& dialog) {
        EXPECT_EQ(dialog.objectName(), "diaPrint");
        EXPECT_EQ(dialog.printRange(), QAbstractPrintDialog::AllPages);
        EXPECT_FALSE(dialog.testOption(QAbstractPrintDialog::PrintToFile));
        EXPECT_FALSE(dialog.testOption(QAbstractPrintDialog::PrintPageRange));
        EXPECT_FALSE(dialog.testOption(QAbstractPrintDialog::PrintSelection));
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        EXPECT_EQ(dialog.pos(), QPoint((screen.width() - dialog.width()) / 2,
                                       (screen.height() - dialog.height()) / 3));
        QTimer::singleShot(0, &dialog, &QDialog::reject);
        return dialog.exec();
    };
    test::TListMemoLines note;
    note.Lines = {"x"};
    notePrinter.Print(note);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(folder.File("none.pdf"))));
}

TEST(NotePrinterTest, PrintWhileAJobSpoolsIsRefusedAndTheJobGoesOn) {
    test::TTempFolder folder;
    TNotePrinter notePrinter;
    notePrinter.Printer().SetPrinter({"PDF", "", ""}, TDeviceSettings());
    const QString pdf = QString::fromStdString(folder.File("note.pdf"));
    notePrinter.Service().OutputFileName = pdf.toStdString();
    test::TListMemoLines note;
    note.Lines = {"first", "\fsecond"};
    // The user chooses Print again once the first job has started.
    std::string nested = "not run";
    int dialogs = 0;
    notePrinter.RunDialog = [&](QPrintDialog& dialog) {
        const int result = PressOk(dialog);
        if (++dialogs == 1) {
            QTimer::singleShot(0, [&] { nested = Raised([&] { notePrinter.Print(note); }); });
        }
        return result;
    };
    notePrinter.Print(note);
    EXPECT_EQ(dialogs, 2);
    EXPECT_EQ(nested, msg::SPrinting);
    EXPECT_EQ(PageCount(pdf), 2);
}

// The CUPS scheduler: the one running, or one started here (as root) and
// stopped again at the end.
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
        if (!Started_.waitForStarted(10000)) {
            WhyNot = "cupsd could not be started";
            return;
        }
        for (int i = 0; i < 100 && !Running(); ++i) {
            QTest::qWait(100);
        }
        if (!Running()) {
            WhyNot = "cupsd did not answer within 10 s: " + QString::fromUtf8(Started_.readAll());
        }
    }
    ~TCupsScheduler() {
        if (Started_.state() == QProcess::NotRunning) {
            return;
        }
        Started_.terminate();
        if (!Started_.waitForFinished(10000)) {
            Started_.kill();
            Started_.waitForFinished(5000);
        }
    }
    static bool Running() {
        return Run(Tool("lpstat"), {"-r"}, 5000).Output.contains("scheduler is running");
    }
    QString WhyNot;

private:
    QProcess Started_;
};

// A cups-pdf queue made the default for the test; the previous default comes back after it.
class TCupsPdfQueue {
public:
    explicit TCupsPdfQueue(const QString& name) : Name(name) {
        const QString previous = Run(Tool("lpstat"), {"-d"}, 5000).Output;
        if (previous.contains(':')) {
            Previous_ = previous.section(':', 1).trimmed();
        }
        QStringList models = QDir("/usr/share/ppd/cups-pdf").entryList({"CUPS-PDF_opt.ppd"});
        QStringList arguments = {"-p", Name, "-E", "-v", "cups-pdf:/"};
        if (!models.isEmpty()) {
            arguments << "-P"
                      << "/usr/share/ppd/cups-pdf/" + models.front();
        }
        const TRun added = Run(Tool("lpadmin"), arguments);
        if (added.ExitCode != 0) {
            WhyNot = "lpadmin could not add a cups-pdf printer: " + added.Output;
            return;
        }
        Added_ = true;
        const TRun chosen = Run(Tool("lpadmin"), {"-d", Name});
        if (chosen.ExitCode != 0) {
            WhyNot = "lpadmin could not make the printer the default: " + chosen.Output;
        }
    }
    ~TCupsPdfQueue() {
        if (!Added_) {
            return;
        }
        Run(Tool("lpadmin"), {"-x", Name});
        if (!Previous_.isEmpty()) {
            Run(Tool("lpadmin"), {"-d", Previous_});
        }
    }
    QString Name;
    QString WhyNot;

private:
    QString Previous_;
    bool Added_ = false;
};

// Where cups-pdf may put the file of a job by this user: the folder its
// configuration names, then the usual places.
QStringList CupsPdfFolders() {
    const passwd* user = ::getpwuid(::geteuid());
    const QString home = user != nullptr ? QString::fromLocal8Bit(user->pw_dir) : QDir::homePath();
    const QString name = user != nullptr ? QString::fromLocal8Bit(user->pw_name) : QString();
    QStringList folders;
    QFile config("/etc/cups/cups-pdf.conf");
    if (config.open(QIODevice::ReadOnly)) {
        for (const QString& raw : QString::fromUtf8(config.readAll()).split('\n')) {
            const QString line = raw.trimmed();
            if (line.startsWith("Out ") || line.startsWith("Out\t") ||
                line.startsWith("AnonDirName")) {
                QString folder = line.section(QRegularExpression("\\s+"), 1).trimmed();
                folder.replace("${HOME}", home).replace("${USER}", name);
                folders << folder;
            }
        }
    }
    folders << home + "/PDF"
            << "/var/spool/cups-pdf/" + name << "/var/spool/cups-pdf/ANONYMOUS";
    folders.removeDuplicates();
    return folders;
}

std::set<QString> PdfsIn(const QStringList& folders) {
    std::set<QString> files;
    for (const QString& folder : folders) {
        for (const QFileInfo& file : QDir(folder).entryInfoList({"*.pdf"}, QDir::Files)) {
            files.insert(file.absoluteFilePath());
        }
    }
    return files;
}

TEST(NotePrinterCupsTest, PrintsOnTheDefaultCupsPrinter) {
    for (const char* tool : {"cupsd", "lpadmin", "lpstat", "pdfinfo", "pdftotext"}) {
        if (Tool(tool).isEmpty()) {
            GTEST_SKIP() << tool << " is not installed";
        }
    }
    if (!QFile::exists("/usr/lib/cups/backend/cups-pdf")) {
        GTEST_SKIP() << "the cups-pdf backend (printer-driver-cups-pdf) is not installed";
    }
    TCupsScheduler scheduler;
    if (!scheduler.WhyNot.isEmpty()) {
        GTEST_SKIP() << scheduler.WhyNot.toStdString();
    }
    test::TListMemoLines note;
    note.Lines = {"virevi CUPS page one", "\fvirevi CUPS page two", ShiftJis("日本語")};

    {
        // A default that CUPS does not list counts as none.
        qputenv("PRINTER", "virevi-no-such-printer");
        qunsetenv("LPDEST");
        TNotePrinter notePrinter;
        bool opened = false;
        notePrinter.RunDialog = [&](QPrintDialog&) {
            opened = true;
            return int(QDialog::Accepted);
        };
        EXPECT_EQ(Raised([&] { notePrinter.Print(note); }), msg::SNoDefaultPrinter);
        EXPECT_FALSE(opened);
        qunsetenv("PRINTER");
    }

    TCupsPdfQueue queue(QString("virevi-test-%1").arg(::getpid()));
    if (!queue.WhyNot.isEmpty()) {
        GTEST_SKIP() << queue.WhyNot.toStdString();
    }
    const QStringList folders = CupsPdfFolders();
    const std::set<QString> before = PdfsIn(folders);

    TNotePrinter notePrinter;
    notePrinter.RunDialog = PressOk;
    notePrinter.Print(note);
    EXPECT_EQ(notePrinter.Printer().Current().Device, queue.Name.toStdString());

    QString produced;
    for (int i = 0; i < 600 && produced.isEmpty(); ++i) {
        QTest::qWait(100);
        for (const QString& file : PdfsIn(folders)) {
            // cups-pdf writes the file in place: wait until it reads as a whole PDF.
            if (before.count(file) == 0 && PageCount(file) > 0) {
                produced = file;
            }
        }
    }
    ASSERT_FALSE(produced.isEmpty())
        << "no PDF in " << folders.join(", ").toStdString() << " within 60 s";
    // The text itself does not survive the driver's conversion as text, only as drawings.
    EXPECT_EQ(PageCount(produced), 2);
    QFile::remove(produced);
}

} // namespace
} // namespace virevi
