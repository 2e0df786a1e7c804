// The window as a user lives it, told as stories in tests/data/ui/stories: each story a test row,
// its steps done on a fresh window and its transcript compared whole with the golden one.
#include <QDir>

#include "tests/support/test_files.h"
#include "tests/ui/story_runner.h"

using namespace chanwright::test;

class TestStories : public QObject {
    Q_OBJECT

  private slots:
    void stories_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("heading");
        for (const QString& file : QDir(TestDataPath("ui/stories")).entryList({"*.txt"})) {
            for (const QByteArray& heading : StoryRunner::Headings("ui/stories/" + file)) {
                QTest::newRow(qPrintable(file.chopped(4) + ": " + heading.mid(3)))
                    << "ui/stories/" + file << heading;
            }
        }
    }
    void stories() {
        QFETCH(QString, file);
        QFETCH(QByteArray, heading);
        COMPARE_GOLDEN_STORY(StoryRunner().Run(StoryRunner::Story(file, heading)), file);
    }
};

QTEST_MAIN(TestStories)
#include "tst_stories.moc"
