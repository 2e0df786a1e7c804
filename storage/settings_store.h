#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

#include "core/shared_state.h"

namespace chanwright {

class SettingsFile;

// The application's own values that survive a restart: the selected model, the serial port and
// the main window's last position. The store is named after the application title; since that
// title holds a "/", the file name carries a "-" in its place.
class SettingsStore {
  public:
    static constexpr const char* kApplicationTitle = "PC Program for HV2071P/TQ5300 Series";

    // The per-user store of this application (an INI file under the user's configuration folder).
    SettingsStore();
    // A store kept in the given INI file, for tests and for tools that must not touch the user's.
    explicit SettingsStore(const QString& iniPath);
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    QString FileName() const;
    // Why the file is ignored, to be said once where the settings are read (see SettingsFile);
    // empty when all is well.
    QString Problem() const;
    // Whether the store's file can be written (its folder made when missing): a store that cannot
    // be keeps its values only until the program ends.
    bool Writable() const;

    // 1 … 4; 1 when absent or not one of those.
    int16_t ReadComNum() const;
    void WriteComNum(int16_t comNum);
    // The device behind COMn (n = 1 … 4), from the keys "Port1" … "Port4" of the port's section,
    // resolved as DevicePath resolves a name (a relative one written by hand, or by an older
    // version, names the same device for every program); DefaultComDevice when absent or empty.
    QString ReadComDevice(int16_t comNum) const;
    void WriteComDevice(int16_t comNum, const QString& device);
    // On Linux the usual USB adapters, the first USB modem-class port and the first on-board
    // port; elsewhere COMn is COMn.
    static QString DefaultComDevice(int16_t comNum);
    // 1 for TQ5300, 0 for HV2071P; anything else stored reads as 0.
    Model ReadModelNum() const;
    void WriteModelNum(Model model);
    // Options > Log Serial Traffic: off unless switched on.
    bool ReadLogSerialTraffic() const;
    void WriteLogSerialTraffic(bool on);
    // File ▸ 1 … 6, most recent first: keys "Recent1", "Recent2" … of section "Files", read up to
    // the first absent or empty one. A path that is not UTF-8 is stored as a file URL with its
    // bytes percent-encoded (as does the last folder and a COM item's device), so that it reads
    // back as the same bytes.
    QStringList ReadRecentFiles() const;
    void WriteRecentFiles(const QStringList& paths);
    // Where the Open and Save As dialogs start: the folder a data file was last opened from or
    // saved to; empty when none was.
    QString ReadLastFolder() const;
    void WriteLastFolder(const QString& folder);
    // Twips; stored only, never read back by the application.
    void WriteWindowPosition(int left, int top, int width, int height);

    // Flushes pending writes to disk.
    void Sync();

  private:
    std::unique_ptr<SettingsFile> file_;
};

}  // namespace chanwright
