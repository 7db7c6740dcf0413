#include "print/printer.h"

#include <gtest/gtest.h>

#include "print/fake_printer_service.h"
#include "print/print_dialog.h"
#include "print/print_note.h"
#include "print/printer_text_device.h"
#include "runtime/errors.h"
#include "runtime/messages.h"
#include "support/list_memo_lines.h"

namespace virevi {
namespace {

// The message of the EPrinter that `action` raises, or "" when it raises none.
template <typename TAction> std::string Raised(TAction action) {
    try {
        action();
    } catch (const EPrinter& error) {
        return error.Message();
    }
    return "";
}

// The note editor's font on a screen of 96 pixels per inch.
TFont NoteFontAt(std::int32_t height, std::int32_t pixelsPerInch) {
    TFont font = test::FontOf("ＭＳ ゴシック", height, pixelsPerInch);
    font.Charset = SHIFTJIS_CHARSET;
    font.Color = clBlack;
    return font;
}
const TFont NoteFont = NoteFontAt(-16, 96);

struct TFontCase {
    const char* Name;
    std::int32_t Height, PixelsPerInch, Size;
};

const TFontCase SizeCases[] = {
    {"ScreenNoteFont", -16, 96, 12},       {"PrinterNoteFont", -100, 600, 12},
    {"LargeScreenRoundsUp", -16, 120, 10}, {"HalfRoundsAwayFromZero", -1, 144, 1},
    {"PositiveCellHeight", 16, 96, -12},   {"BelowHalfRoundsDown", -20, 600, 2},
};

TEST(PrinterFontTest, PointSizeOfHeight) {
    for (const TFontCase& c : SizeCases) {
        EXPECT_EQ(FontSize(test::FontOf("", c.Height, c.PixelsPerInch)), c.Size) << c.Name;
    }
}

TEST(PrinterFontTest, HeightOfPointSize) {
    TFont font = test::FontOf("", 0, 600);
    SetFontSize(font, 10);
    EXPECT_EQ(font.Height, -83);
    SetFontSize(font, 12);
    EXPECT_EQ(font.Height, -100);
    font.PixelsPerInch = 144;
    SetFontSize(font, 1); // 2 pixels exactly
    EXPECT_EQ(font.Height, -2);
}

struct THandOverCase {
    const char* Name;
    std::int32_t ScreenPpi, NoteHeight, PrinterPpi, Expected;
};

const THandOverCase HandOverCases[] = {
    {"Screen96To600", 96, -16, 600, -100},
    {"Screen120To600", 120, -16, 600, -83},
    // Copied as it is, not through the point size (which would give -17).
    {"SameResolutionKeepsHeight", 600, -20, 600, -20},
};

TEST(PrinterFontTest, NoteFontHandedToPrinterAtItsResolution) {
    for (const THandOverCase& c : HandOverCases) {
        test::TFakePrinterService service;
        service.PixelsPerInch = c.PrinterPpi;
        TPrinter printer(service, c.ScreenPpi);
        test::TListMemoLines note;
        note.Lines = {"x"};
        PrintLines(printer, note, NoteFontAt(c.NoteHeight, c.ScreenPpi));
        const std::string selected = "Font ＭＳ ゴシック " + std::to_string(c.Expected) + " @" +
                                     std::to_string(c.PrinterPpi);
        EXPECT_EQ(std::count(service.Log.begin(), service.Log.end(), selected), 1) << c.Name;
        EXPECT_EQ(printer.Canvas().Font().Color, clBlack);
        EXPECT_EQ(printer.Canvas().Font().Charset, SHIFTJIS_CHARSET);
    }
}

class PrinterTest : public testing::Test {
protected:
    test::TFakePrinterService Service;
    TPrinter Printer{Service, 96};
};

TEST_F(PrinterTest, JobStatesAndPages) {
    EXPECT_EQ(Printer.HandleState(), THandleState::None);
    Printer.StartJob();
    EXPECT_TRUE(Printer.Printing());
    EXPECT_EQ(Printer.PageNumber(), 1);
    EXPECT_EQ(Printer.HandleState(), THandleState::Drawing);
    Printer.NextPage();
    EXPECT_EQ(Printer.PageNumber(), 2);
    Printer.EndJob();
    EXPECT_FALSE(Printer.Printing());
    EXPECT_EQ(Printer.PageNumber(), 0);
    EXPECT_EQ(Printer.HandleState(), THandleState::Drawing);
    // The second job draws on the same context.
    Printer.StartJob();
    Printer.EndJob();
    const std::vector<std::string> expected = {
        "DC PDF", "StartDoc ''", "StartPage", "EndPage", "StartPage", "EndPage",
        "EndDoc", "StartDoc ''", "StartPage", "EndPage", "EndDoc"};
    EXPECT_EQ(Service.Log, expected);
}

TEST_F(PrinterTest, AbortCallbackLetsEventsRunAndGoesOn) {
    int processed = 0;
    Printer.ProcessMessages = [&] { ++processed; };
    Printer.StartJob();
    EXPECT_TRUE(Service.LastContext->KeepGoing());
    EXPECT_EQ(processed, 1);
    Printer.EndJob();
}

TEST_F(PrinterTest, EachMessageUnderItsCondition) {
    EXPECT_EQ(Raised([&] { Printer.EndJob(); }), msg::SNotPrinting);
    EXPECT_EQ(Raised([&] { Printer.NextPage(); }), msg::SNotPrinting);
    EXPECT_EQ(Raised([&] { Printer.Canvas().TextOut(0, 0, "x"); }), msg::SNotPrinting);
    EXPECT_EQ(Raised([&] { Printer.Canvas().TextWidth("x"); }), msg::SNotPrinting);
    Printer.StartJob();
    EXPECT_EQ(Raised([&] { Printer.StartJob(); }), msg::SPrinting);
    EXPECT_EQ(Raised([&] { Printer.SetCopies(2); }), msg::SPrinting);
    EXPECT_EQ(Raised([&] {
                  Printer.SetPrinter({"Laser", "drv", "lp0"}, std::nullopt);
              }),
              msg::SPrinting);
    EXPECT_EQ(Printer.PageNumber(), 1) << "the running job is not touched";
    Printer.EndJob();
    Printer.SetPrinter({"Laser", "drv", "lp0"}, std::nullopt);
    EXPECT_EQ(Printer.HandleState(), THandleState::None);
    EXPECT_EQ(Raised([&] { Printer.Copies(); }), msg::SPrinterNotSupported);
    EXPECT_EQ(Raised([&] { Printer.SetCopies(2); }), msg::SPrinterNotSupported);
}

TEST_F(PrinterTest, DefaultPrinterMatchedIgnoringCase) {
    Service.Default = "pdf";
    EXPECT_EQ(Printer.Current().Device, "PDF");
    EXPECT_EQ(Printer.Copies(), 3);
}

TEST_F(PrinterTest, NoDefaultPrinter) {
    for (const char* name : {"", "Gone"}) {
        Service.Default = name;
        EXPECT_EQ(Raised([&] { Printer.Current(); }), msg::SNoDefaultPrinter) << name;
        EXPECT_EQ(Raised([&] { Printer.StartJob(); }), msg::SNoDefaultPrinter) << name;
        EXPECT_FALSE(Printer.Printing());
    }
}

TEST_F(PrinterTest, PageSizeFromAnInformationContextOutsideAJob) {
    EXPECT_EQ(Printer.PageWidth(), 100);
    EXPECT_EQ(Printer.PageHeight(), 200);
    EXPECT_EQ(Printer.HandleState(), THandleState::Information);
    Printer.StartJob();
    Printer.EndJob();
    EXPECT_EQ(Service.Log.front(), "IC PDF");
    EXPECT_EQ(Service.Log[1], "DC PDF");
}

TEST_F(PrinterTest, InvalidContextThenCloseErrorReplacesIt) {
    Service.RefuseContexts = true;
    test::TListMemoLines note;
    note.Lines = {"x"};
    EXPECT_EQ(Raised([&] { PrintLines(Printer, note, NoteFont); }), msg::SNotPrinting);
    EXPECT_EQ(Raised([&] { Printer.StartJob(); }), msg::SInvalidPrinter);
    EXPECT_EQ(Printer.HandleState(), THandleState::None);
    EXPECT_EQ(Service.Log, (std::vector<std::string>{"DC PDF", "DC PDF"})) << "no job started";
}

TEST_F(PrinterTest, DestroyingPrinterEndsRunningJob) {
    {
        TPrinter printer(Service, 96);
        printer.StartJob();
    }
    EXPECT_EQ(Service.Log.back(), "EndDoc");
}

TEST_F(PrinterTest, NewPageSelectsFontAgain) {
    test::TListMemoLines note;
    note.Lines = {"a\fb"};
    PrintLines(Printer, note, NoteFont);
    const std::vector<std::string> expected = {
        "DC PDF",     "StartDoc ''", "StartPage", "Font ＭＳ ゴシック -100 @600",
        "Text 0,0 a", "EndPage",     "StartPage", "Font ＭＳ ゴシック -100 @600",
        "Text 0,0 b", "EndPage",     "EndDoc"};
    EXPECT_EQ(Service.Log, expected);
}

TEST_F(PrinterTest, LineOfAnyLengthPrintsWholeMeasuredAboutOncePerLine) {
    test::TListMemoLines note;
    note.Lines = {std::string(100'000, 'a') + "bcd"};
    PrintLines(Printer, note, NoteFont);
    std::string drawn;
    for (const std::string& entry : Service.Log) {
        if (entry.starts_with("Text ")) {
            drawn += entry.substr(entry.find(' ', 5) + 1);
        }
    }
    EXPECT_EQ(drawn, note.Lines[0]);
    // Ten characters a line: measuring each line from the whole rest would be billions.
    EXPECT_LT(Service.LastContext->Canvas_.MeasuredBytes, 10 * note.Lines[0].size());
}

class PrintDialogTest : public PrinterTest {
protected:
    TPrintDialog Dialog;
    std::vector<TPrintChoice> Offered;
    // Answers the dialog: `change` edits what it offers, `ok` closes it with OK.
    void Answer(bool ok, std::function<void(TPrintChoice&)> change = {}) {
        Dialog.Show = [this, ok, change](TPrintChoice& choice) {
            Offered.push_back(choice);
            if (change) {
                change(choice);
            }
            return ok;
        };
    }
};

TEST_F(PrintDialogTest, CancelChangesNothingAndPrintsNothing) {
    Answer(false, [](TPrintChoice& choice) {
        choice.Collate = true;
        choice.Printer = {"Laser", "drv", "lp0"};
    });
    test::TListMemoLines note;
    note.Lines = {"x"};
    PrintNote(Dialog, Printer, note, NoteFont);
    EXPECT_FALSE(Dialog.Collate);
    EXPECT_EQ(Printer.Current().Device, "PDF");
    EXPECT_TRUE(Service.Log.empty());
}

TEST_F(PrintDialogTest, ChoicesKeptForTheNextPrint) {
    Answer(true, [](TPrintChoice& choice) {
        choice.Printer = {"Laser", "drv", "lp0"};
        choice.Settings = TDeviceSettings();
        choice.Settings->PaperName = "A5";
        choice.Collate = true;
        choice.Copies = 4;
    });
    EXPECT_TRUE(Dialog.Execute(Printer));
    EXPECT_EQ(Printer.Current().Device, "Laser");
    EXPECT_EQ(Printer.Copies(), 4);
    EXPECT_EQ(Printer.DeviceSettings()->PaperName, "A5");
    Answer(true);
    EXPECT_TRUE(Dialog.Execute(Printer));
    ASSERT_EQ(Offered.size(), 2u);
    EXPECT_EQ(Offered[0].Printer.Device, "PDF");
    EXPECT_EQ(Offered[0].Settings->Copies, 3);
    EXPECT_EQ(Offered[1].Printer.Device, "Laser");
    EXPECT_TRUE(Offered[1].Collate);
    EXPECT_EQ(Offered[1].Copies, 4);
}

TEST_F(PrintDialogTest, OneCopyReportedTakesTheSettingsCount) {
    Answer(true, [](TPrintChoice& choice) { choice.Copies = 1; });
    Dialog.Execute(Printer);
    EXPECT_EQ(Dialog.Copies, 3);
}

TEST_F(PrintDialogTest, CopiesWithoutSettingsNotSupported) {
    Answer(true, [](TPrintChoice& choice) { choice.Settings.reset(); });
    EXPECT_EQ(Raised([&] { Dialog.Execute(Printer); }), msg::SPrinterNotSupported);
}

TEST_F(PrintDialogTest, OkWhileAJobRunsIsRefused) {
    Answer(true);
    Printer.StartJob();
    EXPECT_EQ(Raised([&] { Dialog.Execute(Printer); }), msg::SPrinting);
    EXPECT_EQ(Printer.PageNumber(), 1);
    Printer.EndJob();
}

TEST_F(PrintDialogTest, NoDefaultPrinterOpensNoDialog) {
    Service.Default = "";
    Answer(true);
    EXPECT_EQ(Raised([&] { Dialog.Execute(Printer); }), msg::SNoDefaultPrinter);
    EXPECT_TRUE(Offered.empty());
}

TEST(PrintDialogPlacementTest, CentredAcrossAndOneThirdDown) {
    EXPECT_EQ(DialogPosition({0, 0, 1920, 1080}, 400, 300), (TPoint{760, 260}));
    EXPECT_EQ(DialogPosition({1920, 100, 3200, 1124}, 401, 301), (TPoint{2359, 341}));
}

TEST(OSErrorMessageTest, CodeAndSystemText) {
    EXPECT_EQ(OSErrorMessage(5, "Access denied"), "システムエラー。コード：5.\r\nAccess denied");
    EXPECT_EQ(OSErrorMessage(0, "whatever"), "OS 機能呼び出しの失敗");
}

} // namespace
} // namespace virevi
