// The whole program through its main window, offscreen: start-up, Open and
// Save of a generated document through the File menu's handlers with the file
// name scripted, every Edit and View command, a click on a row, a keystroke
// in the editor and PgDn, each beside a baseline measured in the same run.
// The document is the *large* one (100,000 items, 1,000,000 note lines);
// VIREVI_BENCH_DOCUMENT=huge takes the *huge* one instead.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/qt/main_prompts.h"
#include "app/qt/main_window.h"
#include "bench_support.h"
#include "dialogs/message_layout.h"
#include "dialogs/qt/find_form.h"
#include "dialogs/qt/message_form.h"
#include "document/document.h"
#include "document/item_record.h"
#include "document/note_search.h"
#include "document_generator.h"
#include "editor/qt/memo.h"
#include "files/string_list.h"
#include "offscreen_application.h"
#include "outline/outline_node.h"
#include "outline/qt/outline.h"

namespace virevi::bench {
namespace {

constexpr std::uint32_t Seed = 20261209;
using TClock = std::chrono::steady_clock;

std::size_t DocumentItems() {
    const char* which = std::getenv("VIREVI_BENCH_DOCUMENT");
    return which != nullptr && std::string(which) == "huge" ? HugeItems : LargeItems;
}

void WriteWhole(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The generated document's base path: the generator's levels and captions,
// each note its caption and 0 to 18 lines more (ten lines an item on average).
const std::string& DocumentBase() {
    static const std::string base = [] {
        const std::size_t items = DocumentItems();
        const std::vector<std::int32_t> levels = GenerateLevels(items, Seed);
        std::mt19937 random(Seed);
        std::string outline;
        std::string notes;
        std::vector<ItemRecord> records;
        records.reserve(items);
        std::int32_t line = 0;
        for (std::size_t i = 0; i < items; ++i) {
            const std::string caption = GenerateCaption(random);
            outline.append(static_cast<std::size_t>(levels[i] - 1), '\t');
            outline += caption + "\r\n";
            const auto count = 1 + static_cast<std::int32_t>(random() % 19);
            notes += caption + "\r\n";
            for (std::int32_t k = 1; k < count; ++k) {
                notes += GenerateCaption(random) + "\r\n";
            }
            records.push_back({line, count});
            line += count;
        }
        const std::string path = ScratchDir() + "/document";
        WriteWhole(path + ".Trr", outline);
        WriteWhole(path + ".Txt", notes);
        WriteWhole(path + ".Bin", EncodeItemRecords(records));
        // A document of one item to open between the measured Opens.
        WriteWhole(ScratchDir() + "/small.Trr", "small\r\n");
        WriteWhole(ScratchDir() + "/small.Txt", "small\r\n");
        WriteWhole(ScratchDir() + "/small.Bin", EncodeItemRecords({{0, 1}}));
        return path;
    }();
    return base;
}

std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

// Answers every file dialog with the next scripted name; never saves on asking.
class TScriptedPrompts : public TMainPrompts {
public:
    std::string Name;
    int AskSave() override { return mrNo; }
    bool ChooseOpenFile(std::string_view, std::string& fileName) override {
        fileName = Name;
        return true;
    }
    bool ChooseSaveFile(std::string_view, std::string& fileName) override {
        fileName = Name;
        return true;
    }
    void Beep() override { ++Beeps; }
    int Beeps = 0;
};

// Counts the paint events reaching any widget of one window.
class TPaintCounter : public QObject {
public:
    explicit TPaintCounter(QWidget* window) : Window_(window) { qApp->installEventFilter(this); }
    ~TPaintCounter() override { qApp->removeEventFilter(this); }
    int Paints = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->window() == Window_) {
            ++Paints;
        }
        return false;
    }

private:
    QWidget* Window_;
};

/// Runs the event loop until the window has painted since `counter` was
/// reset and nothing more is pending.
void SettlePainted(TPaintCounter& counter) {
    const auto deadline = TClock::now() + std::chrono::seconds(30);
    while (counter.Paints == 0 && TClock::now() < deadline) {
        QApplication::processEvents(QEventLoop::AllEvents);
    }
    QApplication::processEvents(QEventLoop::AllEvents);
}

/// Runs posted events, and with them the repaint they ask for.
void Settle() {
    QCoreApplication::sendPostedEvents();
    QApplication::processEvents(QEventLoop::AllEvents);
}

struct TWindow {
    std::unique_ptr<TMain> Main;
    TScriptedPrompts Prompts;
};

TWindow& Window() {
    static auto* window = new TWindow; // kept past main with the application
    if (!window->Main) {
        EnsureApplication();
        window->Main = std::make_unique<TMain>();
        window->Main->SetPrompts(&window->Prompts);
        window->Main->show();
        (void)QTest::qWaitForWindowExposed(window->Main.get());
        Settle();
    }
    return *window;
}

void OpenDocument(TWindow& window, const std::string& base) {
    window.Main->Document().DocModified = false;
    window.Prompts.Name = base + ".Trr";
    window.Main->mnOpenClick();
}

/// The window with the generated document open, item 1 selected.
TMain& OpenWindow() {
    TWindow& window = Window();
    static bool opened = false;
    if (!opened) {
        OpenDocument(window, DocumentBase());
        Settle();
        opened = true;
    }
    return *window.Main;
}

void SetTimes(benchmark::State& state, std::vector<double> times) {
    // Which run was the slowest, from 0: a first run paying for a cache tells itself apart.
    state.counters["worst_run"] =
        static_cast<double>(std::max_element(times.begin(), times.end()) - times.begin());
    std::sort(times.begin(), times.end());
    state.counters["median_ms"] = times[times.size() / 2] * 1000;
    state.counters["worst_ms"] = times.back() * 1000;
}

double Seconds(TClock::time_point start) {
    return std::chrono::duration<double>(TClock::now() - start).count();
}

// --- Start-up: a new main window shown and painted, against an empty QMainWindow.

/// Creates a window, shows it and waits for its first paint; the seconds taken.
template <typename TWidget> double ShowPainted() {
    const auto start = TClock::now();
    auto window = std::make_unique<TWidget>();
    TPaintCounter counter(window.get());
    window->show();
    SettlePainted(counter);
    const double seconds = Seconds(start);
    window.reset();
    Settle();
    return seconds;
}

// The two in turns, so both see the same machine; the first of each is
// dropped, as it pays for Qt's fonts and styles once.
void BM_Main_Startup(benchmark::State& state) {
    EnsureApplication();
    ShowPainted<QMainWindow>();
    ShowPainted<TMain>();
    std::vector<double> empty;
    std::vector<double> main;
    for (auto _ : state) {
        empty.push_back(ShowPainted<QMainWindow>());
        main.push_back(ShowPainted<TMain>());
        state.SetIterationTime(main.back());
    }
    std::sort(empty.begin(), empty.end());
    std::sort(main.begin(), main.end());
    state.counters["empty_window_ms"] = empty[empty.size() / 2] * 1000;
    state.counters["median_ms"] = main[main.size() / 2] * 1000;
    state.counters["over_empty_ms"] = (main[main.size() / 2] - empty[empty.size() / 2]) * 1000;
}
BENCHMARK(BM_Main_Startup)->Iterations(11)->UseManualTime()->Unit(benchmark::kMillisecond);

// --- Peak memory, before any other Open so that no freed heap of an earlier
// document hides the growth: the high-water mark of the resident set while the document
// opens, above the resident set of the window before, against 1.5 × the
// files and 100 bytes an item.

std::int64_t StatusKilobytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) {
            return std::atoll(line.c_str() + std::string(field).size());
        }
    }
    return 0;
}

