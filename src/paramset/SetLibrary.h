#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <vector>

// The parameter library: named sets, one file each in a folder, in the format --read writes
// ([Device] and [Param]), so a set keeps the firmware and the block it came from and converts
// exactly. A file copied into the folder by hand counts as well.
namespace params {

// What the library refuses; the text says what and names the set or file.
class ESetLibrary : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One set as the library lists it.
struct LibraryEntry {
    QString name;
    std::optional<uint16_t> firmware; // from [Device]; none when the set has no record
    QString deviceId;                 // from [Device]; empty when none
    QDateTime when;                   // from [Device], else the file's time
};

class TSetLibrary {
public:
    static constexpr qsizetype kMaxNameLength = 64;

    explicit TSetLibrary(QString folder) : folder_(std::move(folder)) {}
    const QString& Folder() const { return folder_; }

    // The sets there, by name; none when the folder does not exist yet.
    std::vector<LibraryEntry> Entries() const;
    // A set's file content.
    QByteArray Read(const QString& name) const;
    // Stores content under name, replacing a set of that name only when replace says so.
    // Makes the folder on the first save.
    void Save(const QString& name, const QByteArray& content, bool replace);
    bool Contains(const QString& name) const;
    void Rename(const QString& from, const QString& to);
    void Remove(const QString& name);

    // A name is a file name of its own: letters, digits, blanks inside, "-", "_", "+", ".",
    // "(" and ")", not beginning with "."; ESetLibrary otherwise.
    static void CheckName(const QString& name);

private:
    QString pathOf(const QString& name) const;

    QString folder_;
};

// A set file's content, read whole; raises ESetLibrary naming path when it cannot be read or is
// larger than any parameter set.
QByteArray ReadSetFileAt(const QString& path);

// Replaces or makes the user's own file at path with bytes, in one step and following no link
// (config::ReplaceUserFile). Raises ESetLibrary naming path.
void WriteSetFile(const QString& path, const QByteArray& bytes);

} // namespace params
