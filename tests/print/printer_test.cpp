#include "print/printer.h"

#include <gtest/gtest.h>

#include "print/fake_printer_service.h"
#include "print/print_dialog.h"
#include "print/print_note.h"
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

TFont NoteFontAt(std::int32_t height, std::int32_t pixelsPerInch) {
    TFont font = test::FontOf("ＭＳ ゴシック", height, pixelsPerInch);
    font.Charset = SHIFTJIS_CHARSET;
    font.Color = clBlack;
    return font;
}
const TFont NoteFont = NoteFontAt(-16, 96);

test::TListMemoLines Note(std::vector<std::string> lines) {
    test::TListMemoLines note;
    note.Lines = std::move(lines);
    return note;
}

TEST(PrinterFontTest, PointSizeAndHeightRoundHalvesAwayFromZero) {
    const struct {
        std::int32_t Height, PixelsPerInch, Size;
    } cases[] = {{-16, 96, 12}, {-16, 120, 10}, {-1, 144, 1}, {16, 96, -12}, {-20, 600, 2}};
    for (const auto& c : cases) {
        EXPECT_EQ(FontSize(test::FontOf("", c.Height, c.PixelsPerInch)), c.Size) << c.Height;
    }
    TFont font = test::FontOf("", 0, 600);
    SetFontSize(font, 10);
    EXPECT_EQ(font.Height, -83);
}

TEST(PrinterFontTest, NoteFontHandedToPrinterAtItsResolution) {
    const struct {
        std::int32_t ScreenPpi, NoteHeight, PrinterPpi, Expected;
    } cases[] = {{96, -16, 600, -100},
                 {120, -16, 600, -83},
                 // Copied as it is, not through the point size (which would give -17).
                 {600, -20, 600, -20}};
    for (const auto& c : cases) {
        test::TFakePrinterService service;
        service.PixelsPerInch = c.PrinterPpi;
        TPrinter printer(service, c.ScreenPpi);
        PrintLines(printer, Note({"x"}), NoteFontAt(c.NoteHeight, c.ScreenPpi));
        const std::string selected = "Font ＭＳ ゴシック " + std::to_string(c.Expected) + " @" +
                                     std::to_string(c.PrinterPpi);
        EXPECT_EQ(std::count(service.Log.begin(), service.Log.end(), selected), 1) << c.ScreenPpi;
        EXPECT_EQ(printer.Canvas().Font().Color, clBlack);
    }
}

class PrinterTest : public testing::Test {
protected:
    test::TFakePrinterService Service;
    TPrinter Printer{Service, 96};
    TPrintDialog Dialog;
};

TEST_F(PrinterTest, JobsShareTheDrawingContextAndCountPages) {
    Printer.StartJob();
    EXPECT_EQ(Printer.PageNumber(), 1);
    Printer.NextPage();
    EXPECT_EQ(Printer.PageNumber(), 2);
    Printer.EndJob();
    EXPECT_EQ(Printer.PageNumber(), 0);
    EXPECT_EQ(Printer.HandleState(), THandleState::Drawing);
    Printer.StartJob();
    Printer.EndJob();
    const std::vector<std::string> expected = {
        "DC PDF", "StartDoc ''", "StartPage", "EndPage", "StartPage", "EndPage",
        "EndDoc", "StartDoc ''", "StartPage", "EndPage", "EndDoc"};
    EXPECT_EQ(Service.Log, expected);
}

TEST_F(PrinterTest, EachMessageUnderItsCondition) {
    EXPECT_EQ(Raised([&] { Printer.EndJob(); }), msg::SNotPrinting);
    EXPECT_EQ(Raised([&] { Printer.NextPage(); }), msg::SNotPrinting);
    EXPECT_EQ(Raised([&] { Printer.Canvas().TextOut(0, 0, "x"); }), msg::SNotPrinting);
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
}

TEST_F(PrinterTest, DefaultPrinterMatchedIgnoringCaseOrNone) {
    Service.Default = "pdf";
    EXPECT_EQ(TPrinter(Service, 96).Current().Device, "PDF");
    for (const char* name : {"", "Gone"}) {
        Service.Default = name;
        TPrinter printer(Service, 96);
        EXPECT_EQ(Raised([&] { printer.StartJob(); }), msg::SNoDefaultPrinter) << name;
    }
}

