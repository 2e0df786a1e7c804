#include "report/data_merge.h"

#include <array>
#include <utility>

#include "image/image_codec.h"

namespace chanwright::report {

namespace {

constexpr std::array<std::pair<std::string_view, MergePart>, 7> kPartWords = {{
    {"channels", MergePart::Channels},
    {"wx", MergePart::Wx},
    {"exp", MergePart::Exp},
    {"individual", MergePart::Individual},
    {"group", MergePart::Group},
    {"settings", MergePart::Settings},
    {"identity", MergePart::Identity},
}};

// A WX record holds only its switches and its name.
void CopyWxFields(WxChannel& to, const WxChannel& from) {
    to.Enable = from.Enable;
    to.ScanMemory = from.ScanMemory;
    to.ChTag = from.ChTag;
}

void CopyList(std::vector<PlanChannel>& to, const std::vector<PlanChannel>& from,
              void (*copy)(PlanChannel&, const PlanChannel&)) {
    for (PlanChannel& channel : to) {
        for (const PlanChannel& source : from) {
            if (source.Position == channel.Position) {
                copy(channel, source);
                break;
            }
        }
    }
}

// Everything of the settings but the identity, which stays the base's.
void CopySettings(CommonSettings& to, const CommonSettings& from) {
    const std::string userMmsi = to.UserMmsid;
    const std::string atisNo = to.AtisNo;
    to = from;
    to.UserMmsid = userMmsi;
    to.AtisNo = atisNo;
}

void CopyPart(RadioData& to, const RadioData& from, MergePart part) {
    switch (part) {
        case MergePart::Channels:
            for (const Region region : {Region::Usa, Region::International, Region::Canada})
                CopyList(ChannelsOf(to, region), ChannelsOf(from, region), CopyChosenFields);
            to.Channels = from.Channels;
            break;
        case MergePart::Wx:
            CopyList(to.WxChannels, from.WxChannels, CopyWxFields);
            break;
        case MergePart::Exp:
            to.ExpChannels = from.ExpChannels;
            break;
        case MergePart::Individual:
            to.IndividualDirectory = from.IndividualDirectory;
            break;
        case MergePart::Group:
            to.GroupDirectory = from.GroupDirectory;
            break;
        case MergePart::Settings:
            CopySettings(to.Common, from.Common);
            break;
        case MergePart::Identity:
            to.Common.UserMmsid = from.Common.UserMmsid;
            to.Common.AtisNo = from.Common.AtisNo;
            break;
    }
}

}  // namespace

std::optional<MergePart> ParseMergePart(std::string_view word) {
    for (const auto& [name, part] : kPartWords) {
        if (word == name)
            return part;
    }
    return std::nullopt;
}

std::string MergePartWords() {
    std::string words;
    for (const auto& [name, part] : kPartWords)
        words += (words.empty() ? "" : ", ") + std::string(name);
    return words;
}

bool MergeParts(AppState& base, const AppState& from, const std::vector<MergePart>& parts,
                std::string& error) {
    // Channel records, A and B choices and EXP positions name rows of the model's own plans; on
    // another model's plans they would name other channels.
    if (base.Shared.ModelNum != from.Shared.ModelNum) {
        error = "the data sets are of two models (" + base.Shared.ModelName() + " and " +
                from.Shared.ModelName() +
                "); parts can be merged only between data sets of one "
                "model";
        return false;
    }
    for (const MergePart part : parts)
        CopyPart(base.Data, from.Data, part);
    return true;
}

}  // namespace chanwright::report
