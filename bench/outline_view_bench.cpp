// The outline widget on the huge document, all expanded (1,000,000 shown
// rows): painting a viewport of the main window's outline size offscreen,
// single edits with their column-width and scroll-range upkeep, and paging
// through by the scroll bar.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench_support.h"
#include "document_generator.h"
#include "offscreen_application.h"
#include "outline/qt/outline.h"
#include "runtime/shift_jis.h"

namespace virevi::bench {
namespace {

constexpr std::uint32_t Seed = 20010920;
constexpr std::int32_t SubtreeItems = 100000;

struct TView {
    std::unique_ptr<TOutline> Outline;
    std::int32_t Subtree = 0; // a collapsed top-level item with SubtreeItems children
};

/// The generated document of `items` items, all expanded, in the main
/// window's settings, followed by the subtree to expand and collapse.
TView& View(std::size_t items) {
    EnsureApplication();
    // Kept to the end with the application: widgets must not outlive Qt's
    // own statics, which go first at exit.
    static auto* views = new std::map<std::size_t, TView>;
    TView& view = (*views)[items];
    if (!view.Outline) {
        EnsureApplication();
        view.Outline = std::make_unique<TOutline>();
        TOutline& outline = *view.Outline;
        outline.SetItemHeight(16);
        outline.SetColor(clCream);
        outline.SetFont({"ＭＳ ゴシック", -13, 0, SHIFTJIS_CHARSET, TFontPitch::Fixed, clBlack});
        outline.resize(185, 505);
        outline.show();
        BuildOutline(outline, GenerateLevels(items, Seed), Seed);
        outline.ExpandAll();
        view.Subtree = outline.AppendChild(0, "subtree");
        std::mt19937 random(Seed);
        for (std::int32_t i = 0; i < SubtreeItems; ++i) {
            outline.AppendChild(view.Subtree, GenerateCaption(random));
        }
        outline.SetSelectedIndex(1);
        QApplication::processEvents();
    }
    return view;
}

QImage& Image(TOutline& outline) {
    static QImage image;
    if (image.width() != outline.ClientWidth() || image.height() != outline.ClientHeight()) {
        image = QImage(outline.ClientWidth(), outline.ClientHeight(), QImage::Format_RGB32);
    }
    return image;
}

void PaintOnce(TOutline& outline) {
    QImage& image = Image(outline);
    QPainter painter(&image);
    outline.PaintRows(painter, {0, 0, image.width(), image.height()});
}

void BM_OutlinePaint(benchmark::State& state) {
    TOutline& outline = *View(HugeItems).Outline;
    outline.SetTopRow(state.range(0) == 0 ? 0 : outline.LargestTopRow());
    for (auto _ : state) {
        PaintOnce(outline);
    }
    state.SetLabel(state.range(0) == 0 ? "row 0" : "last rows");
}
BENCHMARK(BM_OutlinePaint)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The same captions at the same places with plain drawText, looked up and
// decoded beforehand.
void BM_OutlinePaintBaseline(benchmark::State& state) {
    TOutline& outline = *View(HugeItems).Outline;
    outline.SetTopRow(0);
    struct TCaption {
        QPoint At;
        QString Text;
    };
    std::vector<TCaption> captions;
    const QFont font = TQtCanvas::ToQFont(outline.Font());
    const QFontMetrics metrics(font);
    for (std::int32_t row = 0; row * 16 < outline.ClientHeight(); ++row) {
        const TOutlineNode* item = outline.ItemOnRow(row);
        const std::u16string text = DecodeShiftJis(item->Text());
        captions.push_back({QPoint(31 + 16 * (item->Level() - 1), row * 16 + 1 + metrics.ascent()),
                            QString(reinterpret_cast<const QChar*>(text.data()),
                                    static_cast<qsizetype>(text.size()))});
    }
    QImage& image = Image(outline);
    for (auto _ : state) {
        QPainter painter(&image);
        painter.setFont(font);
        painter.fillRect(image.rect(), QColor(0xFF, 0xFB, 0xF0));
        for (const TCaption& caption : captions) {
            painter.drawText(caption.At, caption.Text);
        }
    }
}
BENCHMARK(BM_OutlinePaintBaseline)->Unit(benchmark::kMicrosecond);
static const int PaintRatios = [] {
    AddRatio("BM_OutlinePaint/1", "BM_OutlinePaint/0", 1.2);
    AddRatio("BM_OutlinePaint/0", "BM_OutlinePaintBaseline", 2);
    return 0;
}();

// 0: a caption in the middle made longer than any other and back; 1: expand
// the subtree; 2: collapse it.
void BM_OutlineViewEdit(benchmark::State& state) {
    const auto op = state.range(0);
    TView& view = View(static_cast<std::size_t>(state.range(1)));
    TOutline& outline = *view.Outline;
    TOutlineNode* subtree = outline.ItemAt(view.Subtree);
    TOutlineNode* middle = outline.ItemOnRow(outline.RootItem()->ShownCount() / 2);
    const std::string caption(middle->Text());
    const std::string wide(400, 'W');
    subtree->SetExpanded(op == 2);
    std::vector<double> times;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        switch (op) {
        case 0:
            middle->SetText(wide);
            break;
        case 1:
            subtree->SetExpanded(true);
            break;
        default:
            subtree->SetExpanded(false);
            break;
        }
        benchmark::DoNotOptimize(outline.ColWidth());
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        times.push_back(seconds);
        switch (op) {
        case 0:
            middle->SetText(caption);
            break;
        case 1:
            subtree->SetExpanded(false);
            break;
        default:
            subtree->SetExpanded(true);
            break;
        }
    }
    subtree->SetExpanded(false);
    std::nth_element(times.begin(), times.begin() + static_cast<std::ptrdiff_t>(times.size() / 2),
                     times.end());
    state.counters["median_ms"] = times[times.size() / 2] * 1000;
    state.SetLabel(op == 0 ? "caption" : op == 1 ? "expand 100000" : "collapse 100000");
}
BENCHMARK(BM_OutlineViewEdit)
    ->ArgsProduct({{0, 1, 2}, {10000, 1000000}})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
static const int EditFigures = [] {
    for (int op = 0; op < 3; ++op) {
        const std::string name = "BM_OutlineViewEdit/" + std::to_string(op);
        AddFigure(name + "/1000000/manual_time", "median_ms", 16, false);
        AddRatio(name + "/1000000/manual_time", name + "/10000/manual_time", 2, "median_ms");
    }
    return 0;
}();

// Page down by the scroll bar from row 0 to the end, painting each page.
void BM_OutlineScrollPages(benchmark::State& state) {
    TOutline& outline = *View(HugeItems).Outline;
    double first = 0;
    double last = 0;
    for (auto _ : state) {
        outline.SetTopRow(0);
        std::vector<double> pages;
        while (outline.TopRow() < outline.LargestTopRow()) {
            const auto start = std::chrono::steady_clock::now();
            outline.Scroll(TScrollBarKind::sbVertical, TScrollCode::scPageDown, 0);
            PaintOnce(outline);
            pages.push_back(
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        }
        const std::size_t n = std::min<std::size_t>(200, pages.size() / 2);
        first = last = 0;
        for (std::size_t i = 0; i < n; ++i) {
            first += pages[i];
            last += pages[pages.size() - 1 - i];
        }
        first /= static_cast<double>(n);
        last /= static_cast<double>(n);
        state.counters["pages"] = static_cast<double>(pages.size());
    }
    state.counters["first_page_us"] = first * 1e6;
    state.counters["last_page_us"] = last * 1e6;
    state.counters["last_to_first"] = last / first;
}
BENCHMARK(BM_OutlineScrollPages)->Iterations(1)->Unit(benchmark::kMillisecond);
static const int PageFigure =
    AddFigure("BM_OutlineScrollPages/iterations:1", "last_to_first", 1.2, false);

} // namespace
} // namespace virevi::bench
