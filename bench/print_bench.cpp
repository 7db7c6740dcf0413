// Printing a long note to Qt's PDF printer: with word wrap on, each printed
// line is a displayed line of the editor's layout, and reading them one after
// another must cost about what reading hard lines does.
#include <benchmark/benchmark.h>

#include <QDialog>
#include <QPrintDialog>
#include <QTimer>

#include <string>

#include "bench_support.h"
#include "editor/qt/memo.h"
#include "files/string_list.h"
#include "offscreen_application.h"
#include "print/printer.h"
#include "print/qt/note_printer.h"

namespace virevi::bench {
namespace {

constexpr int DisplayedLines = 20000;
// Forty letters a word, wide enough that the editor's width holds two words
// of a hard line but not three.
const std::string Word(40, 'w');

void PrintNote(benchmark::State& state, bool wrapped) {
    EnsureApplication();
    TMemo memo;
    memo.resize(900, 600);
    memo.show();
    TStringList lines;
    if (wrapped) {
        // Each hard line of four words shows as two lines of two.
        for (int i = 0; i < DisplayedLines / 2; ++i) {
            lines.Add(Word + " " + Word + " " + Word + " " + Word);
        }
    } else {
        for (int i = 0; i < DisplayedLines; ++i) {
            lines.Add(Word + " " + Word);
        }
    }
    memo.SetWordWrap(false);
    memo.Assign(lines);
    memo.SetWordWrap(wrapped);
    if (memo.Count() != static_cast<std::size_t>(DisplayedLines)) {
        state.SkipWithError("the note does not show the lines it should");
        return;
    }
    TNotePrinter printer;
    printer.RunDialog = [](QPrintDialog& dialog) {
        QTimer::singleShot(0, &dialog, &QDialog::accept);
        return dialog.exec();
    };
    printer.Printer().SetPrinter({"PDF", "", ""}, TDeviceSettings());
    printer.Service().OutputFileName = ScratchDir() + "/print-bench.pdf";
    for (auto _ : state) {
        printer.Print(memo);
    }
    state.counters["lines"] = static_cast<double>(memo.Count());
}

void BM_Print_WrappedNote(benchmark::State& state) {
    PrintNote(state, true);
}
BENCHMARK(BM_Print_WrappedNote)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_Print_WrappedNote_Baseline_Unwrapped(benchmark::State& state) {
    PrintNote(state, false);
}
BENCHMARK(BM_Print_WrappedNote_Baseline_Unwrapped)->Iterations(3)->Unit(benchmark::kMillisecond);

const int PrintRatio = AddRatio("BM_Print_WrappedNote/iterations:3",
                                "BM_Print_WrappedNote_Baseline_Unwrapped/iterations:3", 2.0);

} // namespace
} // namespace virevi::bench
