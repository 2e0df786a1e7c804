#include "report/report_values.h"

#include <vector>

#include "image/channel_text.h"
#include "image/setting_text.h"

namespace chanwright::report {

std::string YesNo(Bool16 value) {
    return value != 0 ? "Yes" : "No";
}

std::string DimmerText(int16_t dimmer) {
    switch (dimmer) {
        case 1:
            return "LO";
        case 2:
            return "MID";
        case 3:
            return "HI";
        default:
            return "OFF";
    }
}

std::string ScanTypeText(int16_t scanType) {
    switch (scanType) {
        case 0:
            return "Memory";
        case 1:
            return "Priority";
        default:
            return "";
    }
}

std::string RingerText(int16_t ind) {
    switch (ind) {
        case 1:
            return "10 times";
        case 2:
            return "15 times";
        case 3:
            return "3 min";
        default:
            return "5 times";
    }
}

std::string OffsetText(int16_t offsetTime) {
    const std::vector<std::string> list = OffsetTimeList();
    if (offsetTime < 0 || static_cast<std::size_t>(offsetTime) >= list.size())
        return "";
    return list[static_cast<std::size_t>(offsetTime)];
}

ChannelCells CellsOf(const PlanChannel& channel, const ChannelPlan& plan) {
    ChannelCells cells;
    cells.enable = channel.Enable != 0 ? "ENABLE" : "------";
    // A record whose position the plan does not have still gets a row, only without frequencies.
    double rx = 0.0;
    double tx = 0.0;
    if (plan.Contains(channel.Position)) {
        const ChannelPlanEntry& row = plan.At(channel.Position);
        rx = channel.Duplex != 0 ? row.DupRxFreq : row.RxFreq;
        tx = row.TxFreq;
    }
    cells.rx = FormatFreq(rx);
    cells.tx = FormatFreq(tx);
    cells.txEnable = TxCell(channel.TxEnable);
    cells.low = LowCell(channel.LowPower);
    cells.up = UpCell(channel.PowUp);
    cells.dup = DupCell(channel.Duplex);
    cells.scan = channel.ScanMemory != 0 ? "SCAN" : "----";
    cells.name = channel.ChTag;
    return cells;
}

std::string ChoiceText(int16_t slot, const ChannelPlan& plan) {
    const int position = slot + 1;
    if (slot == kNoChannel || !plan.Contains(position) || plan.At(position).Valid == 0)
        return "(None)";
    return plan.At(position).ChannelNo;
}

}  // namespace chanwright::report
