// Random sequences of every tree operation, run on the outline and on the
// plain reference outline side by side; after every step both must agree on
// positions, rows, counts, the row cursor, the selection and the events.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "outline/custom_outline.h"
#include "outline/outline_reference.h"
#include "runtime/errors.h"

namespace virevi {
namespace {

using test::TRefAttach;
using test::TRefOutline;

template <typename F> std::string Outcome(F&& action) {
    try {
        action();
        return {};
    } catch (const Exception& error) {
        return error.Message();
    }
}

std::int32_t Descendants(const test::TRefNode* node) {
    std::int32_t count = 0;
    for (const auto& kid : node->Kids) {
        count += 1 + Descendants(kid.get());
    }
    return count;
}

class TDifferential {
public:
    TDifferential(unsigned seed, bool watched) : Random_(seed), Watched_(watched) {
        Outline_.OnShowError = [this](const std::exception& error) {
            Log_.push_back(std::string("error ") + error.what());
        };
        if (watched) {
            // The row a handler sees at each step, ExpandAll's single steps included.
            Outline_.OnClick = [this](TRowCursor&) {
                Log_.push_back("click " + std::to_string(Outline_.Row()));
            };
            Outline_.OnExpand = [this](TCustomOutline&, std::int32_t index) {
                Log_.push_back("expand " + std::to_string(index));
            };
            Outline_.OnCollapse = [this](TCustomOutline&, std::int32_t index) {
                Log_.push_back("collapse " + std::to_string(index));
            };
        }
    }

    std::int32_t Uniform(std::int32_t low, std::int32_t high) {
        return std::uniform_int_distribution<std::int32_t>(low, high)(Random_);
    }

    /// Mostly an existing position, sometimes 0, -1 or one past the end.
    std::int32_t Position() {
        const std::int32_t total = Reference_.Total();
        if (total == 0 || Uniform(0, 9) == 0) {
            return Uniform(-1, total + 1);
        }
        return Uniform(1, total);
    }

    void Step(int number) {
        const std::int32_t total = Reference_.Total();
        const int op = Uniform(0, total < 3 ? 3 : 40);
        std::string mine;
        std::string theirs;
        std::string what;
        auto both = [&](auto&& outline, auto&& reference) {
            mine = Outcome(outline);
            theirs = Outcome(reference);
        };
        const std::int32_t a = Position();
        const std::int32_t b = Position();
        const std::intptr_t id = ++NextId_;
        void* data = reinterpret_cast<void*>(id);
        auto item = [&](std::int32_t index) { return Outline_.ItemAt(index); };
        auto refItem = [&](std::int32_t index) { return Reference_.Find(index); };
        const bool valid = a >= 1 && a <= total;
        if (op <= 6) {
            const auto kind = static_cast<TRefAttach>(op % 3);
            what = "add " + std::to_string(op % 3) + " at " + std::to_string(a);
            both(
                [&] {
                    if (kind == TRefAttach::Sibling) {
                        Outline_.AddSibling(a, "x", data);
                    } else if (kind == TRefAttach::Child) {
                        Outline_.AppendChild(a, "x", data);
                    } else {
                        Outline_.InsertBefore(a, "x", data);
                    }
                },
                [&] { Reference_.Add(a, id, kind); });
        } else if (op <= 10) {
            what = "delete " + std::to_string(a);
            both([&] { Outline_.DeleteItem(a); }, [&] { Reference_.Delete(a); });
        } else if (op <= 15 && valid) {
            const int mode = Uniform(0, 2);
            const std::int32_t destination = mode == 1 && Uniform(0, 5) == 0 ? 0 : b;
            what = "move " + std::to_string(a) + " to " + std::to_string(destination) + " mode " +
                   std::to_string(mode);
            both([&] { item(a)->MoveItem(destination, static_cast<TAttachMode>(mode)); },
                 [&] { Reference_.Move(refItem(a), destination, mode); });
        } else if (op <= 20 && valid) {
            const std::int32_t level =
                Uniform(0, 3) == 0 ? Uniform(0, 5) : Reference_.Level(refItem(a)) + Uniform(-1, 1);
            what = "level of " + std::to_string(a) + " to " + std::to_string(level);
            both([&] { item(a)->SetLevel(level); },
                 [&] { Reference_.SetLevel(refItem(a), level); });
        } else if (op <= 27 && valid) {
            const bool value = Uniform(0, 2) != 0;
            what = "expanded of " + std::to_string(a) + " := " + std::to_string(value);
            both([&] { item(a)->SetExpanded(value); },
                 [&] { Reference_.SetExpanded(refItem(a), value); });
        } else if (op <= 29 && valid) {
            what = "expand all under " + std::to_string(a);
            both([&] { item(a)->ExpandAll(); }, [&] { Reference_.ExpandAll(refItem(a)); });
        } else if (op == 30) {
            what = "expand all";
            both([&] { Outline_.ExpandAll(); }, [&] { Reference_.ExpandAll(Reference_.Root()); });
        } else if (op <= 34) {
            const std::int32_t value = Uniform(0, 4) == 0 ? Uniform(-1, 0) : a;
            what = "select " + std::to_string(value);
            both([&] { Outline_.SetSelectedIndex(value); },
                 [&] { Reference_.SetSelectedIndex(value); });
        } else if (op <= 38) {
            const std::int32_t row = Uniform(-1, Reference_.RowCount);
            what = "row := " + std::to_string(row);
            both([&] { Outline_.SetRow(row); }, [&] { Reference_.SetRow(row); });
        } else if (op == 39 && Uniform(0, 9) == 0) {
            what = "clear";
            both([&] { Outline_.ClearItems(); }, [&] { Reference_.Clear(); });
        } else {
            what = "read selection";
            both([&] { Selected_ = Outline_.SelectedIndex(); },
                 [&] { RefSelected_ = Reference_.SelectedIndex(); });
            ASSERT_EQ(Selected_, RefSelected_) << "step " << number << ": " << what;
        }
        ASSERT_EQ(mine, theirs) << "step " << number << ": " << what;
        if (Watched_) {
            ASSERT_EQ(Log_, Reference_.Log) << "step " << number << ": " << what;
        } else {
            ASSERT_EQ(std::count_if(Log_.begin(), Log_.end(),
                                    [](const std::string& s) { return s.rfind("error", 0) == 0; }),
                      std::count_if(Reference_.Log.begin(), Reference_.Log.end(),
                                    [](const std::string& s) { return s.rfind("error", 0) == 0; }))
                << "step " << number << ": " << what;
        }
        Log_.clear();
        Reference_.Log.clear();
        Compare(number, what, Uniform(0, 2) == 0);
    }

