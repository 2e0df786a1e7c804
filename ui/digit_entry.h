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

// What a digit box's text is stored as, or, when it is refused, the rule it breaks: one line under
// "Data Error!!", such as "User MMSI: 9 digits are needed; 8 were typed.".
struct DigitCheck {
    std::optional<std::string> stored;
    std::string reason;
};

// A user or individual MMSI has 9 digits; a group MMSI 8 after its fixed "0", or all 9 with it.
enum class MmsiRule { Individual, Group };
// An MMSI box's text (spaces around it dropped): empty, or the rule's digits, stored as 9 digits
// and the radio's tenth digit "0" (a group's 8 get their "0" in front). `name` begins the reason.
DigitCheck CheckMmsiText(const QString& text, MmsiRule rule, const char* name);
// The ATIS number: empty, or exactly ten digits.
DigitCheck CheckAtisText(const QString& text);

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
// - only "0" … "9" and backspace can be typed, and a paste (Ctrl+V, the context menu, the middle
//   button, a drop) enters only the digits it holds; a paste without digits changes nothing, as a
//   letter typed over the number does;
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
    void Paste(const QString& text);
    void ShowContextMenu(const QPoint& at);
    void KeepDigits();

    QLineEdit* box_;
    EntryPending& state_;
    QString hint_;
    std::function<bool()> pageActive_;
    std::function<bool(bool)> check_;
};

}  // namespace chanwright
