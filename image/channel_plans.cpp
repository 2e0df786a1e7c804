#include "image/channel_plans.h"

#include "core/radio_data.h"

namespace chanwright {

namespace {

struct PlanRow {
    int position;
    const char* channelNo;
    bool valid;
    double txFreq;
    double rxFreq;
    double dupRxFreq;
    bool duplex;
    bool lowPower;
    const char* tag;
};

struct WxRow {
    int position;
    const char* channelNo;
    double freq;
    const char* tag;
};

// clang-format off
const PlanRow kUsaRows[] = {
    {1, "01A", true, 156.050, 156.050, 0, false, false, "VTS"},
    {2, "02", false, 0, 0, 0, false, false, ""},
    {3, "03A", true, 156.150, 156.150, 0, false, false, ""},
    {4, "04", false, 0, 0, 0, false, false, ""},
    {5, "05A", true, 156.250, 156.250, 0, false, false, "VTS"},
    {6, "06", true, 156.300, 156.300, 0, false, false, "SAFETY"},
    {7, "07A", true, 156.350, 156.350, 0, false, false, "COMMERCIAL"},
    {8, "08", true, 156.400, 156.400, 0, false, false, "COMMERCIAL"},
    {9, "09", true, 156.450, 156.450, 0, false, false, "CALLING"},
    {10, "10", true, 156.500, 156.500, 0, false, false, "COMMERCIAL"},
    {11, "11", true, 156.550, 156.550, 0, false, false, "VTS"},
    {12, "12", true, 156.600, 156.600, 0, false, false, "VTS"},
    {13, "13", true, 156.650, 156.650, 0, false, true, "BRG/BRG"},
    {14, "14", true, 156.700, 156.700, 0, false, false, "VTS"},
    {15, "15", true, 0, 156.750, 0, false, false, "COMMERCIAL"},
    {16, "16", true, 156.800, 156.800, 0, false, false, "DISTRESS"},
    {17, "17", true, 156.850, 156.850, 0, false, true, "SAR"},
    {18, "18A", true, 156.900, 156.900, 0, false, false, "COMMERCIAL"},
    {19, "19A", true, 156.950, 156.950, 0, false, false, "COMMERCIAL"},
    {20, "20", true, 157.000, 157.000, 161.600, true, false, "PORT OPR"},
    {21, "20A", true, 157.000, 157.000, 0, false, false, "PORT OPR"},
    {22, "21A", true, 157.050, 157.050, 0, false, false, "CCG"},
    {23, "22A", true, 157.100, 157.100, 0, false, false, "USCG"},
    {24, "23A", true, 157.150, 157.150, 0, false, false, "USCG"},
    {25, "24", true, 157.200, 157.200, 161.800, true, false, "TELEPHONE"},
    {26, "25", true, 157.250, 157.250, 161.850, true, false, "TELEPHONE"},
    {27, "26", true, 157.300, 157.300, 161.900, true, false, "TELEPHONE"},
    {28, "27", true, 157.350, 157.350, 161.950, true, false, "TELEPHONE"},
    {29, "28", true, 157.400, 157.400, 162.000, true, false, "TELEPHONE"},
    {30, "60", false, 0, 0, 0, false, false, ""},
    {31, "61A", true, 156.075, 156.075, 0, false, false, "CCG"},
    {32, "62", false, 0, 0, 0, false, false, ""},
    {33, "63A", true, 156.175, 156.175, 0, false, false, "VTS"},
    {34, "64A", true, 156.225, 156.225, 0, false, false, "COMMERCIAL"},
    {35, "65A", true, 156.275, 156.275, 0, false, false, "PORT OPR"},
    {36, "66A", true, 156.325, 156.325, 0, false, false, "PORT OPR"},
    {37, "67", true, 156.375, 156.375, 0, false, true, "BRG/BRG"},
    {38, "68", true, 156.425, 156.425, 0, false, false, "SHIP/SHIP"},
    {39, "69", true, 156.475, 156.475, 0, false, false, "PLEASURE"},
    {40, "70", true, 0, 156.525, 0, false, false, "DSC"},
    {41, "71", true, 156.575, 156.575, 0, false, false, "PLEASURE"},
    {42, "72", true, 156.625, 156.625, 0, false, false, "SHIP/SHIP"},
    {43, "73", true, 156.675, 156.675, 0, false, false, "PORT OPR"},
    {44, "74", true, 156.725, 156.725, 0, false, false, "PORT OPR"},
    {45, "75", true, 156.775, 156.775, 0, false, false, "PORT OPR"},
    {46, "76", true, 156.825, 156.825, 0, false, false, "PORT OPR"},
    {47, "77", true, 156.875, 156.875, 0, false, true, "PORT OPR"},
    {48, "78A", true, 156.925, 156.925, 0, false, false, "SHIP/SHIP"},
    {49, "79A", true, 156.975, 156.975, 0, false, false, "SHIP/SHIP"},
    {50, "80A", true, 157.025, 157.025, 0, false, false, "SHIP/SHIP"},
    {51, "81A", true, 157.075, 157.075, 0, false, false, "CCG"},
    {52, "82A", true, 157.125, 157.125, 0, false, false, "CCG"},
    {53, "83A", true, 157.175, 157.175, 0, false, false, "USGCG"},
    {54, "84", true, 157.225, 157.225, 161.825, true, false, "TELEPHONE"},
    {55, "84A", false, 157.225, 157.225, 0, false, false, ""},
    {56, "85", true, 157.275, 157.275, 161.875, true, false, "TELEPHONE"},
    {57, "85A", false, 157.275, 157.275, 0, false, false, ""},
    {58, "86", true, 157.325, 157.325, 161.925, true, false, "TELEPHONE"},
    {59, "86A", false, 157.325, 157.325, 0, false, false, ""},
    {60, "87", true, 157.375, 157.375, 161.975, true, false, "TELEPHONE"},
    {61, "87A", false, 157.375, 157.375, 0, false, false, ""},
    {62, "88", true, 157.425, 157.425, 162.025, true, false, "TELEPHONE"},
    {63, "88A", true, 157.425, 157.425, 0, false, false, "COMMERCIAL"},
};
const PlanRow kIntlRows[] = {
    {1, "01", true, 156.050, 156.050, 160.650, true, false, "TELEPHONE"},
    {2, "02", true, 156.100, 156.100, 160.700, true, false, "TELEPHONE"},
    {3, "03", true, 156.150, 156.150, 160.750, true, false, "TELEPHONE"},
    {4, "04", true, 156.200, 156.200, 160.800, true, false, "INTL"},
    {5, "05", true, 156.250, 156.250, 160.850, true, false, "INTL"},
    {6, "06", true, 156.300, 156.300, 0, false, false, "SAFETY"},
    {7, "07", true, 156.350, 156.350, 160.950, true, false, "INTL"},
    {8, "08", true, 156.400, 156.400, 0, false, false, "COMMERCIAL"},
    {9, "09", true, 156.450, 156.450, 0, false, false, "CALLING"},
    {10, "10", true, 156.500, 156.500, 0, false, false, "COMMERCIAL"},
    {11, "11", true, 156.550, 156.550, 0, false, false, "VTS"},
    {12, "12", true, 156.600, 156.600, 0, false, false, "VTS"},
    {13, "13", true, 156.650, 156.650, 0, false, false, "BRG/BRG"},
    {14, "14", true, 156.700, 156.700, 0, false, false, "VTS"},
    {15, "15", true, 156.750, 156.750, 0, false, true, "COMMERCIAL"},
    {16, "16", true, 156.800, 156.800, 0, false, false, "DISTRESS"},
    {17, "17", true, 156.850, 156.850, 0, false, true, "SAR"},
    {18, "18", true, 156.900, 156.900, 161.500, true, false, "INTL"},
    {19, "19", true, 156.950, 156.950, 161.550, true, false, "INTL"},
    {20, "20", true, 157.000, 157.000, 161.600, true, false, "PORT OPR"},
    {21, "21", true, 157.050, 157.050, 161.650, true, false, "INTL"},
    {22, "22", true, 157.100, 157.100, 161.700, true, false, "INTL"},
    {23, "23", true, 157.150, 157.150, 161.750, true, false, "INTL"},
    {24, "24", true, 157.200, 157.200, 161.800, true, false, "TELEPHONE"},
    {25, "25", true, 157.250, 157.250, 161.850, true, false, "TELEPHONE"},
    {26, "26", true, 157.300, 157.300, 161.900, true, false, "TELEPHONE"},
    {27, "27", true, 157.350, 157.350, 161.950, true, false, "TELEPHONE"},
    {28, "28", true, 157.400, 157.400, 162.000, true, true, "TELEPHONE"},
    {29, "60", true, 156.025, 156.025, 160.625, true, false, "TELEPHONE"},
    {30, "61", true, 156.075, 156.075, 160.675, true, false, "INTL"},
    {31, "62", true, 156.125, 156.125, 160.725, true, false, "INTL"},
    {32, "63", true, 156.175, 156.175, 160.775, true, false, "INTL"},
    {33, "64", true, 156.225, 156.225, 160.825, true, false, "TELEPHONE"},
    {34, "65", true, 156.275, 156.275, 160.875, true, false, "INTL"},
    {35, "65A", false, 156.275, 156.275, 0, false, false, ""},
    {36, "66", true, 156.325, 156.325, 160.925, true, false, "INTL"},
    {37, "66A", false, 156.325, 156.325, 0, false, false, ""},
    {38, "67", true, 156.375, 156.375, 0, false, false, "BRG/BRG"},
    {39, "68", true, 156.425, 156.425, 0, false, false, "SHIP-SHIP"},
    {40, "69", true, 156.475, 156.475, 0, false, false, "PLEASURE"},
    {41, "70", true, 0, 156.525, 0, false, false, "DSC"},
    {42, "71", true, 156.575, 156.575, 0, false, false, "PLEASURE"},
    {43, "72", true, 156.625, 156.625, 0, false, false, "SHIP-SHIP"},
    {44, "73", true, 156.675, 156.675, 0, false, false, "PORT OPR"},
    {45, "74", true, 156.725, 156.725, 0, false, false, "PORT OPR"},
    {46, "75", false, 156.775, 156.775, 0, false, false, ""},
    {47, "76", false, 156.825, 156.825, 0, false, false, ""},
    {48, "77", true, 156.875, 156.875, 0, false, false, "PORT OPR"},
    {49, "78", true, 156.925, 156.925, 161.525, true, false, "INTL"},
    {50, "79", true, 156.975, 156.975, 161.575, true, false, "INTL"},
    {51, "80", true, 157.025, 157.025, 161.625, true, false, "INTL"},
    {52, "81", true, 157.075, 157.075, 161.675, true, false, "INTL"},
    {53, "82", true, 157.125, 157.125, 161.725, true, false, "INTL"},
    {54, "83", true, 157.175, 157.175, 161.775, true, false, "INTL"},
    {55, "84", true, 157.225, 157.225, 161.825, true, false, "TELEPHONE"},
    {56, "85", true, 157.275, 157.275, 161.875, true, false, "TELEPHONE"},
    {57, "86", true, 157.325, 157.325, 161.925, true, false, "TELEPHONE"},
    {58, "87", true, 157.375, 157.375, 161.975, true, false, "TELEPHONE"},
    {59, "88", true, 157.425, 157.425, 162.025, true, false, "TELEPHONE"},
};
const PlanRow kCanadaRows[] = {
    {1, "01", true, 156.050, 156.050, 160.650, true, false, "TELEPHONE"},
    {2, "02", true, 156.100, 156.100, 160.700, true, false, "TELEPHONE"},
    {3, "03", true, 156.150, 156.150, 160.750, true, false, "TELEPHONE"},
    {4, "04A", true, 156.200, 156.200, 0, false, false, "CCG"},
    {5, "05A", true, 156.250, 156.250, 0, false, false, "VTS"},
    {6, "06", true, 156.300, 156.300, 0, false, false, "SAFETY"},
    {7, "07A", true, 156.350, 156.350, 0, false, false, "COMMERCIAL"},
    {8, "08", true, 156.400, 156.400, 0, false, false, "COMMERCIAL"},
    {9, "09", true, 156.450, 156.450, 0, false, false, "CALLING"},
    {10, "10", true, 156.500, 156.500, 0, false, false, "COMMERCIAL"},
    {11, "11", true, 156.550, 156.550, 0, false, false, "VTS"},
    {12, "12", true, 156.600, 156.600, 0, false, false, "VTS"},
    {13, "13", true, 156.650, 156.650, 0, false, true, "BRG/BRG"},
    {14, "14", true, 156.700, 156.700, 0, false, false, "VTS"},
    {15, "15", true, 156.750, 156.750, 0, false, true, "COMMERCIAL"},
    {16, "16", true, 156.800, 156.800, 0, false, false, "DISTRESS"},
    {17, "17", true, 156.850, 156.850, 0, false, true, "SAR"},
    {18, "18A", true, 156.900, 156.900, 0, false, false, "COMMERCIAL"},
    {19, "19A", true, 156.950, 156.950, 0, false, false, "COMMERCIAL"},
    {20, "20", true, 157.000, 157.000, 161.600, true, false, "PORT OPR"},
    {21, "21", false, 0, 0, 0, false, false, ""},
    {22, "21A", true, 157.050, 157.050, 0, false, false, "CCG"},
    {23, "22A", true, 157.100, 157.100, 0, false, false, "USCG"},
    {24, "23", true, 157.150, 157.150, 161.750, true, false, "INTL"},
    {25, "24", true, 157.200, 157.200, 161.800, true, false, "TELEPHONE"},
    {26, "25", true, 157.250, 157.250, 161.850, true, false, "TELEPHONE"},
    {27, "26", true, 157.300, 157.300, 161.900, true, false, "TELEPHONE"},
    {28, "27", true, 157.350, 157.350, 161.950, true, false, "TELEPHONE"},
    {29, "28", true, 157.400, 157.400, kCanada28DupRxFreq, true, false, "TELEPHONE"},
    {30, "60", true, 156.025, 156.025, 160.625, true, false, "TELEPHONE"},
    {31, "61A", true, 156.075, 156.075, 0, false, false, "CCG"},
    {32, "62A", true, 156.125, 156.125, 0, false, false, "CCG"},
    {33, "63", false, 0, 0, 0, false, false, ""},
    {34, "64", true, 156.225, 156.225, 160.825, true, false, "TELEPHONE"},
    {35, "64A", true, 156.225, 156.225, 0, false, false, "COMMERCIAL"},
    {36, "65A", true, 156.275, 156.275, 0, false, false, "PORT OPR"},
    {37, "66A", true, 156.325, 156.325, 0, false, true, "PORT OPR"},
    {38, "67", true, 156.375, 156.375, 0, false, false, "BRG/BRG"},
    {39, "68", true, 156.425, 156.425, 0, false, false, "SHIP-SHIP"},
    {40, "69", true, 156.475, 156.475, 0, false, false, "PLEASURE"},
    {41, "70", true, 0, 156.525, 0, false, false, "DSC"},
    {42, "71", true, 156.575, 156.575, 0, false, false, "PLEASURE"},
    {43, "72", true, 156.625, 156.625, 0, false, false, "SHIP-SHIP"},
    {44, "73", true, 156.675, 156.675, 0, false, false, "PORT OPR"},
    {45, "74", true, 156.725, 156.725, 0, false, false, "PORT OPR"},
    {46, "75", false, 156.775, 156.775, 0, false, false, ""},
    {47, "76", false, 156.825, 156.825, 0, false, false, ""},
    {48, "77", true, 156.875, 156.875, 0, false, true, "PORT OPR"},
    {49, "78A", true, 156.925, 156.925, 0, false, false, "SHIP/SHIP"},
    {50, "79A", true, 156.975, 156.975, 0, false, false, "SHIP/SHIP"},
    {51, "80A", true, 157.025, 157.025, 0, false, false, "SHIP/SHIP"},
    {52, "81A", true, 157.075, 157.075, 0, false, false, "CCG"},
    {53, "82A", true, 157.125, 157.125, 0, false, false, "CCG"},
    {54, "83", true, 157.175, 157.175, 161.775, true, false, "CCG"},
    {55, "83A", true, 157.175, 157.175, 0, false, false, "CCG"},
    {56, "84", true, 157.225, 157.225, 161.825, true, false, "TELEPHONE"},
    {57, "85", true, 157.275, 157.275, 161.875, true, false, "TELEPHONE"},
    {58, "86", true, 157.325, 157.325, 161.925, true, false, "TELEPHONE"},
    {59, "87", true, 157.375, 157.375, 161.975, true, false, "TELEPHONE"},
    {60, "88", true, 157.425, 157.425, 162.025, true, false, "TELEPHONE"},
};
const WxRow kWxRows[] = {
    {1, "WX01[162.550MHz]", 162.550, "162.550MHZ"},
    {2, "WX02[162.400MHz]", 162.400, "162.400MHZ"},
    {3, "WX03[162.475MHz]", 162.475, "162.475MHZ"},
    {4, "WX04[162.425MHz]", 162.425, "162.425MHZ"},
    {5, "WX05[162.450MHz]", 162.450, "162.450MHZ"},
    {6, "WX06[162.500MHz]", 162.500, "162.500MHZ"},
    {7, "WX07[162.525MHz]", 162.525, "162.525MHZ"},
    {8, "WX08[161.650MHz]", 161.650, "161.650MHZ"},
    {9, "WX09[161.775MHz]", 161.775, "161.775MHZ"},
    {10, "WX10[163.275MHz]", 163.275, "163.275MHZ"},
};
// clang-format on

template <std::size_t N>
void LoadRows(ChannelPlan& plan, const PlanRow (&rows)[N]) {
    for (const PlanRow& r : rows) {
        SetPlanEntry(plan, r.position, r.channelNo, r.txFreq, r.rxFreq, r.dupRxFreq, r.duplex,
                     r.lowPower, r.tag, r.valid);
    }
}

// EXP raster frequencies are worked out in kHz and divided once, so each is the double nearest
// its decimal value, exactly as a literal would be.
double KHz(int khz) {
    return khz / 1000.0;
}

}  // namespace

void SetPlanEntry(ChannelPlan& plan, int position, const std::string& channelNo, double txFreq,
                  double rxFreq, double dupRxFreq, bool duplexFlag, bool lowPowerFlag,
                  const std::string& tag, bool valid) {
    ChannelPlanEntry& entry = plan.At(position);
    entry.Valid = ToBool16(valid);
    entry.ChannelNo = channelNo;
    entry.TxFreq = txFreq;
    entry.RxFreq = rxFreq;
    entry.DupRxFreq = dupRxFreq;
    entry.DuplexFlag = ToBool16(duplexFlag);
    entry.LowPowerFlag = ToBool16(lowPowerFlag);
    entry.Tag = tag;
}

void LoadUsaPlan(ChannelPlan& plan) {
    LoadRows(plan, kUsaRows);
}
void LoadIntlPlan(ChannelPlan& plan) {
    LoadRows(plan, kIntlRows);
}
void LoadCanadaPlan(ChannelPlan& plan) {
    LoadRows(plan, kCanadaRows);
}

void LoadWxPlan(ChannelPlan& plan) {
    for (const WxRow& r : kWxRows) {
        SetPlanEntry(plan, r.position, r.channelNo, 0.0, r.freq, r.freq, true, false, r.tag, true);
    }
}

void LoadExpPlan(ChannelPlan& plan) {
    for (int i = 0; i <= kExpPlanLast; ++i) {
        int khz = 0;
        bool duplex = true;
        if (i < 60) {
            khz = 156000 + 50 * i;
        } else if (i < 120) {
            khz = 156025 + 50 * (i - 60);
        } else if (i < 242) {
            khz = 159000 + 25 * (i - 120);
            duplex = false;
        } else {
            khz = 155975 - 25 * (i - 242);
        }
        const bool valid = i != 75 && i != 76 && i != 85 && i != 86;
        SetPlanEntry(plan, i, "", KHz(khz), KHz(khz), duplex ? KHz(khz + 4600) : 0.0, duplex, false,
                     "", valid);
    }
}

void LoadAllPlans(ChannelPlans& plans) {
    LoadUsaPlan(plans.UsaPlan);
    LoadIntlPlan(plans.IntlPlan);
    LoadCanadaPlan(plans.CanadaPlan);
    LoadWxPlan(plans.WxPlan);
    LoadExpPlan(plans.ExpPlan);
}

}  // namespace chanwright