void BM_Main_PeakMemory(benchmark::State& state) {
    const std::string& base = DocumentBase();
    TWindow& window = Window();
    double peak = 0;
    for (auto _ : state) {
        OpenDocument(window, ScratchDir() + "/small");
        Settle();
        ::malloc_trim(0);
        const std::int64_t before = StatusKilobytes("VmRSS:");
        // Resets the high-water mark to the present resident set.
        std::ofstream("/proc/self/clear_refs") << "5";
        OpenDocument(window, base);
        Settle();
        peak = static_cast<double>(StatusKilobytes("VmHWM:") - before) * 1024;
    }
    state.counters["bytes"] = peak;
}
BENCHMARK(BM_Main_PeakMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_Main_PeakMemory_Baseline_Bound(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(DocumentBase());
    }
    state.counters["bytes"] = 1.5 * static_cast<double>(DocumentFilesSize(DocumentBase())) +
                              100.0 * static_cast<double>(DocumentItems());
}
BENCHMARK(BM_Main_PeakMemory_Baseline_Bound)->Iterations(1);

// --- Open: from OK in the open dialog to the painted window showing item 1's note.

void BM_Main_Open_Baseline_Cat(benchmark::State& state) {
    const std::string& base = DocumentBase();
    const std::string command = "cat " + Quoted(base + ".Trr") + " " + Quoted(base + ".Txt") + " " +
                                Quoted(base + ".Bin") + " > /dev/null";
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::system(command.c_str()));
    }
}
BENCHMARK(BM_Main_Open_Baseline_Cat)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_Main_Open_Baseline_ReadIntoMemory(benchmark::State& state) {
    const std::string& base = DocumentBase();
    for (auto _ : state) {
        ReadDocumentIntoMemory(base);
    }
}
BENCHMARK(BM_Main_Open_Baseline_ReadIntoMemory)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_Main_Open(benchmark::State& state) {
    const std::string& base = DocumentBase();
    TWindow& window = Window();
    for (auto _ : state) {
        OpenDocument(window, ScratchDir() + "/small");
        Settle();
        TPaintCounter counter(window.Main.get());
        const auto start = TClock::now();
        OpenDocument(window, base);
        SettlePainted(counter);
        state.SetIterationTime(Seconds(start));
    }
    TStringList shown;
    window.Main->moNote->AppendTo(shown);
    const ItemRecord* first = TDocument::RecordOf(window.Main->olTree->ItemAt(1));
    if (window.Main->olTree->SelectedIndex() != 1 || first == nullptr ||
        shown.Count() != static_cast<std::size_t>(first->Count)) {
        state.SkipWithError("item 1's note is not shown after Open");
    }
}
BENCHMARK(BM_Main_Open)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

