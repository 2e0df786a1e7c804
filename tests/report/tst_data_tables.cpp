// The channel and directory tables: imports of many kinds of sheet against the outcomes golden,
// and export then import, onto the same data set and onto a new one.
#include <QtTest>

#include "report/data_diff.h"
#include "report/data_tables.h"
#include "tests/support/test_files.h"

using namespace chanwright;
using namespace chanwright::report;

namespace {

AppState MakeApp(const char* fixture, Model model) {
    AppState app = test::MakeDefaultApp(model);
    if (*fixture)
        test::ReadDataFixture(app, fixture);
    return app;
}

// The case's text saved as its name says ("utf-16: ", "cp1252: ", "bom: ", "crlf: ").
QByteArray Saved(QString& name, const QString& text) {
    QByteArray bytes = text.toUtf8();
    for (bool more = true; more;) {
        more = false;
        const auto take = [&](const char* prefix) {
            const bool found = name.startsWith(prefix);
            name.remove(0, found ? int(std::strlen(prefix)) : 0);
            return more = found;
        };
        if (take("utf-16: ")) {
            bytes = QByteArray("\xFF\xFE") +
                    QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        } else if (take("cp1252: ")) {
            bytes = text.toLatin1();
        } else if (take("bom: ")) {
            bytes.prepend("\xEF\xBB\xBF");
        } else if (take("crlf: ")) {
            bytes.replace("\n", "\r\n");
        }
    }
    return bytes;
}

}  // namespace

class TestDataTables : public QObject {
    Q_OBJECT
  private slots:
    // The cases are tests/data/report_table_cases.txt, "=== name" and the table's lines.
    void imports_data() {
        QTest::addColumn<QString>("text");
        const QString cases = test::ReadBytes(test::TestDataPath("report_table_cases.txt"));
        for (const QString& story : cases.split("=== ").mid(1))
            QTest::newRow(qPrintable(story.section('\n', 0, 0))) << story.section('\n', 1);
    }
    void imports() {
        QFETCH(QString, text);
        QString name = QTest::currentDataTag();
        const QByteArray bytes = Saved(name, text);
        const bool replace = name.startsWith("replace: ");
        AppState app = MakeApp("cli/a.dat", Model::TQ5300);
        const AppState before = app;
        const TableImport found = ImportTable(app, bytes.toStdString(), "t.csv", replace);
        QString story = "=== " + QString(QTest::currentDataTag()) + '\n';
        for (const auto& [heading, lines] : {std::pair{"warnings", found.warnings},
                                             {"errors", found.errors},
                                             {"changes", DiffLines(before, app)}}) {
            for (const std::string& line : lines)
                story += QString(heading) + ": " + QString::fromStdString(line) + '\n';
        }
        // An error changes nothing at all.
        QVERIFY(found.errors.empty() || app.Data == before.Data);
        COMPARE_GOLDEN_STORY(story.toUtf8(), "report_table_outcomes.txt");
    }

    void roundTrips_data() {
        QTest::addColumn<QString>("fixture");
        QTest::addColumn<int>("model");
        QTest::addColumn<bool>("fits");  // every name fits the radio, so a new set takes them
        QTest::newRow("cli/a.dat") << "cli/a.dat" << int(Model::TQ5300) << false;
        QTest::newRow("cli/b.dat") << "cli/b.dat" << int(Model::TQ5300) << true;
        QTest::newRow("report_rich.dat") << "report_rich.dat" << int(Model::HV2071P) << false;
        QTest::newRow("HV2071P default") << "" << int(Model::HV2071P) << true;
    }
    void roundTrips() {
        QFETCH(QString, fixture);
        QFETCH(int, model);
        QFETCH(bool, fits);
        const AppState source = MakeApp(qPrintable(fixture), Model(model));
        AppState same = source;
        AppState fresh = MakeApp("", Model(model));
        for (const TableKind kind : {TableKind::Channels, TableKind::Directory}) {
            const std::string table = ExportTable(source, kind);
            for (AppState* onto : {&same, fits ? &fresh : &same}) {
                const TableImport found = ImportTable(*onto, table, "t.csv", false);
                QCOMPARE(QString::fromStdString(found.errors.empty() ? "" : found.errors[0]), "");
                QVERIFY(found.warnings.empty() && found.kind == kind);
            }
            if (fits)
                QCOMPARE(QString::fromStdString(ExportTable(fresh, kind)),
                         QString::fromStdString(table));
        }
        QCOMPARE(DiffLines(source, same), std::vector<std::string>{});
    }
};

QTEST_GUILESS_MAIN(TestDataTables)
#include "tst_data_tables.moc"
