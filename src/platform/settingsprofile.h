#pragma once

#include <QString>
#include <memory>
#include <string>

#include "base/ports/profile.h"
#include "platform/atomicfile.h"
#include "platform/inidocument.h"

namespace dromo {

// The profile as an INI file: "$XDG_CONFIG_HOME/Tarnwick Software/Dromo.ini",
// one group per section, in the format QSettings reads (see IniDocument), so
// older versions load it. Value names are kept whole: "URL0\Target" in
// section "URL" is the line "URL0\Target=..." under "[URL]". Ints are
// stored as decimal numbers.
//
// The whole file is read once and held in memory; Flush writes it whole
// through WriteFileAtomically (temporary file, fsync, rename, owner-only
// mode), so a crash or a full disk never leaves half a profile and the
// passwords in it are not readable by others; FlushSoon does the same on a
// writer thread without waiting for it. A profile that exists but cannot be
// read is never written over.
//
// One instance is for one thread at a time.
class SettingsProfile : public Profile {
public:
    SettingsProfile();
    explicit SettingsProfile(const QString& iniPath);
    ~SettingsProfile() override;

    QString FileName() const;

    std::int32_t GetInt(const std::string& section, const std::string& name, std::int32_t defaultValue) override;
    std::string GetString(const std::string& section, const std::string& name,
                          const std::string& defaultValue) override;
    void WriteInt(const std::string& section, const std::string& name, std::int32_t value) override;
    void WriteString(const std::string& section, const std::string& name, const std::string& value) override;
    void DeleteSection(const std::string& section) override;
    std::vector<std::string> ValueNames(const std::string& section) override;
    // Writes what changed; with nothing to write, reads the file again when
    // another program changed it (the capture host follows the options this
    // way).
    Status Flush() override;
    Status FlushSoon() override;
    void FlushThen(std::function<void(const Status&)> written) override;
    Status LastFlush() const override;

    // Why the file that was there could not be read ("" when it could, or
    // there was none). Until it is dealt with, nothing is written over it.
    const std::string& ReadProblem() const { return m_readProblem; }
    // Moves an unreadable file aside, to "<name>.unreadable-<time>", so that
    // saving can go on with a fresh profile. Returns a sentence for the user
    // saying what happened ("" when there was nothing to do).
    std::string KeepUnreadableAside();

private:
    struct Stamp {
        long long inode = -1;
        long long size = -1;
        long long mtimeNs = -1;
        bool operator==(const Stamp&) const = default;
    };
    void Read();
    Stamp CurrentStamp() const;
    // Sends the text to the writer thread; a failure when it must not or
    // cannot be written.
    Status Post(FileWriterThread::Written written = {});

    std::string m_path;
    IniDocument m_doc;
    bool m_dirty = false;
    bool m_unreadable = false;
    std::string m_readProblem;
    Status m_lastFlush;
    Stamp m_stamp;
    std::unique_ptr<FileWriterThread> m_writer;  // started by the first write
};

}  // namespace dromo
