#include "document/HistoryModel.h"

namespace tq {

HistoryModel::HistoryModel()
{
    // Row 0 is there from the start but stays hidden until a first action row
    // joins it.
    rows_.push_back(HistoryRow{kOriginal, "0", false, true});
}

bool HistoryModel::loadHistory(int tmp, const std::string& action)
{
    if (tmp <= 0 || tmp > rowCount()) return false;
    if (tmp == rowCount()) rows_.push_back(HistoryRow{});
    if (rowCount() == 2) rows_[0].visible = true;
    HistoryRow& r = rows_[static_cast<size_t>(tmp)];
    r.Ltext = action;
    r.Lno = std::to_string(tmp);
    r.visible = true;
    indicator_.row = tmp;
    indicator_.visible = true;
    notify();
    return true;
}

void HistoryModel::unloadRowsFrom(int first)
{
    if (first < 1) first = 1;
    if (first >= rowCount()) return;
    rows_.resize(static_cast<size_t>(first));
    if (indicator_.row >= first) indicator_.row = first - 1;
    notify();
}

void HistoryModel::placeIndicator(int i)
{
    if (i < 0 || i >= rowCount()) return;
    indicator_.row = i;
    notify();
}

void HistoryModel::enableAll()
{
    for (HistoryRow& r : rows_) r.enabled = true;
    notify();
}

void HistoryModel::showSteps(int32_t id, const std::vector<std::string>& names, int marker)
{
    ImageID = id;
    rows_.resize(1);
    indicator_.visible = false;
    for (size_t k = 0; k < names.size(); ++k)
        rows_.push_back(HistoryRow{names[k], std::to_string(k + 1), true, true});
    if (rowCount() > 1) {
        rows_[0].visible = true;
        indicator_.visible = true;
    }
    indicator_.row = (marker >= 0 && marker < rowCount()) ? marker : 0;
    notify();
}

bool HistoryModel::documentClosed(int32_t id)
{
    if (id != ImageID) return false;
    rows_.resize(1);
    rows_[0].visible = false;
    indicator_ = HistoryIndicator{};
    notify();
    return true;
}

} // namespace tq
