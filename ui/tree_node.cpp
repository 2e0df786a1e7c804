#include "ui/tree_node.h"

namespace chanwright {

namespace {

QString RegionKey(Region region) {
    switch (region) {
        case Region::Usa:
            return QStringLiteral("PU");
        case Region::International:
            return QStringLiteral("PI");
        case Region::Canada:
            return QStringLiteral("PC");
    }
    return QString();
}

QString DirectoryKey(bool group) {
    return group ? QStringLiteral("SG") : QStringLiteral("SM");
}

}  // namespace

bool operator==(const TreeNode& a, const TreeNode& b) {
    return a.kind == b.kind && a.region == b.region && a.group == b.group && a.index == b.index;
}

QString KeyOf(const TreeNode& node) {
    using Kind = TreeNode::Kind;
    switch (node.kind) {
        case Kind::None:
            return QString();
        case Kind::Programmable:
            return QStringLiteral("P");
        case Kind::RegionList:
            return RegionKey(node.region);
        case Kind::RegionChannel:
            return RegionKey(node.region) + QString::number(node.index);
        case Kind::Wx:
            return QStringLiteral("PW");
        case Kind::ExpList:
            return QStringLiteral("E");
        case Kind::ExpChannel:
            return QStringLiteral("E") + QString::number(node.index);
        case Kind::Setting:
            return QStringLiteral("S");
        case Kind::Directory:
            return DirectoryKey(node.group);
        case Kind::DirectoryEntry:
            return DirectoryKey(node.group) + QString::number(node.index);
    }
    return QString();
}

}  // namespace chanwright
