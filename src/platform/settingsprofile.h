#pragma once

#include <QString>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "base/ports/profile.h"
#include "platform/atomicfile.h"
#include "platform/inidocument.h"
#include "platform/sectiontextwriter.h"

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
// A section handed over whole (ReplaceSection: the task list) is written on
// the writer thread, straight from its fill to its lines, when its file is
// made: the caller pays only for the copy the fill owns. Read or written
// value by value afterwards, it is taken back into the document first. A
// file is made from the profile as it stood when its writing began; a
// section handed over anew meanwhile goes into the next one, so each write
// ends however often the list changes.
//
// One thread at a time calls it (the window's); the writer thread runs the
// fills, whose writes to other sections (the keyring's notes) it takes
// under the document's own mutex.
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
    void ForEachValueName(const std::string& section, const std::function<void(const std::string&)>& visit) override;
    // Writes what changed; with nothing to write, reads the file again when
    // another program changed it (the capture host follows the options this
    // way).
    Status Flush() override;
    Status FlushSoon() override;
    void FlushThen(std::function<void(const Status&)> written) override;
    Status LastFlush() const override;
    void ReplaceSection(const std::string& section, SectionFill fill) override;
    void FinishPendingSections() override;

    // Why the file that was there could not be read ("" when it could, or
    // there was none). Until it is dealt with, nothing is written over it.
    const std::string& ReadProblem() const { return m_readProblem; }
    // Moves an unreadable file aside, to "<name>.unreadable-<time>", so that
    // saving can go on with a fresh profile. Returns a sentence for the user
    // saying what happened ("" when there was nothing to do).
    std::string KeepUnreadableAside();
    // Removes what saves killed midway left beside the file. Only while no
    // other Dromo can be saving it (the first of the running ones).
    void RemoveLeftoverTemporaries() const;

private:
    struct Stamp {
        long long inode = -1;
        long long size = -1;
        long long mtimeNs = -1;
        bool operator==(const Stamp&) const = default;
    };
    // A section whose values a fill writes when the file is made.
    struct Handed;
    using HandedSections = std::map<std::string, std::shared_ptr<Handed>, std::less<>>;

    void Read();
    Stamp CurrentStamp() const;
    // Runs the fill once (on whichever thread asks first); its lines after.
    const IniDocument::Pieces& LinesOf(Handed& handed, const std::string& section);
    // Takes a handed section back into the document before it is used value
    // by value; `lock` holds m_docMutex and is let go while the fill runs.
    void TakeBack(const std::string& section, std::unique_lock<std::mutex>& lock);
    bool Dirty();
    // The file's text, on the writer thread.
    TextPieces Text();
    // Sends the text to the writer thread; a failure when it must not or
    // cannot be written.
    Status Post(FileWriterThread::Written written = {});

    std::string m_path;
    std::mutex m_docMutex;  // guards m_doc, m_handed, m_parts and m_dirty
    IniDocument m_doc;
    HandedSections m_handed;
    // A handed section's parts as its last fill made them, for the next to
    // take again.
    std::map<std::string, std::shared_ptr<const SectionTextWriter::Parts>, std::less<>> m_parts;
    bool m_dirty = false;
    bool m_unreadable = false;
    std::string m_readProblem;
    Status m_lastFlush;
    Stamp m_stamp;
    std::unique_ptr<FileWriterThread> m_writer;  // started by the first write
};

}  // namespace dromo