// --- Save after one edit, against cp of the three files and sync.

void BM_Main_Save_Baseline_CopyAndSync(benchmark::State& state) {
    const std::string& base = DocumentBase();
    const std::string target = ScratchDir() + "/copy";
    std::string command;
    for (const char* extension : {".Trr", ".Txt", ".Bin"}) {
        command += "cp " + Quoted(base + extension) + " " + Quoted(target + extension) + " && ";
    }
    command += "sync";
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::system(command.c_str()));
    }
}
BENCHMARK(BM_Main_Save_Baseline_CopyAndSync)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_Main_Save(benchmark::State& state) {
    TMain& main = OpenWindow();
    for (auto _ : state) {
        main.moNote->setFocus();
        QTest::keyClick(main.moNote, 'x');
        Settle();
        const auto start = TClock::now();
        main.mnSaveClick();
        Settle();
        state.SetIterationTime(Seconds(start));
        if (main.Document().DocModified) {
            state.SkipWithError("the document is still modified after Save");
        }
    }
}
BENCHMARK(BM_Main_Save)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

// --- Single commands as the user gives them, each followed by the repaint.

constexpr int CommandRuns = 31;

void Select(TMain& main, std::int32_t index) {
    main.olTree->SetSelectedIndex(index);
    main.olTreeClick();
    Settle();
}

/// Times `command` CommandRuns times, each after `prepare` (not timed).
void TimeCommand(benchmark::State& state, const std::function<void(TMain&)>& prepare,
                 const std::function<void(TMain&)>& command) {
    TMain& main = OpenWindow();
    TScriptedPrompts& prompts = Window().Prompts;
    const int beeps = prompts.Beeps;
    int painted = 0;
    std::vector<double> times;
    for (auto _ : state) {
        prepare(main);
        TPaintCounter counter(&main);
        const auto start = TClock::now();
        command(main);
        Settle();
        const double seconds = Seconds(start);
        painted += counter.Paints > 0 ? 1 : 0;
        state.SetIterationTime(seconds);
        times.push_back(seconds);
    }
    SetTimes(state, times);
    // How many of the runs repainted the window before the clock stopped.
    state.counters["painted"] = painted;
    if (prompts.Beeps != beeps) {
        state.SkipWithError("the command was refused");
    }
}

