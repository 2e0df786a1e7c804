#include "ui/help_contexts.h"

#include <QHash>
#include <QVariant>
#include <QWidget>

namespace chanwright {

namespace {

const QHash<QString, int>& Contexts() {
    static const QHash<QString, int> contexts = {
        {"MSFlexGrid1", 1022},       {"cmbCN", 1025},
        {"chkCEnable", 1028},        {"chkDEnable", 1028},
        {"chkCTXEnable", 1029},      {"chkCDup", 1030},
        {"chkCTXOnly", 1031},        {"chkCTXPower", 1032},
        {"chkCScan", 1033},          {"chkDScan", 1033},
        {"txtCTag", 1034},           {"txtDTagName", 1034},
        {"cmbFCont", 1036},          {"cmbFDim", 1037},
        {"chkFBeep", 1038},          {"chkFATIS", 1039},
        {"txtFATISNo", 1040},        {"cmbFScan", 1041},
        {"chkFDSC", 1042},           {"cmbFOffset", 1043},
        {"txtFUser", 1044},          {"txtFCount", 1045},
        {"cmdFClear", 1046},         {"MSFlexGrid2", 1047},
        {"chkGEnable", 1049},        {"chkGDelete", 1049},
        {"txtGPosi", 1050},          {"txtGMMSI", 1051},
        {"tvTreeView", 1054},        {"chkFindReply", 1058},
        {"chkFindAck", 1059},        {"cmbFIND", 1060},
        {"chkFposRR", 1061},         {"chkFWX", 1062},
        {"cmbFScrambler", 1063},     {"chkCVSmemory", 1064},
        {"cmbAUSA", 1072},           {"cmbAInterNational", 1072},
        {"cmbACanada", 1072},        {"cmbBUSA", 1073},
        {"cmbBInterNational", 1073}, {"cmbBCanada", 1073},
        {"chkFMAG", 1074},           {"mnuHelpContents", kHelpContents},
    };
    return contexts;
}

// The setting page and the common channel page have topics of their own, which F1 opens on the
// controls there that have none (the setting page's tabs).
const QHash<QString, int>& PageContexts() {
    static const QHash<QString, int> contexts = {{"pictF", 1075}, {"pictA", 1076}};
    return contexts;
}

}  // namespace

int HelpContextFor(const QString& objectName) {
    return Contexts().value(objectName, PageContexts().value(objectName, 0));
}

void SetHelpContexts(QWidget* root) {
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        const int context = HelpContextFor(widget->objectName());
        if (context != 0)
            widget->setProperty("helpContext", context);
    }
}

int HelpContextOf(const QWidget* focus) {
    for (const QWidget* widget = focus; widget; widget = widget->parentWidget()) {
        const int context = widget->property("helpContext").toInt();
        if (context != 0)
            return context;
    }
    return kHelpContents;
}

}  // namespace chanwright
