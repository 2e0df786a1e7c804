#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <string>

class QLineEdit;

namespace chanwright {

bool IsDigitChar(QChar c);
// The digits of a text, in order; everything else left out (what typing the text would enter).
QString DigitsOf(const QString& text);

// The stored form of an MMSI box's text, or nothing when the text is refused. Accepted are an
// empty box and exactly `digits` digits (spaces around them are dropped). Eight digits (a group)
// get a leading "0"; nine characters get the radio's tenth digit "0" appended.
std::optional<std::string> StoredMmsi(const QString& text, int digits);
// The ATIS number: empty, or exactly ten digits.
std::optional<std::string> StoredAtisNo(const QString& text);

// The MMSI or ATIS entry the user changed and that was not yet accepted ("EntryPending"). One per
// window: the settings page and the directory entry page share it, and one box at a time holds
// it.
struct EntryPending {
    // The box holding the entry; none when nothing is pending.
    QLineEdit* box = nullptr;
    // Its last check refused it. It stays refused until it is accepted or the stored value is back
    // in the box.
    bool refused = false;

    bool Pending() const { return box != nullptr; }
};

// The protocol of a digits-only entry box (user MMSI, ATIS number, directory MMSI):
// - getting the focus shows the hint and selects the text;
// - only "0" … "9" and backspace can be typed, and a paste enters only the digits it holds;
// - a change made while the box's page is the current one makes the entry pending;
// - when the focus moves on to another control, a pending entry is checked with its message, and
//   a refused one keeps the focus in the box;
// - when the program takes the focus away (the page is switched), a pending entry is checked
//   silently: a refused one returns to the stored value;
// - a menu, a popup, a message box, a dialog or another window takes the focus for a while only:
//   the entry stays pending, and the command chosen meanwhile checks it (Validate).
class DigitEntry : public QObject {
    Q_OBJECT
  public:
    // check(show) validates and stores the box's text; when show is true and the text is refused
    // it shows the message itself; when false, it puts the stored value back into the box.
    DigitEntry(QLineEdit* box, EntryPending& state, QString hint, std::function<bool()> pageActive,
               std::function<bool(bool show)> check);

    bool Pending() const { return state_.box == box_; }
    // The check a command runs first (CheckPendingEntry), wherever the focus is: true when nothing
    // is pending or the entry is accepted. A refused entry gets its message and the focus.
    bool Validate();
    // The box shows the stored value again (its page was refilled): nothing is pending.
    void Discard();
    QLineEdit* Box() const { return box_; }

  signals:
    void StatusHint(const QString& text);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Checks the pending entry with its message; false when refused.
    bool CheckPending();
    void Paste();
    void KeepDigits();

    QLineEdit* box_;
    EntryPending& state_;
    QString hint_;
    std::function<bool()> pageActive_;
    std::function<bool(bool)> check_;
};

}  // namespace chanwright
