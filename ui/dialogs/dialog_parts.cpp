#include "ui/dialogs/dialog_parts.h"

#include <QBoxLayout>
#include <QDialog>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>

namespace chanwright {

DialogButtons AddDialogButtons(QDialog* dialog, QBoxLayout* layout, QPushButton* extra) {
    auto* row = new QHBoxLayout;
    if (extra) {
        extra->setAutoDefault(false);
        row->addWidget(extra);
    }
    row->addStretch(1);
    auto* ok = new QPushButton(QStringLiteral("OK"), dialog);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), dialog);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    cancel->setAutoDefault(false);
    row->addWidget(ok);
    row->addWidget(cancel);
    layout->addLayout(row);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return {ok, cancel};
}

QPlainTextEdit* AddLinesView(QDialog* dialog, QBoxLayout* layout,
                             const std::vector<std::string>& lines, const char* objectName) {
    auto* text = new QPlainTextEdit(dialog);
    text->setObjectName(QLatin1String(objectName));
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    QStringList all;
    for (const std::string& line : lines)
        all << QString::fromStdString(line);
    text->setPlainText(all.join(QLatin1Char('\n')));
    layout->addWidget(text);
    return text;
}

void MakeRowChooser(QTableWidget* table) {
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->setWordWrap(false);
    table->horizontalHeader()->setStretchLastSection(true);
}

}  // namespace chanwright
