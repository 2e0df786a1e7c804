#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "tests/support/test_files.h"

// Timing and a fully populated data set, shared by the benchmarks.
namespace chanwright::bench {

struct Figures {
    double medianUs;
    double p95Us;
};

// Times each run on its own, so one slow run (a page fault, a disk flush) shows in p95 rather
// than in the median.
template <typename Work>
Figures Measure(int runs, Work work) {
    std::vector<double> samples;
    samples.reserve(static_cast<std::size_t>(runs));
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const auto stop = std::chrono::steady_clock::now();
        samples.push_back(std::chrono::duration<double, std::micro>(stop - start).count());
    }
    std::sort(samples.begin(), samples.end());
    const auto at = [&](double q) {
        return samples[std::min(samples.size() - 1, static_cast<std::size_t>(q * samples.size()))];
    };
    return {at(0.5), at(0.95)};
}

inline void PrintHeader(const char* title, int runs) {
    std::printf("%s (%d runs)\n%-34s %12s %12s\n", title, runs, "operation", "median us", "p95 us");
}

inline void PrintRow(const char* name, const Figures& f) {
    std::printf("%-34s %12.2f %12.2f\n", name, f.medianUs, f.p95Us);
}

// Name text of exactly `length` radio characters: the prefix, then the number right-aligned.
inline std::string Tag(const char* prefix, int number, std::size_t length) {
    std::string digits = std::to_string(number);
    std::string text = prefix;
    text.resize(length - std::min(length, digits.size()), ' ');
    return (text + digits).substr(0, length);
}

// The largest data set a user can make: every channel named and in the scan memory, every EXP
// place used and both directories full.
inline AppState MakeRichApp(Model modelNum) {
    AppState app = test::MakeDefaultApp(modelNum);
    RadioData& d = app.Data;
    int n = 0;
    for (auto* list : {&d.UsaChannels, &d.IntlChannels, &d.CanadaChannels, &d.WxChannels}) {
        for (PlanChannel& c : *list) {
            c.ChTag = Tag("CHANNEL", ++n, kChannelTagLength);
            c.ScanMemory = ToBool16(n % 2 == 0);
            c.VsMemory = ToBool16(n % 3 == 0);
        }
    }
    for (int i = 0; i < kExpChannelCount; ++i) {
        ExpChannel& c = d.ExpChannels[static_cast<std::size_t>(i)];
        c.Position = static_cast<int16_t>(1 + 7 * i);
        SeedExpChannel(c, app.Plans.ExpPlan);
        c.Enable = kTrue;
        c.ChTag = Tag("EXP", i + 1, kChannelTagLength);
    }
    // Nine digits and the stored tenth "0"; group numbers start with 0.
    auto fill = [](auto& directory, const char* name, int base) {
        int k = 0;
        for (DirectoryEntry& e : directory) {
            ++k;
            e.Enable = kTrue;
            e.TagName = Tag(name, k, kDirectoryTagLength);
            e.Mmsid = Tag("", base + k, 9) + "0";
            std::replace(e.Mmsid.begin(), e.Mmsid.end(), ' ', '0');
        }
    };
    fill(d.IndividualDirectory, "SHIP", 366000000);
    fill(d.GroupDirectory, "GROUP", 36600000);
    d.Common.UserMmsid = "3669999990";
    d.Common.AtisNo = "9236612345";
    return app;
}

}  // namespace chanwright::bench
