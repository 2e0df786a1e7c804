#pragma once

#include <QByteArrayList>
#include <QStringList>
#include <memory>

#include "core/app_state.h"

class QWidget;

namespace chanwright::test {

struct Desk;

// Tells a story of the window as a user lives it. A story is a transcript in a golden file: a
// heading ("== name"), then lines of steps ("> node S; click chkFBeep; show edits page"), each
// followed by what its `show` saw; "# " lines say why. Run does the steps on a fresh window and
// writes the transcript anew, for a whole comparison with the golden copy. A step it cannot do
// shows as "!! " and what went wrong, so the comparison fails there.
class StoryRunner {
  public:
    StoryRunner();
    ~StoryRunner();

    // The headings of a golden file's stories, and one story's text.
    static QByteArrayList Headings(const QString& goldenName);
    static QByteArray Story(const QString& goldenName, const QByteArray& heading);

    QByteArray Run(const QByteArray& story);

  private:
    void Do(QStringList step);
    void PasteFromMenu(QWidget* box);
    void Show(const QString& what);
    QWidget* Widget(const QString& name);

    std::unique_ptr<Desk> desk_;
    AppState mark_;
    QString told_;
};

}  // namespace chanwright::test