void BM_Main_InsertAboveItem1(benchmark::State& state) {
    TimeCommand(
        state, [](TMain& m) { Select(m, 1); }, [](TMain& m) { m.mnInsNodeClick(); });
}
void BM_Main_AddAtEnd(benchmark::State& state) {
    TimeCommand(
        state, [](TMain& m) { Select(m, m.olTree->TotalItems()); },
        [](TMain& m) { m.mnAddNodeClick(); });
}
// Deletes the items the two commands above added.
void BM_Main_Delete(benchmark::State& state) {
    TimeCommand(
        state, [](TMain& m) { Select(m, 1); }, [](TMain& m) { m.mnDelClick(); });
}
void BM_Main_Split(benchmark::State& state) {
    TimeCommand(
        state,
        [](TMain& m) {
            Select(m, 2);
            m.moNote->setFocus();
            QTest::keyClick(m.moNote, Qt::Key_End);
        },
        [](TMain& m) { m.mnSplitClick(); });
}
/// Expands the items above item `index`, untimed, so it can be selected.
void Reveal(TMain& main, std::int32_t index) {
    std::vector<TOutlineNode*> parents;
    for (TOutlineNode* parent = main.olTree->ItemAt(index)->Parent();
         parent != nullptr && parent->Parent() != nullptr; parent = parent->Parent()) {
        parents.push_back(parent);
    }
    // Outermost first: an item expands only below an expanded one.
    for (auto parent = parents.rbegin(); parent != parents.rend(); ++parent) {
        (*parent)->SetExpanded(true);
    }
}

/// The next item after `from` for which `movable` holds.
std::int32_t NextItem(TMain& main, std::int32_t from,
                      const std::function<bool(TMain&, std::int32_t)>& movable) {
    std::int32_t index = from + 1;
    while (index <= main.olTree->TotalItems() && !movable(main, index)) {
        ++index;
    }
    return index;
}
// Each run moves another item, one that can go: right, an item right after a
// sibling without children; left, an item with a sibling after it.
void BM_Main_LevelRight(benchmark::State& state) {
    std::int32_t index = 1;
    TimeCommand(
        state,
        [&index](TMain& m) {
            index = NextItem(m, index, [](TMain& m, std::int32_t i) {
                return m.olTree->ItemAt(i - 1)->Level() == m.olTree->ItemAt(i)->Level();
            });
            Reveal(m, index);
            Select(m, index);
        },
        [](TMain& m) { m.mnLevelDownClick(); });
}
void BM_Main_LevelLeft(benchmark::State& state) {
    std::int32_t index = 1;
    TimeCommand(
        state,
        [&index](TMain& m) {
            index = NextItem(m, index, [](TMain& m, std::int32_t i) {
                const TOutlineNode* item = m.olTree->ItemAt(i);
                return item->Level() > 1 && item->Parent()->NextSiblingIndex(i) != -1;
            });
            Reveal(m, index);
            Select(m, index);
        },
        [](TMain& m) { m.mnLevelUpClick(); });
}
void BM_Main_PrevNote(benchmark::State& state) {
    TimeCommand(
        state, [](TMain& m) { Select(m, m.olTree->TotalItems() / 2); },
        [](TMain& m) { m.mnPrevNodeClick(); });
}
void BM_Main_NextNote(benchmark::State& state) {
    TimeCommand(
        state, [](TMain& m) { Select(m, m.olTree->TotalItems() / 2); },
        [](TMain& m) { m.mnNextNodeClick(); });
}
void BM_Main_ClickRow(benchmark::State& state) {
    int turn = 0;
    TimeCommand(
        state, [](TMain& m) { m.olTree->SetTopRow(0); },
        [&turn](TMain& m) {
            const TRect row = m.olTree->RowRect(1 + (turn++ % 5));
            QTest::mouseClick(m.olTree->viewport(), Qt::LeftButton, {},
                              QPoint(row.Left + 20, (row.Top + row.Bottom) / 2));
        });
}
void BM_Main_KeyInEditor(benchmark::State& state) {
    TimeCommand(
        state, [](TMain& m) { m.moNote->setFocus(); },
        [](TMain& m) { QTest::keyClick(m.moNote, 'k'); });
}
// PgDn is the Next note key: from item 1 on, over the top-level items whose
// subtrees are collapsed as the document opens.
void BM_Main_PageDown(benchmark::State& state) {
    TMain& main = OpenWindow();
    Select(main, 1);
    TimeCommand(
        state, [](TMain& m) { m.olTree->setFocus(); },
        [](TMain& m) { QTest::keyClick(m.olTree, Qt::Key_PageDown); });
    state.counters["selected"] = main.olTree->SelectedIndex();
    state.counters["shown_rows"] = main.olTree->RootItem()->ShownCount();
}
// --- Find: through the real command and the real dialog, against memchr
// over the pool's bytes, which holds every note (a line never holds a line
// feed, so memchr for one reads all of them).

