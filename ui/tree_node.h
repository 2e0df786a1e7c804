#pragma once

#include <QMetaType>
#include <QString>

#include "image/image_codec.h"

namespace chanwright {

// What a node of the navigation tree shows, set on the node once as the tree is built; the
// window picks the node's page by its kind.
struct TreeNode {
    enum class Kind {
        None,            // no node
        Programmable,    // "Programmable Channel": the channels common to all regions
        RegionList,      // "USA", "International", "Canada": a region's channel list
        RegionChannel,   // one channel of a region's list
        Wx,              // "WX Channel"
        ExpList,         // "Exp Channel": the list of the EXP channels
        ExpChannel,      // one EXP channel
        Setting,         // "Setting"
        Directory,       // "Individual Directory" or "Group Directory": its list
        DirectoryEntry,  // one entry of a directory
    };

    Kind kind = Kind::None;
    Region region = Region::Usa;  // RegionList and RegionChannel
    bool group = false;           // Directory and DirectoryEntry: the group directory
    // RegionChannel: the channel's place in its list, from 0; ExpChannel: the EXP number, 1-40;
    // DirectoryEntry: the entry's number, from 1.
    int index = 0;
};

bool operator==(const TreeNode& a, const TreeNode& b);
inline bool operator!=(const TreeNode& a, const TreeNode& b) {
    return !(a == b);
}

// The node's name for a lookup by key ("P", "PU", "PU12", "PW", "E", "E12", "S", "SM", "SM3",
// "SG", "SG1"); empty for no node. Nothing reads a node's kind back from its key.
QString KeyOf(const TreeNode& node);

}  // namespace chanwright

Q_DECLARE_METATYPE(chanwright::TreeNode)
