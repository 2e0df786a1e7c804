#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <string>

class QLineEdit;

namespace chanwright {

bool IsDigitChar(QChar c);

// The stored form of an MMSI box's text, or nothing when the text is refused. Accepted are an
// empty box and exactly `digits` digits (spaces around them are dropped). Eight digits (a group)
// get a leading "0"; nine characters get the radio's tenth digit "0" appended.
std::optional<std::string> StoredMmsi(const QString& text, int digits);
// The ATIS number: empty, or exactly ten digits.
std::optional<std::string> StoredAtisNo(const QString& text);

// Whether the focused MMSI or ATIS box holds a change that was not yet validated ("EntryPending").
// One per window: the settings page and the directory entry page share it.
struct EntryPending {
    bool pending = false;
};

// The protocol of a digits-only entry box (user MMSI, ATIS number, directory MMSI):
// - getting the focus shows the hint, clears EntryPending and selects the text;
// - only "0" … "9" and backspace can be typed;
// - a change made while the box's page is the current one sets EntryPending;
// - when the focus moves on to another control of the window, a pending entry is validated with
//   its message; a refused one keeps the focus in the box;
// - when the focus leaves otherwise, a pending entry is checked silently (a refused one returns to
//   the stored value).
class DigitEntry : public QObject {
    Q_OBJECT
  public:
    // check(show) validates and stores the box's text; when show is true and the text is refused
    // it shows the message itself; when false, it puts the stored value back into the box.
    DigitEntry(QLineEdit* box, EntryPending& state, QString hint, std::function<bool()> pageActive,
               std::function<bool(bool show)> check);

    // The validation a command runs first (CheckPendingEntry): false when the entry is refused.
    bool Validate();
    QLineEdit* Box() const { return box_; }

  signals:
    void StatusHint(const QString& text);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QLineEdit* box_;
    EntryPending& state_;
    QString hint_;
    std::function<bool()> pageActive_;
    std::function<bool(bool)> check_;
};

}  // namespace chanwright