    void Compare(int number, const std::string& what, bool everything) {
        SCOPED_TRACE("step " + std::to_string(number) + ": " + what);
        ASSERT_EQ(Outline_.TotalItems(), Reference_.Total());
        ASSERT_EQ(Outline_.RowCount(), Reference_.RowCount);
        ASSERT_EQ(Outline_.Row(), Reference_.Row);
        ASSERT_EQ(Outline_.RootItem()->ShownCount(), Reference_.ShownCount(Reference_.Root()));
        if (!everything) {
            return;
        }
        const auto order = Reference_.Order();
        for (std::size_t i = 0; i < order.size(); ++i) {
            const auto position = static_cast<std::int32_t>(i) + 1;
            TOutlineNode* node = Outline_.ItemAt(position);
            ASSERT_EQ(reinterpret_cast<std::intptr_t>(node->Data()), order[i]->Id) << position;
            ASSERT_EQ(node->Index(), position);
            ASSERT_EQ(node->Level(), Reference_.Level(order[i])) << position;
            ASSERT_EQ(node->Expanded(), order[i]->Expanded) << position;
            ASSERT_EQ(node->ShownCount(), Reference_.ShownCount(order[i])) << position;
            ASSERT_EQ(node->ChildCount(), static_cast<std::int32_t>(order[i]->Kids.size()));
            ASSERT_EQ(node->LastIndexInSubtree(), position + Descendants(order[i])) << position;
        }
        const auto display = Reference_.Display();
        for (std::size_t r = 0; r < display.size(); ++r) {
            const auto row = static_cast<std::int32_t>(r);
            TOutlineNode* node = Outline_.ItemOnRow(row);
            ASSERT_EQ(reinterpret_cast<std::intptr_t>(node->Data()), display[r]->Id) << row;
            ASSERT_EQ(Outline_.RowOf(node), row);
        }
        ASSERT_EQ(Outline_.SelectedIndex(), Reference_.SelectedIndex());
    }

private:
    std::mt19937 Random_;
    bool Watched_;
    TCustomOutline Outline_;
    TRefOutline Reference_;
    std::vector<std::string> Log_;
    std::intptr_t NextId_ = 0;
    std::int32_t Selected_ = 0;
    std::int32_t RefSelected_ = 0;
};

class OutlineDifferentialTest : public testing::TestWithParam<bool> {};

TEST_P(OutlineDifferentialTest, RandomSequencesAgreeWithReference) {
    for (unsigned seed = 1; seed <= 1000; ++seed) {
        TDifferential run(seed, GetParam());
        for (int step = 0; step < 150; ++step) {
            run.Step(step);
            if (testing::Test::HasFatalFailure()) {
                FAIL() << "seed " << seed;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Events, OutlineDifferentialTest, testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Watched" : "Unwatched"; });

} // namespace
} // namespace virevi