double ScanPoolSeconds(TMain& main) {
    const TStringList& pool = main.Document().NotePool;
    const std::string_view first = pool[0];
    const std::string_view last = pool[pool.Count() - 1];
    const auto size = static_cast<std::size_t>(last.data() + last.size() - first.data());
    const auto start = TClock::now();
    benchmark::DoNotOptimize(std::memchr(first.data(), '\n', size));
    return Seconds(start);
}

// Answers the not-found message as soon as it shows, noting when that was.
class TNotFoundAnswer : public QObject {
public:
    TNotFoundAnswer() { qApp->installEventFilter(this); }
    ~TNotFoundAnswer() override { qApp->removeEventFilter(this); }
    TClock::time_point Shown;
    int Answered = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && qobject_cast<TMessageForm*>(watched) != nullptr) {
            Shown = TClock::now();
            ++Answered;
            auto* box = static_cast<TMessageForm*>(watched);
            QTimer::singleShot(0, box, [box] { box->done(mrOk); });
        }
        return false;
    }
};

void BM_Main_Find_Baseline_Memchr(benchmark::State& state) {
    TMain& main = OpenWindow();
    for (auto _ : state) {
        state.SetIterationTime(ScanPoolSeconds(main));
    }
}
BENCHMARK(BM_Main_Find_Baseline_Memchr)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// From item 1 once around every note to the message that says so.
void FindNothing(benchmark::State& state, const std::string& text, bool matchCase) {
    TMain& main = OpenWindow();
    TNotFoundAnswer answer;
    for (auto _ : state) {
        Select(main, 1);
        const auto start = TClock::now();
        main.FindNext(text, matchCase);
        state.SetIterationTime(std::chrono::duration<double>(answer.Shown - start).count());
        Settle();
    }
    if (answer.Answered != static_cast<int>(state.iterations())) {
        state.SkipWithError("the search found something");
    }
}
// "検索": its lead bytes are in no generated note.
void BM_Main_FindNothing_Japanese(benchmark::State& state) {
    FindNothing(state, "\x8C\x9F\x8D\xF5", true);
}
// Every byte of it turns up in the generated notes every hundred or so.
void BM_Main_FindNothing_AsciiAnyCase(benchmark::State& state) {
    FindNothing(state, "virevi", false);
}
// The search alone, without the message, for comparison.
void BM_Main_FindNothing_SearchOnly(benchmark::State& state) {
    TMain& main = OpenWindow();
    const TSearchPattern pattern("\x8C\x9F\x8D\xF5", true);
    for (auto _ : state) {
        const auto start = TClock::now();
        benchmark::DoNotOptimize(
            FindInNotes(main.olTree->Tree(), main.Document().NotePool, 1, {}, pattern));
        state.SetIterationTime(Seconds(start));
    }
}
BENCHMARK(BM_Main_FindNothing_SearchOnly)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Main_FindNothing_Japanese)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Main_FindNothing_AsciiAnyCase)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Every step of the dialog: Ctrl+F, the word typed, 次を検索 finding it in
// a note 100,000 items further on (under collapsed parents), each with its
// repaint; the word is put into that note first, untimed.
void BM_Main_FindInDialog(benchmark::State& state) {
    TMain& main = OpenWindow();
    TDocument& document = main.Document();
    const std::string word = "\x8C\x9F\x8D\xF5";
    double scan = ScanPoolSeconds(main);
    std::vector<double> times;
    std::vector<double> finds;
    std::int32_t from = 1;
    // The large document has fewer items: half of them away there.
    const std::int32_t away = std::min(100000, main.olTree->TotalItems() / 2);
    for (auto _ : state) {
        from += 7;
        const std::int32_t target = from + away;
        ItemRecord* record = TDocument::RecordOf(main.olTree->ItemAt(target));
        const ItemRecord kept = *record;
        *record = {static_cast<std::int32_t>(document.NotePool.Count()), 1};
        document.NotePool.Add("x" + word);
        Select(main, from);
        main.FindForm().hide();
        main.FindForm().edFind->clear();
        main.moNote->setFocus();
        Settle();

        double slowest = 0;
        auto step = [&](const std::function<void()>& action) {
            const auto start = TClock::now();
            action();
            Settle();
            slowest = std::max(slowest, Seconds(start));
        };
        step([&] { QTest::keyClick(main.moNote, Qt::Key_F, Qt::ControlModifier); });
        step([&] {
            QTest::sendKeyEvent(QTest::Click, main.FindForm().edFind, Qt::Key_unknown,
                                QStringLiteral("検索"), Qt::NoModifier);
        });
        const auto start = TClock::now();
        step([&] { QTest::mouseClick(main.FindForm().btFindNext, Qt::LeftButton); });
        finds.push_back(Seconds(start));
        times.push_back(slowest);
        state.SetIterationTime(slowest);
        if (main.olTree->SelectedIndex() != target) {
            state.SkipWithError("the word was not found where it was put");
        }
        *record = kept;
        scan = std::min(scan, ScanPoolSeconds(main));
    }
    main.FindForm().hide();
    SetTimes(state, times);
    std::sort(finds.begin(), finds.end());
    state.counters["find_median_ms"] = finds[finds.size() / 2] * 1000;
    state.counters["scan_ms"] = scan * 1000;
    state.counters["items_away"] = away;
    state.counters["worst_over_scan_ms"] =
        (*std::max_element(times.begin(), times.end()) - scan) * 1000;
}
BENCHMARK(BM_Main_FindInDialog)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