TEST_F(PrinterTest, InvalidContextThenCloseErrorReplacesIt) {
    Service.RefuseContexts = true;
    EXPECT_EQ(Raised([&] { PrintLines(Printer, Note({"x"}), NoteFont); }), msg::SNotPrinting);
    EXPECT_EQ(Raised([&] { Printer.StartJob(); }), msg::SInvalidPrinter);
    EXPECT_EQ(Service.Log, (std::vector<std::string>{"DC PDF", "DC PDF"})) << "no job started";
}

TEST_F(PrinterTest, JobTheServiceRefusesIsReportedAndSendsNothing) {
    Service.RefuseStart = true;
    try {
        PrintLines(Printer, Note({"x"}), NoteFont);
        ADD_FAILURE() << "a refused job looked printed";
    } catch (const EOSError& error) {
        EXPECT_EQ(error.Message(), msg::SUnkOSError);
    }
    EXPECT_EQ(std::count(Service.Log.begin(), Service.Log.end(), "Text 0,0 x"), 0);
    EXPECT_EQ(std::count(Service.Log.begin(), Service.Log.end(), "EndDoc"), 0);
    EXPECT_FALSE(Printer.Printing());
}

TEST_F(PrinterTest, NewPageSelectsFontAgain) {
    PrintLines(Printer, Note({"a\fb"}), NoteFont);
    const std::vector<std::string> expected = {
        "DC PDF",     "StartDoc ''", "StartPage", "Font ＭＳ ゴシック -100 @600",
        "Text 0,0 a", "EndPage",     "StartPage", "Font ＭＳ ゴシック -100 @600",
        "Text 0,0 b", "EndPage",     "EndDoc"};
    EXPECT_EQ(Service.Log, expected);
}

TEST_F(PrinterTest, LineOfAnyLengthPrintsWholeMeasuredAboutOncePerLine) {
    const std::string line = std::string(100'000, 'a') + "bcd";
    PrintLines(Printer, Note({line}), NoteFont);
    std::string drawn;
    for (const std::string& entry : Service.Log) {
        if (entry.starts_with("Text ")) {
            drawn += entry.substr(entry.find(' ', 5) + 1);
        }
    }
    EXPECT_EQ(drawn, line);
    // Ten characters a line: measuring each line from the whole rest would be billions.
    EXPECT_LT(Service.LastContext->Canvas_.MeasuredBytes, 10 * line.size());
}

TEST_F(PrinterTest, DialogChoicesKeptForTheNextPrint) {
    std::vector<TPrintChoice> offered;
    Dialog.Show = [&](TPrintChoice& choice) {
        offered.push_back(choice);
        if (offered.size() == 1) {
            choice.Printer = {"Laser", "drv", "lp0"};
            choice.Settings = TDeviceSettings();
            choice.Settings->PaperName = "A5";
            choice.Collate = true;
            choice.Copies = 4;
        } else {
            choice.Copies = 1; // left to the settings block
        }
        return true;
    };
    EXPECT_TRUE(Dialog.Execute(Printer));
    EXPECT_EQ(Printer.Current().Device, "Laser");
    EXPECT_EQ(Printer.DeviceSettings()->PaperName, "A5");
    EXPECT_TRUE(Dialog.Execute(Printer));
    EXPECT_EQ(offered[0].Printer.Device, "PDF");
    EXPECT_EQ(offered[0].Settings->Copies, 3);
    EXPECT_EQ(offered[1].Printer.Device, "Laser");
    EXPECT_TRUE(offered[1].Collate);
    EXPECT_EQ(offered[1].Copies, 4);
    EXPECT_EQ(Dialog.Copies, 4) << "one copy reported takes the settings' count";
}

TEST_F(PrinterTest, DialogOkWhileAJobRunsIsRefused) {
    Dialog.Show = [](TPrintChoice&) { return true; };
    Printer.StartJob();
    EXPECT_EQ(Raised([&] { Dialog.Execute(Printer); }), msg::SPrinting);
    EXPECT_EQ(Printer.PageNumber(), 1);
    Printer.EndJob();
}

TEST(PrintDialogPlacementTest, CentredAcrossAndOneThirdDown) {
    EXPECT_EQ(DialogPosition({1920, 100, 3200, 1124}, 401, 301), (TPoint{2359, 341}));
}

} // namespace
} // namespace virevi
