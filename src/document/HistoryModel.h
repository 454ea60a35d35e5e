// The rows of the action history that the history window shows: one row per
// undo step of one document. Row i is the pair of labels `Ltext`(i) (the
// step's name) and `Lno`(i) (its number); row 0 always exists and is captioned
// "Original" / "0". `Pindicator` marks the row of the state that is shown, and
// `ImageID` is the number of the document whose steps the rows are.
//
// The model keeps rows only; where they are drawn (tops, heights, the
// container and its scroll bar) is the window's business. Every change calls
// `changed` so the window can redraw.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tq {

struct HistoryRow {
    std::string Ltext;      // the step's name
    std::string Lno;        // the step's number in decimal
    bool visible = true;
    bool enabled = true;
};

struct HistoryIndicator {
    int row = 0;            // the row it stands on
    bool visible = false;
};

class HistoryModel {
public:
    static constexpr const char* kOriginal = "Original";

    HistoryModel();

    // The MeID of the document whose steps are shown; 0 before the first.
    int32_t ImageID = 0;

    // Called after every change of rows or indicator.
    std::function<void()> changed;

    // The count of the label arrays (row 0 included, so at least 1).
    int rowCount() const { return static_cast<int>(rows_.size()); }
    const HistoryRow& row(int i) const { return rows_.at(static_cast<size_t>(i)); }
    const std::vector<HistoryRow>& rows() const { return rows_; }
    const HistoryIndicator& Pindicator() const { return indicator_; }

    // Row part of the history window's loadHistory: for tmp >= 1 loads row
    // tmp (a row already loaded stays and is renamed), captions it with
    // `action` and `tmp`, shows it (row 0 too, when it is the first row below
    // row 0) and puts the indicator on it. Rows are contiguous: a tmp beyond
    // the next free row is ignored and returns false, as is tmp <= 0.
    bool loadHistory(int tmp, const std::string& action);

    // Unloads rows first .. rowCount() - 1 (first >= 1; row 0 is never
    // unloaded). The indicator falls back to the last remaining row.
    void unloadRowsFrom(int first);

    // Moves the indicator to row i without changing its visibility; a row that
    // does not exist is ignored.
    void placeIndicator(int i);

    // Sets every row enabled.
    void enableAll();

    // Makes the rows show the steps of document `id`: rows 1 .. names.size()
    // captioned with names[k - 1] and k, row 0 shown when there are rows below
    // it, and the indicator shown on row `marker`.
    void showSteps(int32_t id, const std::vector<std::string>& names, int marker);

    // A document closes: when it is the one shown, unload every row below
    // row 0 and hide row 0 and the indicator. `ImageID` keeps its value so
    // whichever document is activated next rebuilds the rows. The rows of
    // another document are left alone. Returns true when rows were removed.
    bool documentClosed(int32_t id);

private:
    void notify()
    {
        if (changed) changed();
    }

    std::vector<HistoryRow> rows_;
    HistoryIndicator indicator_;
};

} // namespace tq