// Ctrl+keypad "*" with the last top-level item selected: every item opens,
// one step at a time for the window that watches each, each step moving the
// selection down. Last of the window's benchmarks: it leaves the outline open.
void BM_Main_ExpandAll(benchmark::State& state) {
    TMain& main = OpenWindow();
    TOutlineNode* root = main.olTree->RootItem();
    Select(main, root->Child(root->ChildCount() - 1)->Index());
    main.olTree->setFocus();
    for (auto _ : state) {
        const auto start = TClock::now();
        QTest::keyClick(main.olTree, Qt::Key_Asterisk, Qt::ControlModifier | Qt::KeypadModifier);
        Settle();
        state.SetIterationTime(Seconds(start));
    }
    if (main.olTree->RowCount() != main.olTree->TotalItems()) {
        state.SkipWithError("not every item opened");
    }
    state.counters["rows"] = main.olTree->RowCount();
}
BENCHMARK(BM_Main_ExpandAll)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

#define VIREVI_COMMAND_BENCH(name)                                                                 \
    BENCHMARK(name)->Iterations(CommandRuns)->UseManualTime()->Unit(benchmark::kMillisecond);      \
    static const int name##Figures = [] {                                                          \
        const std::string subject = #name "/iterations:31/manual_time";                            \
        AddFigure(subject, "median_ms", 16, false);                                                \
        AddFigure(subject, "worst_ms", 50, false);                                                 \
        return 0;                                                                                  \
    }();

VIREVI_COMMAND_BENCH(BM_Main_InsertAboveItem1)
VIREVI_COMMAND_BENCH(BM_Main_AddAtEnd)
VIREVI_COMMAND_BENCH(BM_Main_Delete)
VIREVI_COMMAND_BENCH(BM_Main_Split)
VIREVI_COMMAND_BENCH(BM_Main_LevelRight)
VIREVI_COMMAND_BENCH(BM_Main_LevelLeft)
VIREVI_COMMAND_BENCH(BM_Main_PrevNote)
VIREVI_COMMAND_BENCH(BM_Main_NextNote)
VIREVI_COMMAND_BENCH(BM_Main_ClickRow)
VIREVI_COMMAND_BENCH(BM_Main_KeyInEditor)
VIREVI_COMMAND_BENCH(BM_Main_PageDown)

static const int Figures = [] {
    AddRatio("BM_Main_Open/iterations:3/manual_time",
             "BM_Main_Open_Baseline_ReadIntoMemory/iterations:3", 3);
    AddRatio("BM_Main_Open/iterations:3/manual_time", "BM_Main_Open_Baseline_Cat/iterations:3", 10);
    AddRatio("BM_Main_Save/iterations:3/manual_time",
             "BM_Main_Save_Baseline_CopyAndSync/iterations:3", 2);
    AddRatio("BM_Main_PeakMemory/iterations:1", "BM_Main_PeakMemory_Baseline_Bound/iterations:1", 1,
             "bytes");
    AddFigure("BM_Main_Startup/iterations:11/manual_time", "over_empty_ms", 150, false);
    for (const char* find : {"BM_Main_FindNothing_Japanese/iterations:5/manual_time",
                             "BM_Main_FindNothing_AsciiAnyCase/iterations:5/manual_time"}) {
        AddRatio(find, "BM_Main_Find_Baseline_Memchr/iterations:5/manual_time", 3);
    }
    AddFigure("BM_Main_FindInDialog/iterations:5/manual_time", "worst_over_scan_ms", 16, false);
    return 0;
}();

} // namespace
} // namespace virevi::bench
