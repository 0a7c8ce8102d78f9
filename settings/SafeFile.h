#pragma once
// The one way the game reads and writes its own files (settings, replays, anything later):
// reads refuse what is not a plain file of sane size; writes replace the file whole, so a failed
// or interrupted save leaves the old file as it was.
#include <cstdint>
#include <string>

namespace flikka::safe_file {

enum class ReadResult { Missing, Unreadable, Ok };

// The file's bytes. Anything that is not a plain file (a FIFO would block) reads as missing;
// a file larger than maxBytes, or one that cannot be opened, as unreadable.
ReadResult readSmallFile(const std::string& path, std::string& bytes, std::uintmax_t maxBytes);

// Writes text to path: into a temporary file of this save's own beside the file (created
// exclusively, so saves running at once never share one), synced to disk, then renamed over the
// file. Through a symbolic link the file at the end of the link is replaced and the link stays.
// A file that can be read but not written is write-protected and is left alone; as root, whom
// permission bits do not stop, a file with no write bit at all counts as write-protected.
// False on any failure, with the file untouched and the temporary file removed. Temporary files
// beside it left by killed saves (their process gone, untouched for a minute) are removed.
bool replaceFile(const std::string& path, const std::string& text);

// Remembers a file that a loader found but could not use, so that the first save over it keeps
// the user's copy as <file>.bak beside the file (beside the link's target for a link): a copy of
// a file that can be read, the file itself, renamed, when it cannot be read.
class UnusableFileKeeper {
public:
    // Call after every load of path: unusable says whether the file was there but not usable.
    void loaded(const std::string& path, bool unusable);
    bool unusable() const { return unusable_; }
    // Before a save to path: keeps the unusable file aside once. False when that failed, or
    // when the save is bound to fail because the file is write-protected.
    bool beforeSave(const std::string& path);

private:
    bool unusable_ = false;
    bool kept_ = false;
    std::string path_;
};

}  // namespace flikka::safe_file
