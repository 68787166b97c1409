#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace dromo {

// The file a transfer writes: the target's path followed by "+++", renamed
// to the target only once the transfer is complete, so a finished file never
// looks partial and a partial one never looks finished. What the server said
// about the file (its validator) is kept in an extended attribute of the
// partial file, so a later resume can tell whether the file changed.
class PartialFile {
public:
    explicit PartialFile(std::string target);
    ~PartialFile();
    PartialFile(const PartialFile&) = delete;
    PartialFile& operator=(const PartialFile&) = delete;

    static constexpr const char* kSuffix = "+++";

    const std::string& Target() const { return m_target; }
    const std::string& Path() const { return m_path; }

    // The size of the partial file on disk; -1 when there is none.
    std::int64_t SizeOnDisk() const;
    // The validator stored with the partial file; "" when none.
    std::string StoredValidator() const;
    // True when the partial file carries Dromo's mark: a validator (empty
    // when the server named none) or a range record. A copy that lost its
    // attributes, or a file somebody else named so, has none.
    bool Marked() const;
    // What Dromo recorded of the server's version on a file it finished
    // (the validator its partial file had); "" when none.
    static std::string FinishedRecord(const std::string& path);

    // Opens the partial file for writing at its end, or emptied when
    // truncate is set. Returns "" or the system's reason for the failure.
    std::string Open(bool truncate);
    // The same with the server's validator stored at once (StoreValidator).
    std::string Open(bool truncate, const std::string& validator);
    // Bytes the file holds, written or buffered.
    std::int64_t Size() const { return m_size; }

    // Data reaches the file at least every `bytes` (the auto-save step).
    void SetFlushStep(std::size_t bytes);
    bool Write(const char* data, std::size_t length);
    bool Flush();
    // The system's reason for the last failed write.
    const std::string& WriteError() const { return m_writeError; }

    // Stores the server's version with the partial file; an empty one still
    // marks the file as Dromo's.
    void StoreValidator(const std::string& validator);

    // Which ranges of a file fetched over several connections are still
    // missing (SegmentPlan's stored form), kept beside the validator. A
    // partial file with them is sparse: its size says nothing of what it
    // holds. StoreRanges is one attribute write, so a crash leaves the old
    // or the new state; "" removes it. False when it cannot be stored.
    std::string StoredRanges() const;
    bool StoreRanges(const std::string& ranges);
    // The mark that every whole piece the stored ranges call present was
    // checked against the piece digests it names (PieceCheck's form), kept
    // beside the ranges; "" removes it.
    std::string StoredPieceMark() const;
    bool StorePieceMark(const std::string& mark);
    // Writes at a position of its own, past the buffer of Write.
    bool WriteAt(std::int64_t offset, const char* data, std::size_t length);
    // Data written through WriteAt so far reaches the disk before anything
    // recorded after: safe on another thread beside WriteAt and StoreRanges.
    // "" or the system's reason for the failure.
    std::string SyncData() const;

    // Makes the file as long as the whole file, its missing ranges holes:
    // a segmented partial file is then never shorter than the file, so a
    // copy that lost its range record cannot pass for a prefix of it.
    bool Extend(std::int64_t length);

    // The modification time (seconds since 1970) the finished file gets:
    // the server's, so the file can be known again without a record.
    void SetFinishedTime(std::int64_t seconds) { m_finishedTime = seconds; }
    // Writes what is buffered, closes, and renames the partial file to the
    // target, or to `destination` when one is given. An existing file of
    // that name is never replaced, nor is a name taken that `mayTake`
    // refuses: the first free numbered name beside it is taken instead, and
    // Target() then tells which. The finished file keeps the validator as
    // its record. Returns "" or the reason for the failure.
    std::string Finish(const std::string& destination = "",
                       const std::function<bool(const std::string&)>& mayTake = nullptr);
    // Writes what is buffered and closes; the partial file stays.
    void Close();

    // Writes to another target from now on (before the file is opened):
    // used when the target's name is taken by a file that is not ours.
    void Retarget(std::string target);

private:
    bool WriteAll(const char* data, std::size_t length);
    std::string OpenWith(bool truncate, const std::string* validator);

    std::string m_target;
    std::string m_path;
    int m_fd = -1;
    std::int64_t m_size = 0;
    std::vector<char> m_buffer;
    std::size_t m_flushStep = 64 * 1024;
    std::string m_writeError;
    std::int64_t m_finishedTime = -1;
    // What this object knows the open file's attributes to be, so finishing
    // a file made here asks nothing it wrote itself: the validator last
    // stored, and whether a range record or piece mark may be there.
    std::optional<std::string> m_validator;
    bool m_mayHoldMarks = true;
};

}  // namespace dromo
