#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <memory>

class QSettings;

namespace chanwright {

// An INI file of settings, shared by the window and the command-line tool, which may both have it
// open at once. QSettings reads and writes the INI text, but only on a private copy: it cannot
// open a name that is not UTF-8, and it would wait for ever on a FIFO put in the file's place. The
// file itself is read once, whole, at most 1 MiB; a file that is no regular file or is larger is
// left alone (see Problem). Sync writes the file whole or not at all, and only the keys this store
// set or removed, over what the file holds by then, so that two programs do not undo each
// other's changes.
class SettingsFile {
  public:
    static constexpr qint64 kSizeLimit = 1024 * 1024;

    explicit SettingsFile(QString path);
    // Syncs what is pending.
    ~SettingsFile();
    SettingsFile(const SettingsFile&) = delete;
    SettingsFile& operator=(const SettingsFile&) = delete;

    const QString& Path() const { return path_; }
    // Why the file is ignored (defaults used, nothing written back), to warn once; empty when it
    // is read and written as usual.
    const QString& Problem() const { return problem_; }
    // Whether the file can be written, its folder made when missing.
    bool Writable() const;

    QVariant Value(const QString& key) const;
    bool Contains(const QString& key) const;
    void SetValue(const QString& key, const QString& value);
    void Remove(const QString& key);
    // Writes the keys set or removed since, and reads the file again.
    void Sync();

  private:
    void Load(const std::string& bytes);

    QString path_;
    QString problem_;
    QTemporaryDir copies_;
    std::unique_ptr<QSettings> settings_;
    QStringList changed_;  // the keys set or removed since the last Sync
    int copiesMade_ = 0;
};

}  // namespace chanwright
